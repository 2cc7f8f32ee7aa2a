#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz (clang, ASan, UBSan) into
# build/fuzz and runs each for SECONDS (default 60), one after another,
# starting from the seed corpus and dictionary checked in beside them.
# Prints per target its executions, executions per second and findings;
# exits non-zero when any target found something (the inputs are kept in
# build/fuzz/findings/TARGET/).
#   bash scripts/fuzz.sh [SECONDS]
#   CORVINADE_FUZZ_RUNS=N bash scripts/fuzz.sh   # N executions per target instead
#   CORVINADE_FUZZ_TARGETS="keysender" ...       # only these targets
#   CORVINADE_FUZZ_OUT=build/fuzz-2 ...          # corpora, findings and logs there
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
targets=${CORVINADE_FUZZ_TARGETS:-hotkeys_ini keysender update_answer text_rules capture_geometry marks}
build=build/fuzz
out=${CORVINADE_FUZZ_OUT:-$build}

bash scripts/setup.sh || { echo "fuzz: set-up failed"; exit 1; }
mkdir -p "$build"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S tests/fuzz -B "$build" -G Ninja -Wno-dev -DCMAKE_CXX_COMPILER=clang++ \
        >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; echo "fuzz: configure failed"; exit 1; }
fi
cmake --build "$build" >"$build/build.log" 2>&1 ||
    { grep -vE '^\[[0-9]+/[0-9]+\] ' "$build/build.log" | tail -n 40; echo "fuzz: build failed"; exit 1; }
grep -E 'warning:' "$build/build.log" | grep -v '^/usr/' || true

if [ -n "${CORVINADE_FUZZ_RUNS:-}" ]; then
    limit=(-runs="$CORVINADE_FUZZ_RUNS")
else
    limit=(-max_total_time="$seconds")
fi
found=0
for target in $targets; do
    corpus=$out/corpus/$target
    findings=$out/findings/$target
    log=$out/$target.log
    mkdir -p "$corpus" "$findings"
    # Each run starts from the seeds (regression inputs of earlier findings
    # included) and what earlier runs on this machine kept.
    "$build/fuzz_$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=1024 \
        -dict="tests/fuzz/dict/$target.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
        "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    count=$(find "$findings" -type f | wc -l)
    if [ "$rc" -ne 0 ] && [ "$count" -eq 0 ]; then
        count=1 # ended without leaving an input: still a finding
    fi
    if [ "$count" -gt 0 ]; then
        found=1
        verdict="FINDING"
        grep -m 3 -E 'ERROR|runtime error|: [a-z ]+:|SUMMARY' "$log" | sed 's/^/    /'
    else
        verdict="ok"
    fi
    printf 'fuzz: %-17s %12s execs %9s execs/s %3s findings  %s\n' "$target" "${execs:-?}" "${speed:-?}" \
        "$count" "$verdict"
done
exit "$found"
