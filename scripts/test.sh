#!/usr/bin/env bash
# Builds everything and runs every test tier of both trees: native unit tests,
# Win32 tests under Wine, end-to-end tests of corvinade.exe under Wine and
# Xvfb. Ends with one summary line for all of them.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/build.sh || { echo "test: build failed"; echo "0 passed, 1 failed"; exit 1; }

jobs=${CORVINADE_TEST_JOBS:-$(nproc)}
passed=0
failed=0
run_tier() {
    local preset=$1 log="build/test-$1.log"
    echo "test: $preset tree"
    ctest --preset "$preset" -j"$jobs" 2>&1 | tee "$log" | grep -vE '^ +Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed '
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        echo "test: $preset tree ran no test"
        failed=$((failed + 1))
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

start=$(date +%s)
run_tier native
run_tier cross
echo "test: $(( $(date +%s) - start )) s for all tiers"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
