#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a bounded time from
# its seed corpus; fails on any crash, sanitizer report or failed check.
# Usage: tests/fuzz/run.sh [seconds per target, default 20] [build directory, default build/fuzz]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-20}
build=${2:-$root/build/fuzz}
targets="profile startup list placement"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOSTREVO_FUZZ=ON >/dev/null
cmake --build "$build" -j "${BUILD_JOBS:-2}" --target profile_fuzzer startup_fuzzer list_fuzzer placement_fuzzer

out="$build/tests/fuzz"
passed=0
failed=0
for target in $targets; do
    # The seeds are copied so that what the run discovers stays out of the source tree.
    work=$(mktemp -d)
    cp "$root/tests/fuzz/corpus/$target/"* "$work/"
    log="$out/$target.log"
    if "$out/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$out/$target-" "$work" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: no findings, ${runs:-?} executions in ${seconds} s"
        passed=$((passed + 1))
    else
        echo "$target: FINDING (log: $log)"
        tail -n 40 "$log"
        failed=$((failed + 1))
    fi
    rm -rf "$work"
done
# One line per run in the form the other test stages use: a target counts as one test.
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
