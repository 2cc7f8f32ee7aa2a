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
skipped=0
run_tier() {
    local preset=$1 log="build/test-$1.log" repeat=()
    # Under heavy load Wine itself now and then faults in one of its own
    # threads as a process ends, which the heap check counts; such a case runs
    # once more before it fails. A fault of the program's comes back.
    [ "$preset" = cross ] && repeat=(--repeat until-pass:2)
    echo "test: $preset tree"
    ctest --preset "$preset" -j"$jobs" "${repeat[@]}" 2>&1 | tee "$log" | grep -vE '^ +Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed '
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        echo "test: $preset tree ran no test"
        failed=$((failed + 1))
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    # ctest counts a skipped case as passed; it is neither here.
    skip=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log")
    passed=$((passed + total - bad - skip))
    failed=$((failed + bad))
    skipped=$((skipped + skip))
}

start=$(date +%s)
run_tier native
run_tier cross
run_fuzz() {
    # A few seconds per fuzz target: each is one case, failed on a finding.
    local log=build/test-fuzz.log
    echo "test: fuzz targets"
    bash scripts/fuzz.sh "${CORVINADE_FUZZ_SECONDS:-5}" 2>&1 | tee "$log"
    passed=$((passed + $(grep -cE '^fuzz: .* ok$' "$log")))
    failed=$((failed + $(grep -cE '^fuzz: .* FINDING$' "$log")))
    grep -qE '^fuzz: .* (ok|FINDING)$' "$log" || failed=$((failed + 1))
}
run_fuzz
echo "test: $(( $(date +%s) - start )) s for all tiers"
[ "$skipped" -eq 0 ] || echo "test: $skipped skipped"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
