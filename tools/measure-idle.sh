#!/usr/bin/env bash
# Measures corvinade.exe under Wine in the test harness's virtual desktop:
# the time from start until its tray icon is drawn, and its idle memory
# (private bytes and working set, from /proc/PID/smaps_rollup) a few seconds
# later, beside a bare Win32 program's in the same run (its start until its
# first window is drawn, and its idle memory).
#
#   bash tools/measure-idle.sh [BUILD_DIR]      (default build/cross)
#
# It runs itself again inside tests/harness/wine-run.sh (own prefix, Xvfb
# display and virtual desktop) through the test program unixrun.exe.
set -euo pipefail
# Figures of a program under Wine's heap checking would be slower and larger
# than the program's own (tests/harness/wine-run.sh).
export CORVINADE_HEAP_CHECK=${CORVINADE_HEAP_CHECK:-0}
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

# A pixel of the screen, X Y; by default the icon's middle at the right end of
# the taskbar (1280 x 800 desktop).
pixel() { import -window root -crop "1x1+${1:-1269}+${2:-789}" txt:- 2>/dev/null | tail -1 | awk '{print $3}'; }

# A profile with no first-use wizard and an empty hotkey file (without a
# file the settings window would open at start).
wine reg add 'HKCU\Software\Pelmorra\Corvinade' /v FirstUse /t REG_SZ /d 0 /f >/dev/null 2>&1
DATA="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Pelmorra/Corvinade/Data"
mkdir -p "$DATA" && : >"$DATA/hotkeys.ini"
# Waits until the taskbar is drawn: the icon's place shows the taskbar's own
# colour (as a spot further left does).
for _ in $(seq 1 500); do
    empty=$(pixel)
    [ -n "$empty" ] && [ "$empty" != "#000000000000" ] && [ "$empty" = "$(pixel 1200)" ] && break
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

# Private memory (Private_Clean + Private_Dirty) and working set (Rss) in
# KB of the process of this run running the program named $1.
memory_of() {
    local dir pid=
    for dir in /proc/[0-9]*; do
        if tr '\0' '\n' <"$dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            tr '\0' ' ' <"$dir/cmdline" 2>/dev/null | grep -qi "$1"; then
            pid=${dir#/proc/}
            break
        fi
    done 2>/dev/null
    [ -n "$pid" ] || { echo "$1 is not running" >&2; return 1; }
    awk '/^Rss:/ {rss=$2} /^Private_Clean:/ {pc=$2} /^Private_Dirty:/ {pd=$2} END {print pc+pd, rss}' \
        "/proc/$pid/smaps_rollup"
}

sleep 3 # idle
read -r private rss < <(memory_of 'corvinade\.exe')
awk -v p="$private" -v r="$rss" 'BEGIN {
    printf "idle private bytes: %.1f MB (Private_Clean + Private_Dirty)\nidle working set: %.1f MB (Rss)\n", p / 1024, r / 1024 }' 
# The bare program in the same run: one hidden window and a message loop.
wine "$(dirname "$EXE")/../tests/harness/bare.exe" >/dev/null 2>&1 &
sleep 3
read -r barePrivate bareRss < <(memory_of 'bare\.exe')
awk -v p="$private" -v bp="$barePrivate" -v br="$bareRss" 'BEGIN {
    printf "bare Win32 program: %.1f MB private, %.1f MB working set; corvinade.exe / bare: %.2fx private\n",
        bp / 1024, br / 1024, p / bp }'

# The bare program's start until its first window is drawn: a black square
# on the desktop at (630, 390).
before=$(pixel 640 400)
start=$(date +%s%N)
wine "$(dirname "$EXE")/../tests/harness/bare.exe" show >/dev/null 2>&1 &
while [ "$(pixel 640 400)" = "$before" ]; do
    sleep 0.01
    if [ $(( ($(date +%s%N) - start) / 1000000 )) -gt 20000 ]; then
        echo "no bare window within 20 s" >&2
        exit 1
    fi
done
echo "bare Win32 program: start-up to first window: $(( ($(date +%s%N) - start) / 1000000 )) ms"
