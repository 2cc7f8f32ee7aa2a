#!/usr/bin/env bash
# Prints the settings window's figures with 10, 200 and 1,000 hotkeys under
# Wine and Xvfb: the time to create, show and paint it and the windows it
# holds at each, and one scroll step with its repaint at 1,000. Not a test: figures, no pass or fail. Needs
# the cross tree built (scripts/build.sh, or BUILD=build/cross-NAME).
set -euo pipefail
# Figures of a program under Wine's heap checking would be slower and larger
# than the program's own (tests/harness/wine-run.sh).
export CORVINADE_HEAP_CHECK=${CORVINADE_HEAP_CHECK:-0}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/cross}
bench=$build/tools/bench/settings_bench.exe
[ -x "$bench" ] || cmake --build "$build" --target settings_bench >/dev/null
bash "$root/tests/harness/wine-run.sh" "$bench" | tr -d '\r'
