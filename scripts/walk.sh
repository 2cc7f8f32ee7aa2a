#!/usr/bin/env bash
# The random walk: N user steps (default 10,000) through corvinade.exe's
# windows under Wine, chosen from seed S (default a random one), each followed
# by its checks (tests/harness/Walk.h). Prints the seed first and its pace
# every 100 steps; a failure prints the seed, the step and the last steps,
# and exits 1. The same seed walks the same way again.
#
#   bash scripts/walk.sh [--steps N] [--seed S]
#
# Installs what is missing and builds the cross tree first, as scripts/run.sh
# does; with BUILD=DIR it walks that tree as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
steps=10000
seed=$((RANDOM * 32768 + RANDOM))
while [ $# -gt 0 ]; do
    case $1 in
    --steps) steps=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    *) echo "usage: bash scripts/walk.sh [--steps N] [--seed S]" >&2; exit 2 ;;
    esac
done
[ -n "${BUILD:-}" ] || bash "$root/scripts/build.sh" --cross-only
build=${BUILD:-$root/build/cross}
cmake --build "$build" --target corvinade walk >/dev/null
echo "walk: bash scripts/walk.sh --seed $seed --steps $steps"
# A step takes a second or two, but for a failing one.
CORVINADE_RUN_TIMEOUT=${CORVINADE_RUN_TIMEOUT:-$((steps * 3 + 300))} CORVINADE_EXE="Z:$build/src/corvinade.exe" \
    bash "$root/tests/harness/wine-run.sh" "$build/tools/walk/walk.exe" "$steps" "$seed" | sed -u "s/\r$//"
