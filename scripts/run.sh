#!/usr/bin/env bash
# Installs what is missing, builds corvinade.exe and runs it under Wine, in a
# 32-bit Wine prefix of its own (build/wine/run). Without an X display it
# starts a virtual one (Xvfb) first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/build.sh --cross-only

export WINEPREFIX=${WINEPREFIX:-$root/build/wine/run}
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
desktop=()
if [ -z "${DISPLAY:-}" ]; then
    Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    export DISPLAY=:77
    # No desktop of its own there: Wine's virtual desktop brings a taskbar
    # with a notification area for the tray icon.
    desktop=(explorer /desktop=Corvinade,1280x800)
    echo "run: no X display, started Xvfb on $DISPLAY (look with: DISPLAY=:77 import -window root shot.png)"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "run: making the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Tahoma and Marlett come from the prefix's own Fonts folder.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
echo "run: corvinade.exe under Wine; hotkeys from $WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Roaming/Pelmorra/Corvinade/Data/hotkeys.ini"
exec wine "${desktop[@]}" build/cross/src/corvinade.exe
