#!/usr/bin/env bash
# Takes pictures of the program's windows under Wine and Xvfb, in the test
# harness's virtual desktop, to look at next to their designed layout:
#
#   bash tools/screenshots.sh OUTDIR [DPI] [BUILD_DIR]
#
# DPI is the screen's dpi of the run (default 96). Each picture is a PNG of
# the whole desktop in OUTDIR, named after what it shows. With
# CORVINADE_SHOT_HOTKEYS=N the program starts with N made-up hotkeys
# instead of four examples, with =unicode with three whose texts no code
# page holds (Cyrillic, Greek, Chinese, an emoji).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    OUT=$(realpath -m "${1:?usage: screenshots.sh OUTDIR [DPI] [BUILD_DIR]}")
    DPI=${2:-96}
    BUILD=$(realpath "${3:-$ROOT/build/cross}")
    mkdir -p "$OUT"
    RESULT=$(mktemp -d)
    printf '%s\n%s\n%s\n%s\n' "$BUILD" "$OUT" "$DPI" "${CORVINADE_SHOT_HOTKEYS:-4}" >"$RESULT/args"
    CORVINADE_DPI=$DPI CORVINADE_RUN_TIMEOUT=300 bash "$ROOT/tests/harness/wine-run.sh" \
        "$BUILD/tests/harness/unixrun.exe" "$ROOT/tools/screenshots.sh --inside $RESULT" "$RESULT/done"
    cat "$RESULT/out"
    rm -rf "$RESULT"
    exit 0
fi
RESULT=$2
{ read -r BUILD; read -r OUT; read -r DPI; read -r HOTKEYS; } <"$RESULT/args"
exec >"$RESULT/out" 2>&1
trap 'touch "$RESULT/done"' EXIT

shot() {
    local name=$1-$DPI
    [ "$HOTKEYS" = 4 ] || name=$1-$HOTKEYS-hotkeys-$DPI
    import -window root "$OUT/$name.png"
    echo "screenshots: $OUT/$name.png"
}

# Waits (10 s at most) for a visible top-level window with this title.
wait_window() {
    for _ in $(seq 1 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "screenshots: no window \"$1\"" >&2
    return 1
}

# Ends the programs that show these windows.
close_windows() {
    local title
    for title in "$@"; do
        xdotool search --name "^$title\$" 2>/dev/null | while read -r id; do xdotool windowkill "$id"; done || true
    done
    sleep 0.5
}

# The dialog kit.
wine "$BUILD/tools/gallery/gallery.exe" >/dev/null 2>&1 &
wait_window "Wizard frame" && sleep 1 && shot kit
close_windows "Dialog kit" "Wizard frame"

# The capture window's marks over a made-up picture, one of them selected;
# then the same in a high-contrast scheme (the tool restores the session's
# colours when it ends).
for contrast in "" contrast; do
    wine "$BUILD/tools/gallery/capture_gallery.exe" $contrast >/dev/null 2>&1 &
    wait_window "Save Capture" && sleep 1 && shot "capture-gallery${contrast:+-$contrast}"
    # Esc, so that the tool ends itself and gives the colours back.
    wine "$BUILD/tests/harness/presskeys.exe" 27 >/dev/null 2>&1
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name '^Save Capture$' >/dev/null 2>&1 || break
        sleep 0.1
    done
    close_windows "Save Capture"
done

# The program: a few hotkeys, the tray panel, a capture window.
DATA="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Pelmorra/Corvinade/Data"
mkdir -p "$DATA"
if [ "$HOTKEYS" = 4 ]; then
    printf '%s\r\n' '[key0]' active=1 key=78 shift=8 func=openfile params=notepad.exe 'params2=C:\notes\todo.txt' \
        '[key1]' active=1 key=83 shift=8 func=capturescreen params= params2= \
        '[key2]' active=1 key=75 shift=12 func=openwebsite 'params=example.org/?q=a&lang=en' params2= \
        '[key3]' active=0 key=73 shift=8 func=maximize params= params2= \
        '[key4]' active=1 key=77 shift=9 func=minimize params= params2= \
        '[key5]' active=1 key=80 shift=9 func=placeinclipboard \
        'params=Dear sir,<?CR?><?LF?>thank you for your letter of the third, which reached me today' params2= \
        >"$DATA/hotkeys.ini"
elif [ "$HOTKEYS" = unicode ]; then # texts no code page holds, in a UTF-8 file
    printf '%s\r\n' '[key0]' active=1 key=78 shift=8 func=openfile 'params=C:\Программы\中文\notepad.exe' \
        'params2=C:\заметки\café.txt' \
        '[key1]' active=1 key=75 shift=12 func=sendkeystrokes 'params=café ✓ 😀 Привет 你好' params2= \
        '[key2]' active=1 key=80 shift=8 func=placeinclipboard 'params=Ελληνικά κείμενο' params2= >"$DATA/hotkeys.ini"
else
    : >"$DATA/hotkeys.ini"
    for i in $(seq 0 $((HOTKEYS - 1))); do
        printf '%s\r\n' "[key$i]" active=$((i % 3 > 0)) key=$((65 + i % 26)) shift=$((1 + i % 15)) \
            func=sendkeystrokes "params=text $i" params2= >>"$DATA/hotkeys.ini"
    done
fi
wine reg add 'HKCU\Software\Pelmorra\Corvinade' /v FirstUse /t REG_SZ /d 0 /f >/dev/null 2>&1
# The log-on entry names the program, but Windows' list of startup apps has
# turned it off: "Other settings" shows the line under its box.
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Corvinade /t REG_SZ \
    /d "$(winepath -w "$BUILD/src/corvinade.exe" 2>/dev/null)" /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run' /v Corvinade \
    /t REG_BINARY /d 030000000000000000000000 /f >/dev/null 2>&1
wine "$BUILD/src/corvinade.exe" >/dev/null 2>&1 &
sleep 3
# The tray icon sits at the right end of the taskbar.
read -r W H < <(xdpyinfo | awk '/dimensions:/ {split($2, s, "x"); print s[1], s[2]}')
for _ in 1 2 3; do
    xdotool mousemove $((W - 11)) $((H - 11)) click 1
    sleep 1.5
    xdotool search --onlyvisible --name '^Corvinade$' >/dev/null 2>&1 && break
done
shot tray-panel
xdotool mousemove $((W / 2)) $((H / 2))
sleep 2.5 # the panel hides itself
keys() { wine "$BUILD/tests/harness/presskeys.exe" "$@" >/dev/null 2>&1; sleep 0.7; }
# The icon's menu, its default item in bold.
xdotool mousemove $((W - 11)) $((H - 11)) click 3
sleep 1 && shot tray-menu
keys 27
if [ "$HOTKEYS" = 4 ]; then # WIN+S is the second example
    wine "$BUILD/tests/harness/presskeys.exe" 83+8 >/dev/null 2>&1
    wait_window "Save Capture" && sleep 1 && shot capture
    # A selection dragged on the fitted image, then Ctrl+1: 1:1 with scroll bars.
    xdotool mousemove $((W / 3)) $((H / 3)) mousedown 1 mousemove $((W / 2)) $((H / 2)) \
        mousemove $((W * 3 / 5)) $((H * 3 / 5)) mouseup 1
    sleep 0.5 && shot capture-selection
    keys 49+2               # Ctrl+1
    shot capture-actual
    keys 48+2               # Ctrl+0 fits it again
    keys 32                 # Space: "Save to file...", which has the focus
    wait_window "Save screenshot" && sleep 0.5
    keys 84+1 115           # Alt+T to the type list, F4 opens it
    shot save-dialog-types
    keys 27 27              # the list closes, then the dialog
    wine "$BUILD/tests/harness/presskeys.exe" 115+1 >/dev/null 2>&1 # Alt+F4 closes it
    sleep 0.5
    # The dialog kit grabbed and marked up with the tools' keys and drags at
    # points of the fitted image (design pixels from the view's corner).
    wine "$BUILD/tools/gallery/gallery.exe" >/dev/null 2>&1 &
    wait_window "Wizard frame" && sleep 1
    wine "$BUILD/tests/harness/presskeys.exe" 83+8 >/dev/null 2>&1
    wait_window "Save Capture" && sleep 1
    at() { wine "$BUILD/tests/harness/childpoint.exe" "Save Capture" "#CorvinadeImageView" "$1" "$2" 2>/dev/null | tr -d '\r'; }
    drag() { # key, from x y, to x y
        keys "$1"
        local from to
        from=$(at "$2" "$3") && to=$(at "$4" "$5") || return 0
        xdotool mousemove ${from% *} "${from#* }" mousedown 1 \
            mousemove $(((${from% *} + ${to% *}) / 2)) $(((${from#* } + ${to#* }) / 2)) \
            mousemove ${to% *} "${to#* }" mouseup 1
        sleep 0.3
    }
    drag 82 36 52 330 206      # R: the dialog kit's first page
    drag 65 560 160 410 190    # A: at the wizard
    drag 78 330 62 330 62      # N: a step on each window
    drag 78 545 62 545 62
    drag 88 70 150 230 166     # X: an edit box's text hidden
    drag 72 560 80 720 80      # H: the wizard's heading highlighted
    drag 84 60 330 60 330      # T: a note
    keys 84 79 79 76 83 32 72 69 82 69 27
    sleep 0.5 && shot capture-marks
    keys 86                    # V: a click on the rectangle's edge selects it
    point=$(at 36 120) && xdotool mousemove ${point% *} "${point#* }" click 1
    sleep 0.5 && shot capture-marks-selected
    drag 86 20 20 480 350      # V, a drag: the dialog kit selected; P pins it
    keys 80
    wait_window "Pinned capture" && sleep 0.5 && shot capture-pin
    keys 27                    # Esc closes the pin; a click back in the capture window, Esc closes it
    point=$(at 20 20) && xdotool mousemove ${point% *} "${point#* }" click 1
    keys 27
    close_windows "Dialog kit" "Wizard frame"
fi

# The settings window (double click on the tray icon), a row in edit mode,
# the new-hotkey wizard's two pages and the text input dialog, all driven
# with the keyboard as a user would.
xdotool mousemove $((W - 11)) $((H - 11)) click --repeat 2 --delay 80 1
wait_window "Settings" && sleep 1 && shot settings
keys 70+2 49 50         # Ctrl+F, "12": the rows that hold it
shot settings-filter
keys 27 90 90 90        # Esc clears the filter; "zzz": no row holds it
shot settings-no-match
keys 27                 # Esc clears it, the focus stays in the box
keys 9 13               # Tab to the top row's "Edit", Enter
shot settings-edit
keys 32 115+1           # Space unticks Active; Alt+F4 asks whether to save the row
shot settings-close-question
keys 27                 # Cancel: the window stays, the row in edit mode
keys 27                 # Esc: the row's edit is cancelled
keys 9 32               # Tab to its "Delete", Space: the question names the hotkey
shot settings-delete-question
keys 78                 # No
keys 9+2                # Ctrl+Tab: "Other settings"
shot settings-other
keys 9+2
keys 78+1               # Alt+N: "&New hotkey"
wait_window "New hotkey" && sleep 0.5
keys 75 9+4 9+4 32      # K in the key field, Shift+Tab to CTRL, Space
shot wizard-key
keys 13                 # Enter: Next
shot wizard-action
for _ in 1 2 3 4; do keys 40; done # down the list to Open file
shot wizard-open-file
for _ in 1 2 3 4 5 6 7; do keys 40; done # on to Send keystrokes
shot wizard-keystrokes
keys 9 9 13             # Tab, Tab to "...", Enter: the text dialog
wait_window "Input text" && sleep 0.5 && shot memo-input
keys 27 27              # Cancel the text dialog; Cancel the wizard asks
shot wizard-discard-question
keys 89 27              # Yes: the wizard goes; Esc closes the settings
# The settings window again: "Import..." with a file of five hotkeys (one
# the list has, one without a modifier, one whose action this version does
# not know), the dialog that shows what it brings; Esc (Cancel) imports
# nothing, Esc closes.
xdotool mousemove $((W - 11)) $((H - 11)) click --repeat 2 --delay 80 1
wait_window "Settings" && sleep 1
printf '%s\r\n' '[key0]' active=1 key=75 shift=8 func=openwebsite params=example.org params2= \
    '[key1]' active=1 key=83 shift=8 func=capturescreen params= params2= \
    '[key2]' active=1 key=74 shift=0 func=openwebsite params=example.com params2= \
    '[key3]' active=1 key=77 shift=9 func=minimize params= params2= \
    '[key4]' active=1 key=76 shift=8 func=x-later-action >"$WINEPREFIX/drive_c/import.ini"
if point=$(wine "$BUILD/tests/harness/childpoint.exe" Settings "&Import..." 20 12 2>/dev/null | tr -d '\r'); then
    xdotool mousemove ${point% *} "${point#* }" click 1
    wait_window "Import hotkeys" && sleep 1
    xdotool type --delay 30 'C:\import.ini'
    keys 13
    sleep 1 && shot import-question
    keys 27 27
fi

# Ends the Wine programs of this run whose command line names the exe.
end_program() {
    for dir in /proc/[0-9]*; do
        if tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            tr '\0' ' ' <"$dir/cmdline" 2>/dev/null | grep -qi "$1"; then
            kill "${dir#/proc/}" 2>/dev/null || true
        fi
    done 2>/dev/null
    sleep 1
}

# Hotkeys that fail to register: WIN+S held by another program, the second
# WIN+N taken by the first. The balloon at start, the panel once the balloon
# has gone, the settings window with the mark's tooltip on the WIN+S row.
if [ "$HOTKEYS" = 4 ]; then
    end_program 'corvinade\.exe'
    printf '%s\r\n' '[key0]' active=1 key=78 shift=8 func=openfile params=notepad.exe params2= \
        '[key1]' active=1 key=83 shift=8 func=capturescreen params= params2= \
        '[key2]' active=1 key=78 shift=8 func=openwebsite params=example.org params2= >"$DATA/hotkeys.ini"
    wine "$BUILD/tests/harness/holdhotkey.exe" 83+8 74+8 >/dev/null 2>&1 &
    sleep 1
    wine "$BUILD/src/corvinade.exe" >/dev/null 2>&1 &
    sleep 3 && shot balloon
    sleep 9 # Wine's balloon covers the icon for ten seconds
    for _ in 1 2 3; do
        xdotool mousemove $((W - 11)) $((H - 11)) click 1
        sleep 1.5
        xdotool search --onlyvisible --name '^Corvinade$' >/dev/null 2>&1 && break
    done
    shot tray-panel-failed
    xdotool mousemove $((W / 2)) $((H / 2))
    sleep 2.5
    xdotool mousemove $((W - 11)) $((H - 11)) click --repeat 2 --delay 80 1
    wait_window "Settings" && sleep 1
    # The mark under the modifiers and the key: 142 + 30, 62 + 8 in the row.
    if point=$(wine "$BUILD/tests/harness/childpoint.exe" Settings "WIN + S," 172 70 2>/dev/null | tr -d '\r'); then
        xdotool mousemove $((${point% *} - 3)) "${point#* }" mousemove ${point% *} "${point#* }"
        sleep 2
    fi
    shot settings-failed
    # The new-hotkey wizard's line with WIN+J held as well: J, then
    # Shift+Tab four times to WIN, Space.
    keys 78+1
    wait_window "New hotkey" && sleep 0.5
    keys 74 9+4 9+4 9+4 9+4 32
    shot wizard-key-taken
    keys 27 89 27           # Cancel, Yes (discard), close the settings
    end_program 'holdhotkey\.exe'
fi

# The first start: no hotkey file, no "FirstUse": the setup guide's pages.
end_program 'corvinade\.exe'
rm -f "$DATA/hotkeys.ini"
wine reg delete 'HKCU\Software\Pelmorra\Corvinade' /v FirstUse /f >/dev/null 2>&1 || true
wine "$BUILD/src/corvinade.exe" >/dev/null 2>&1 &
wait_window "Setup Corvinade" && sleep 1 && shot first-use-welcome
keys 13                 # Enter: Next
shot first-use-startup
keys 13
shot first-use-hotkeys
keys 27 13              # Esc asks "Close the setup guide?", OK
wait_window "Settings" && sleep 1 && shot first-run-settings
# Maximized: the texts cut with "..." are cut again at the new width.
keys 32+1 88            # Alt+Space, X: Maximize
sleep 1 && shot first-run-settings-maximized

# The guide where Windows holds combinations (as the shell holds WIN+S and
# WIN+N): S and N offered with other modifiers, the keypad's * with none.
end_program 'corvinade\.exe'
rm -f "$DATA/hotkeys.ini"
wine reg delete 'HKCU\Software\Pelmorra\Corvinade' /v FirstUse /f >/dev/null 2>&1 || true
wine "$BUILD/tests/harness/holdhotkey.exe" 83+8 78+8 78+9 106+8 106+9 106+11 106+13 >/dev/null 2>&1 &
sleep 1
wine "$BUILD/src/corvinade.exe" >/dev/null 2>&1 &
wait_window "Setup Corvinade" && sleep 1
keys 13 13              # Next, Next
shot first-use-hotkeys-taken
end_program 'holdhotkey\.exe'
