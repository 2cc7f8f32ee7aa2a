#!/usr/bin/env bash
# Every figure of Corvinade beside its reference, measured in one run under
# Wine and Xvfb: idle memory and start-up against a bare Win32 program, the
# capture at 4K (hotkey to window against a plain grab-and-show program, a
# drag step against a full repaint, the release, JPEG against cjpeg, the
# window's memory, as Linux counts the process's private memory, against its
# image and a plain program's first window, and with a few dozen marks against
# without), the settings window with 10,
# 200 and 1,000 hotkeys,
# hotkey to action while the update check waits on an endpoint that never
# answers against the same at idle, and the size of corvinade.exe. Not a
# test: figures, no pass or fail.
#
#   bash scripts/bench.sh          (installs what is missing and builds the cross
#                                   tree first, as scripts/run.sh does; with
#                                   BUILD=DIR it measures that tree as it is)
set -euo pipefail
# Figures of a program under Wine's heap checking would be slower and larger
# than the program's own (tests/harness/wine-run.sh).
export CORVINADE_HEAP_CHECK=${CORVINADE_HEAP_CHECK:-0}
root=$(cd "$(dirname "$0")/.." && pwd)
[ -n "${BUILD:-}" ] || bash "$root/scripts/build.sh" --cross-only
build=${BUILD:-$root/build/cross}
export BUILD=$build
cmake --build "$build" --target corvinade capture_bench settings_bench hotkey_bench corvinade_test_programs >/dev/null

echo "== idle memory and start-up (tools/measure-idle.sh)"
idle=$(bash "$root/tools/measure-idle.sh" "$build")
echo "$idle"
echo "== capture at 3840 x 2160 (scripts/bench-capture.sh)"
capture=$(bash "$root/scripts/bench-capture.sh")
echo "$capture"
echo "== settings window (scripts/bench-settings.sh)"
settings=$(bash "$root/scripts/bench-settings.sh")
echo "$settings"
echo "== hotkey to action, idle and with the update endpoint hanging (tools/bench/hotkey_bench.cpp)"
answer=$(CORVINADE_EXE="Z:$build/src/corvinade.exe" CORVINADE_TEST_BIN="$build/tests/harness" \
    bash "$root/tests/harness/wine-run.sh" "$build/tools/bench/hotkey_bench.exe" | tr -d '\r')
echo "$answer"

# The first number after a pattern on the line that has it.
num() { grep -m1 -- "$2" <<<"$1" | sed -E "s/.*$2[^0-9]*([0-9]+(\.[0-9]+)?).*/\1/"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

private=$(num "$idle" "idle private bytes:")
bare=$(num "$idle" "bare Win32 program:")
start=$(num "$idle" "start-up to tray icon:")
bareStart=$(num "$idle" "start-up to first window:")
hotkeyLine=$(grep -m1 '^hotkey to capture window:' <<<"$capture")
hotkey=$(num "$hotkeyLine" "hotkey to capture window:")
plain=$(num "$hotkeyLine" "against")
full=$(num "$capture" "full repaint, selection held:")
drag=$(num "$capture" "drag step, selection moved 3,2 px:")
release=$(grep -m1 '^release:' <<<"$capture" | sed -E 's/^release: [^:]*: //; s/ ms \(.*//')
jpeg=$(num "$capture" "JPEG encode of 3840 x 2160 in the program:")
cjpegRatio=$(grep -m1 '^ratio program / cjpeg' <<<"$capture" | sed -E 's/.*, ([0-9.]+) \(without the start\)/\1/')
windowLine=$(grep -m1 '^capture window with a selection:' <<<"$capture")
window=$(num "$windowLine" "capture window with a selection:")
image=$(num "$windowLine" "hotkey, image")
plainMemory=$(num "$capture" "plain grab-and-show program, its first window:")
marksLine=$(grep -m1 '^capture window with a selection and' <<<"$capture")
marks=$(num "$marksLine" "marks:")
marksCount=$(num "$marksLine" "a selection and")
unmarked=$(num "$marksLine" "against")
# The settings window's figure at N hotkeys: its open time or window count.
settingsOpen() { grep -m1 "^ *$1 hotkeys: create, show and paint" <<<"$settings" | sed -E 's/.*median ([0-9.]+) ms.*/\1/'; }
settingsWindows() { num "$settings" "$1 hotkeys: windows it holds:"; }
open10=$(settingsOpen 10)
open200=$(settingsOpen 200)
open1000=$(settingsOpen 1000)
scrollMs=$(grep -m1 '1000 hotkeys: one scroll step' <<<"$settings" | sed -E 's/.*median ([0-9.]+) ms.*/\1/')
size=$(stat -c %s "$build/src/corvinade.exe")
answerIdle=$(grep -m1 'hotkey to action, idle:' <<<"$answer" | sed -E 's/.*median ([0-9.]+) ms.*/\1/')
answerHanging=$(grep -m1 'hotkey to action, endpoint hanging:' <<<"$answer" | sed -E 's/.*median ([0-9.]+) ms.*/\1/')

echo
echo "== summary: figure | reference | ratio"
printf '%-34s %-12s %-40s %s\n' \
    "idle private memory" "$private MB" "bare Win32 program $bare MB" "$(ratio "$private" "$bare")x" \
    "start to tray icon" "$start ms" "bare program's start to its window ${bareStart} ms" "$(ratio "$start" "$bareStart")x" \
    "hotkey to capture window, 4K" "$hotkey ms" "plain grab-and-show program $plain ms" "$(ratio "$hotkey" "$plain")x" \
    "drag step (selection moved)" "$drag ms" "full repaint $full ms" "$(ratio "$drag" "$full")x" \
    "selection release" "$release ms" "(three releases)" "" \
    "JPEG save of the 4K image" "$jpeg ms" "cjpeg on the same pixels, without its start" "${cjpegRatio}x" \
    "4K capture window with a selection" "$window MB" "its image $image MB (plain program $plainMemory MB)" "$(ratio "$window" "$image")x" \
    "the same with $marksCount marks (process)" "$marks MB" "without the marks $unmarked MB (aim 1.05x)" "$(ratio "$marks" "$unmarked")x" \
    "settings window, 10 hotkeys" "$open10 ms" "$(settingsWindows 10) windows" "" \
    "settings window, 200 hotkeys" "$open200 ms" "10 hotkeys $open10 ms; $(settingsWindows 200) windows" "$(ratio "$open200" "$open10")x" \
    "settings window, 1,000 hotkeys" "$open1000 ms" "10 hotkeys $open10 ms (aim 1.3x); $(settingsWindows 1000) windows" "$(ratio "$open1000" "$open10")x" \
    "settings scroll step, 1,000 hotkeys" "$scrollMs ms" "aim 16 ms" "$(ratio "$scrollMs" 16)x" \
    "hotkey to action, endpoint hanging" "$answerHanging ms" "the same at idle $answerIdle ms (aim 1.5x)" "$(ratio "$answerHanging" "$answerIdle")x" \
    "corvinade.exe" "$size bytes" "1 MB = 1048576 bytes" "$(ratio "$size" 1048576)x"
