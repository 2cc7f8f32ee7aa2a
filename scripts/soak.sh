#!/usr/bin/env bash
# The soak: 10,000 hotkeys across the actions (clipboard texts and files,
# maximize and restore, keystrokes into Notepad, 200 capture windows opened
# and closed) pressed at corvinade.exe under Wine, with private memory,
# windows, GDI objects and kernel handles at the start and the end.
#
#   bash scripts/soak.sh [PRESSES [CAPTURES]]     (default 10000 200)
#
# Not a test: figures, and exit code 1 when a press had no effect. Needs the
# cross tree built (scripts/build.sh, or BUILD=build/cross-NAME).
set -euo pipefail
# Figures of a program under Wine's heap checking would be slower and larger
# than the program's own (tests/harness/wine-run.sh).
export CORVINADE_HEAP_CHECK=${CORVINADE_HEAP_CHECK:-0}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build/cross}
soak=$build/tools/soak/soak.exe
[ -x "$soak" ] || cmake --build "$build" --target soak >/dev/null
CORVINADE_RUN_TIMEOUT=${CORVINADE_RUN_TIMEOUT:-3600} CORVINADE_EXE="Z:$build/src/corvinade.exe" \
    bash "$root/tests/harness/wine-run.sh" "$soak" "${1:-10000}" "${2:-200}" |
    tr -d '\r'
