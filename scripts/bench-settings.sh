#!/usr/bin/env bash
# Prints the settings window's figures with 200 hotkeys under Wine and Xvfb:
# the time to create, show and paint it, the windows it holds, and one
# scroll step with its repaint. Not a test: figures, no pass or fail. Needs
# the cross tree built (scripts/build.sh, or BUILD=build/cross-NAME).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/cross}
bench=$build/tools/bench/settings_bench.exe
[ -x "$bench" ] || cmake --build "$build" --target settings_bench >/dev/null
bash "$root/tests/harness/wine-run.sh" "$bench" | tr -d '\r'
