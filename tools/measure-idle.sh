#!/usr/bin/env bash
# Measures corvinade.exe under Wine in the test harness's virtual desktop:
# the time from start until its tray icon is drawn, and its idle memory
# (private bytes and working set, from /proc/PID/smaps_rollup) a few seconds
# later.
#
#   bash tools/measure-idle.sh [BUILD_DIR]      (default build/cross)
#
# It runs itself again inside tests/harness/wine-run.sh (own prefix, Xvfb
# display and virtual desktop) through the test program unixrun.exe.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ "${1:-}" != "--inside" ]; then
    BUILD=$(realpath "${1:-$ROOT/build/cross}")
    RESULT=$(mktemp -d)
    printf '%s\n' "$BUILD/src/corvinade.exe" >"$RESULT/exe"
    bash "$ROOT/tests/harness/wine-run.sh" "$BUILD/tests/harness/unixrun.exe" \
        "$ROOT/tools/measure-idle.sh --inside $RESULT" "$RESULT/done"
    cat "$RESULT/out"
    rm -rf "$RESULT"
    exit 0
fi
RESULT=$2
EXE=$(cat "$RESULT/exe")
exec >"$RESULT/out" 2>&1
trap 'touch "$RESULT/done"' EXIT

# The icon's middle pixel at the right end of the taskbar (1280 x 800 desktop).
pixel() { import -window root -crop "1x1+${1:-1269}+789" txt:- 2>/dev/null | tail -1 | awk '{print $3}'; }

# A profile with no first-use wizard and an empty hotkey file (without a
# file the settings window would open at start).
wine reg add 'HKCU\Software\Pelmorra\Corvinade' /v FirstUse /t REG_SZ /d 0 /f >/dev/null 2>&1
DATA="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Pelmorra/Corvinade/Data"
mkdir -p "$DATA" && : >"$DATA/hotkeys.ini"
# Waits until the taskbar is drawn: the icon's place shows the taskbar's own
# colour (as a spot further left does).
for _ in $(seq 1 500); do
    empty=$(pixel)
    [ -n "$empty" ] && [ "$empty" = "$(pixel 1200)" ] && break
    sleep 0.02
done
start=$(date +%s%N)
wine "$EXE" >/dev/null 2>&1 &
while [ "$(pixel)" = "$empty" ]; do
    sleep 0.01
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then
        echo "no tray icon within 20 s" >&2
        exit 1
    fi
done
echo "start-up to tray icon: $(( ($(date +%s%N) - start) / 1000000 )) ms (pixel $empty -> $(pixel))"

sleep 3 # idle
pid=
for dir in /proc/[0-9]*; do
    if tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
        tr '\0' ' ' <"$dir/cmdline" 2>/dev/null | grep -qi 'corvinade\.exe'; then
        pid=${dir#/proc/}
        break
    fi
done 2>/dev/null
[ -n "$pid" ] || { echo "corvinade.exe is not running" >&2; exit 1; }
awk '/^Rss:/ {rss=$2} /^Private_Clean:/ {pc=$2} /^Private_Dirty:/ {pd=$2}
     END {printf "idle private bytes: %.1f MB (Private_Clean + Private_Dirty)\nidle working set: %.1f MB (Rss)\n", (pc+pd)/1024, rss/1024}' \
    "/proc/$pid/smaps_rollup"
