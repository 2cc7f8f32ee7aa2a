#!/usr/bin/env bash
# Runs one Win32 program (a test executable with its arguments) in a Wine
# prefix and on an X display of its own (Xvfb), then ends every process it
# started and returns the program's exit code.
#
#   wine-run.sh PROGRAM.exe [ARGS...]
#
# A ready 32-bit prefix with a virtual desktop is made once under
# build/wine/template and copied for each run, so parallel runs share nothing
# but that read-only template.
#
# CORVINADE_DESKTOP      desktop size, default 1280x800
# CORVINADE_DPI          screen dpi of the run (Wine's "LogPixels"), default
#                        the prefix's own 96
# CORVINADE_MONITOR2     a second monitor beside the desktop's, as left:1024x768
#                        or right:1024x768. The run then has no Wine virtual
#                        desktop (it has one monitor only) and an Xorg display
#                        of the dummy driver, the two screens side by side under
#                        Xinerama, instead of Xvfb
# CORVINADE_RUN_TIMEOUT  seconds after which the program is ended, default 100
#                        (below ctest's timeouts, so the clean-up still runs
#                        and a screenshot shows where it hung)
# CORVINADE_WINEARCH     win32 (default) or win64: a 64-bit prefix, where the
#                        32-bit programs run under WOW64 as on 64-bit Windows
#                        (its template, build/wine/template64, is made once)
# CORVINADE_WINEDLLOVERRIDES  more DLL overrides for this run (WINEDLLOVERRIDES
#                        syntax), such as "winemenubuilder.exe=" for a run that
#                        installs shortcuts
# CORVINADE_HEAP_CHECK   1 (default): every program of the run works under
#                        Wine's heap checking, and the run fails when their
#                        output reports a heap error or a page fault; 0 for
#                        the benchmarks and measurements, which it would skew
# CORVINADE_WINE_LOG     set here for the program: the run's log (the standard
#                        error of every Wine process of the run), for a driver
#                        that looks for Wine's reports as it goes, at the step
#                        that caused them (tests/harness/Walk.cpp)
#
# Tests that fail leave a screenshot of the desktop in build/wine/failures
# (taken by the harness library, see Harness.h).
set -uo pipefail

if [ $# -lt 1 ]; then
    echo "usage: wine-run.sh PROGRAM.exe [ARGS...]" >&2
    exit 2
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WINE_DIR=$ROOT/build/wine
DESKTOP=${CORVINADE_DESKTOP:-1280x800}
RUN_TIMEOUT=${CORVINADE_RUN_TIMEOUT:-100}
DPI=${CORVINADE_DPI:-}
MONITOR2=${CORVINADE_MONITOR2:-}

HEAP_CHECK=${CORVINADE_HEAP_CHECK:-1}
if [ "$HEAP_CHECK" != 0 ] && [ "$HEAP_CHECK" != 1 ]; then
    echo "wine-run.sh: CORVINADE_HEAP_CHECK must be 0 or 1, not '$HEAP_CHECK'" >&2
    exit 2
fi
# MinGW has no address sanitizer; Wine's heap checking stands in for it. With
# warn+heap a freed block is filled with 0xFEEEFEEE and held back from reuse
# for a while, so a pointer read from freed memory faults; a block freed twice
# is a heap warning, a freed block written to a heap error (err+heap: -all
# silences errors too). Page faults are reported whatever WINEDEBUG says.
if [ "$HEAP_CHECK" = 1 ]; then
    export WINEDEBUG=-all,err+heap,warn+heap
else
    export WINEDEBUG=-all
fi
# No Mono or Gecko prompts. (The installer tests turn off winemenubuilder in
# their prefix, so that the installer's shortcut writes no desktop files into
# the home folder.)
export WINEDLLOVERRIDES="mscoree,mshtml=${CORVINADE_WINEDLLOVERRIDES:+;$CORVINADE_WINEDLLOVERRIDES}"
export WINEARCH=${CORVINADE_WINEARCH:-win32}
case $WINEARCH in
win32) TEMPLATE=$WINE_DIR/template BOOT_LOADER=wine ;;
win64) TEMPLATE=$WINE_DIR/template64 BOOT_LOADER=/usr/lib/wine/wine64 ;;
*)
    echo "wine-run.sh: CORVINADE_WINEARCH must be win32 or win64, not '$WINEARCH'" >&2
    exit 2
    ;;
esac

if ! [[ $DESKTOP =~ ^([0-9]+)x([0-9]+)$ ]]; then
    echo "wine-run.sh: CORVINADE_DESKTOP must look like 1280x800, not '$DESKTOP'" >&2
    exit 2
fi
if [ -n "$MONITOR2" ] && ! [[ $MONITOR2 =~ ^(left|right):([0-9]+)x([0-9]+)$ ]]; then
    echo "wine-run.sh: CORVINADE_MONITOR2 must look like left:1024x768, not '$MONITOR2'" >&2
    exit 2
fi
if [ -n "$DPI" ] && ! [[ $DPI =~ ^[1-9][0-9]{1,2}$ ]]; then
    echo "wine-run.sh: CORVINADE_DPI must be a number like 144, not '$DPI'" >&2
    exit 2
fi

# Makes the template once; concurrent first runs wait for the one that builds
# it. Returns holding a shared lock on it in TEMPLATE_LOCK.
make_template() {
    mkdir -p "$WINE_DIR"
    exec {lock}>"$TEMPLATE.lock"
    flock "$lock"
    local version
    # The Wine version and the template's own layout: a template made by
    # another Wine version would be updated on every run.
    version="$(wine --version) fonts crashes"
    if [ "$(cat "$TEMPLATE/.ready" 2>/dev/null)" != "$version" ]; then
        local work=$TEMPLATE.new
        rm -rf "$work" "$TEMPLATE"
        (
            unset DISPLAY # no "updating configuration" window while booting
            export WINEPREFIX=$work
            "$BOOT_LOADER" wineboot -i >/dev/null 2>&1
            # One virtual desktop for the whole prefix: every process of a run
            # shares its hotkeys, input and clipboard.
            wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x800 /f \
                >/dev/null 2>&1
            # A crashing program ends at once (its backtrace printed) instead
            # of waiting behind the crash dialog until the run times out.
            wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
            wineserver -w
            # Wine draws Tahoma (the program's font) and Marlett (the caption
            # buttons) only from the prefix's own Fonts folder.
            cp /usr/share/wine/fonts/*.ttf "$work/drive_c/windows/Fonts/"
        ) || true
        local sockets
        sockets=$(cat "$work/wineserver" 2>/dev/null)
        [[ $sockets =~ ^wine-[A-Za-z0-9]+$ ]] && rm -rf "${TMPDIR:-/tmp}/$sockets"
        rm -f "$work/wineserver"
        if ! grep -q '"Default"="1280x800"' "$work/user.reg" 2>/dev/null ||
            ! grep -q '"ShowCrashDialog"=dword:00000000' "$work/user.reg"; then
            echo "wine-run.sh: could not make the Wine prefix template in $work" >&2
            exit 3
        fi
        echo "$version" >"$work/.ready"
        mv "$work" "$TEMPLATE"
    fi
    # Shared while this run copies it: a rebuild (after a Wine update) waits.
    flock -s "$lock"
    TEMPLATE_LOCK=$lock
}

# Ids of the processes of this run: every Wine process (wineserver included)
# carries the run's WINEPREFIX in its environment.
prefix_pids() {
    grep -lzxF "WINEPREFIX=$PREFIX" /proc/[0-9]*/environ 2>/dev/null |
        sed -n 's|^/proc/\([0-9]*\)/environ$|\1|p' | grep -vx "$$"
}

# "wineserver -k" takes most of a second, mostly for saving the registry that
# is deleted next; killing the run's processes by id is immediate.
kill_prefix_processes() {
    local pids round
    for round in $(seq 1 50); do
        pids=$(prefix_pids)
        [ -z "$pids" ] && return 0
        # shellcheck disable=SC2086
        kill -KILL $pids 2>/dev/null
        sleep 0.02
    done
    echo "wine-run.sh: processes of $PREFIX survived: $pids" >&2
}

PREFIX=
XSERVER_PID=
LOG=
cleanup() {
    if [ -n "$PREFIX" ] && [ -d "$PREFIX" ]; then
        kill_prefix_processes
        # A run ended early (TERM from ctest) still shows what it printed.
        [ -n "$LOG" ] && cat "$LOG" >&2 2>/dev/null
        LOG=
        # Debian's Wine keeps its socket folder in a /tmp folder named here.
        local sockets
        sockets=$(cat "$PREFIX/wineserver" 2>/dev/null)
        [[ $sockets =~ ^wine-[A-Za-z0-9]+$ ]] && rm -rf "${TMPDIR:-/tmp}/$sockets"
    fi
    if [ -n "$XSERVER_PID" ]; then
        kill "$XSERVER_PID" 2>/dev/null
        wait "$XSERVER_PID" 2>/dev/null
    fi
    [ -n "$PREFIX" ] && rm -rf "$PREFIX"
    PREFIX=
    XSERVER_PID=
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Moves the screenshots of failing tests to build/wine/failures as PNG files.
keep_screenshots() {
    local shot name
    for shot in "$PREFIX"/failures/*.bmp; do
        [ -f "$shot" ] || continue
        mkdir -p "$WINE_DIR/failures"
        name=$(basename "$shot" .bmp)
        convert "$shot" "$WINE_DIR/failures/$name.png" 2>/dev/null || cp "$shot" "$WINE_DIR/failures/"
        echo "wine-run.sh: screenshot $WINE_DIR/failures/$name.png" >&2
    done
}

make_template

# Copies SRC's entries into DST, except SKIP.
copy_except() {
    local src=$1 dst=$2 skip=$3 entry
    mkdir -p "$dst"
    for entry in "$src"/* "$src"/.[!.]*; do
        [ -e "$entry" ] || [ -L "$entry" ] || continue
        [ "$(basename "$entry")" = "$skip" ] && continue
        cp -a "$entry" "$dst/"
    done
}

# system32 (and a 64-bit prefix's syswow64) hold nine tenths of the prefix
# and Wine only reads them: hard links to the template make the copy take
# milliseconds instead of seconds. Everything Wine writes (registry, users,
# temp) is copied.
copy_prefix() {
    local win=drive_c/windows system
    copy_except "$TEMPLATE" "$PREFIX" drive_c
    copy_except "$TEMPLATE/drive_c" "$PREFIX/drive_c" windows
    mkdir -p "$PREFIX/$win"
    for entry in "$TEMPLATE/$win"/*; do
        case $(basename "$entry") in
        system32 | syswow64) ;;
        *) cp -a "$entry" "$PREFIX/$win/" ;;
        esac
    done
    for system in system32 syswow64; do
        [ -d "$TEMPLATE/$win/$system" ] || continue
        cp -al "$TEMPLATE/$win/$system" "$PREFIX/$win/" 2>/dev/null || cp -a "$TEMPLATE/$win/$system" "$PREFIX/$win/"
    done
    # Debian's Wine keeps the name of its socket folder in /tmp here: a fresh
    # one per run.
    rm -f "$PREFIX/wineserver"
}

# Beside the template: hard links need the same file system.
mkdir -p "$WINE_DIR/runs"
PREFIX=$(mktemp -d "$WINE_DIR/runs/prefix.XXXXXX")
copy_prefix
exec {TEMPLATE_LOCK}>&-
sed -i "s/^\"Default\"=\"1280x800\"/\"Default\"=\"$DESKTOP\"/" "$PREFIX/user.reg"

# Wine reads the screen dpi from HKCU\Control Panel\Desktop "LogPixels" when
# its wineserver starts: set it in the copy's user.reg, replacing a value the
# key has and adding the key if the prefix has none.
set_dpi() {
    local reg=$PREFIX/user.reg value
    value=$(printf 'dword:%08x' "$1")
    awk -v value="$value" -v now="$(date +%s)" '
        /^\[/ { inside = index($0, "[Control Panel\\\\Desktop] ") == 1 }
        inside && /^"LogPixels"=/ { next }
        { print }
        inside && /^\[/ { print "\"LogPixels\"=" value; done = 1 }
        END {
            if (!done)
                printf "\n[Control Panel\\\\Desktop] %s\n\"LogPixels\"=%s\n", now, value
        }' "$reg" >"$reg.new" && mv "$reg.new" "$reg"
}
[ -n "$DPI" ] && set_dpi "$DPI"

# Two dummy screens, the desktop's size first (Wine's primary monitor), the
# second left or right of it, one display under Xinerama.
xorg_config() {
    local i=0 size width height
    printf 'Section "ServerFlags"\n Option "AutoAddDevices" "false"\n Option "AutoAddGPU" "false"\n'
    printf ' Option "Xinerama" "true"\nEndSection\n'
    for size in "$DESKTOP" "${MONITOR2#*:}"; do
        width=${size%x*} height=${size#*x}
        printf 'Section "Device"\n Identifier "Card%s"\n Driver "dummy"\n VideoRam 256000\nEndSection\n' $i
        printf 'Section "Monitor"\n Identifier "Monitor%s"\n HorizSync 5-1000\n VertRefresh 5-200\n' $i
        gtf "$width" "$height" 60 | grep Modeline
        printf 'EndSection\nSection "Screen"\n Identifier "Screen%s"\n Device "Card%s"\n Monitor "Monitor%s"\n' $i $i $i
        printf ' DefaultDepth 24\n SubSection "Display"\n  Depth 24\n  Modes "%sx%s_60.00"\n' "$width" "$height"
        printf '  Virtual %s %s\n EndSubSection\nEndSection\n' "$width" "$height"
        i=$((i + 1))
    done
    local side=RightOf
    [ "${MONITOR2%%:*}" = left ] && side=LeftOf
    printf 'Section "ServerLayout"\n Identifier "Layout"\n Screen 0 "Screen0" 0 0\n'
    printf ' Screen 1 "Screen1" %s "Screen0"\nEndSection\n' $side
}

# The X server picks a free display and writes its number once it accepts clients.
exec {xfd}>"$PREFIX/display"
if [ -n "$MONITOR2" ]; then
    sed -i '/^"Desktop"="Default"$/d' "$PREFIX/user.reg"
    xorg_config >"$PREFIX/xorg.conf"
    Xorg -displayfd "$xfd" -config "$PREFIX/xorg.conf" -logfile "$PREFIX/xorg.log" -nolisten tcp -noreset \
        -novtswitch -sharevts >/dev/null 2>&1 &
else
    Xvfb -displayfd "$xfd" -screen 0 "${DESKTOP}x24" -nolisten tcp 2>/dev/null &
fi
XSERVER_PID=$!
exec {xfd}>&-
for _ in $(seq 1 500); do
    [ -s "$PREFIX/display" ] && break
    kill -0 "$XSERVER_PID" 2>/dev/null || break
    sleep 0.01
done
DISPLAY_NUM=$(tr -dc 0-9 <"$PREFIX/display")
if [ -z "$DISPLAY_NUM" ]; then
    echo "wine-run.sh: the X server did not start" >&2
    exit 3
fi

# Screenshots of failing tests (Harness.cpp) land in the run's own folder
# first, so parallel runs never write the same file.
mkdir -p "$PREFIX/failures"
# In the background, so that a TERM from ctest is handled at once. Every
# Wine process of the run (the programs the test starts, Wine's own) writes
# its diagnostics to the stderr it inherits: the run's log, which the test
# program may read as it goes (CORVINADE_WINE_LOG).
LOG=$PREFIX/stderr.log
DISPLAY=:$DISPLAY_NUM WINEPREFIX=$PREFIX CORVINADE_FAILURES=$PREFIX/failures CORVINADE_WINE_LOG=$LOG \
    timeout "$RUN_TIMEOUT" wine "$@" 2>"$LOG" &
wait $!
rc=$?
if [ $rc = 124 ]; then
    echo "wine-run.sh: $* did not end within $RUN_TIMEOUT s" >&2
    name=timeout
    for arg in "$@"; do
        [[ $arg == --gtest_filter=* ]] && name="${arg#--gtest_filter=}.timeout"
    done
    DISPLAY=:$DISPLAY_NUM import -window root "$PREFIX/failures/${name//[^A-Za-z0-9._-]/_}.bmp" 2>/dev/null
fi
keep_screenshots
# Once every process of the run has ended, the log is whole. Any heap line
# counts: with heap checking Wine reports a heap only when a block is misused
# (freed twice, written after its free or past its end, an unknown pointer).
kill_prefix_processes
cat "$LOG" >&2
if [ "$HEAP_CHECK" = 1 ]; then
    faults=$(grep -aE ':(err|warn):heap:|wine: Unhandled|page fault' "$LOG")
    if [ -n "$faults" ]; then
        echo "wine-run.sh: a heap error or page fault in the run of $*:" >&2
        printf '%s\n' "$faults" >&2
        [ $rc = 0 ] && rc=1
    fi
fi
LOG=
cleanup
exit $rc
