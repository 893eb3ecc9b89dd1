#!/bin/sh
# Builds the start-up fuzzer with clang (libFuzzer, ASan, UBSan) and runs it for a bounded time from its
# seed corpus; fails on any crash, sanitizer report or broken rule.
# Usage: tests/fuzz/run.sh [seconds, default 20] [build directory, default build/fuzz]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${2:-$root/build/fuzz}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOSTREVO_FUZZ=ON >/dev/null
cmake --build "$build" --target startup_fuzzer
# What the run discovers goes to the first folder, a temporary one, and stays out of the source tree.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if "$build/tests/fuzz/startup_fuzzer" -max_total_time="${1:-20}" -artifact_prefix="$build/" "$work" \
    "$root/tests/fuzz/corpus/startup" >"$build/startup.log" 2>&1; then
    echo "startup: no findings, $(sed -n "s/^Done \([0-9]*\) runs.*/\1/p" "$build/startup.log") runs"
    echo "1 passed, 0 failed"
else
    tail -n 40 "$build/startup.log"
    echo "0 passed, 1 failed"
    exit 1
fi
