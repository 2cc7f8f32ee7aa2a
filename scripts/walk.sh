#!/usr/bin/env bash
# The random walk: STEPS user steps (default 10,000) through corvinade.exe's
# windows under Wine, chosen from SEED (default a random one), each followed
# by its checks (tests/harness/Walk.h). Prints the seed first and its pace
# every 100 steps; a failure prints the seed, the step and the steps so far,
# and exits 1. The same seed walks the same way again.
#
#   bash scripts/walk.sh [STEPS [SEED]]
#
# Installs what is missing and builds the cross tree first, as scripts/run.sh
# does; with BUILD=DIR it walks that tree as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
steps=${1:-10000}
seed=${2:-$((RANDOM * 32768 + RANDOM))}
[ -n "${BUILD:-}" ] || bash "$root/scripts/build.sh" --cross-only
build=${BUILD:-$root/build/cross}
cmake --build "$build" --target corvinade walk >/dev/null
echo "again: bash scripts/walk.sh $steps $seed"
# A step takes a second at most, but for a failing one.
CORVINADE_RUN_TIMEOUT=${CORVINADE_RUN_TIMEOUT:-$((steps * 2 + 300))} CORVINADE_EXE="Z:$build/src/corvinade.exe" \
    bash "$root/tests/harness/wine-run.sh" "$build/tools/walk/walk.exe" "$steps" "$seed" | tr -d '\r'
