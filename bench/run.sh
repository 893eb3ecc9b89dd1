#!/usr/bin/env bash
# Runs the benchmarks: start-up against the number of boot entries natively (Release build), then,
# with an argument, the start-up time of the real exe under Wine beside a minimal tray program: the
# i686 ones, or the x86-64 ones where the host runs no 32-bit code (bench/perf/startup.sh).
# Usage: bench/run.sh [wine]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTREVO_BENCH=ON >/dev/null
cmake --build "$root/build/bench" --target startup_bench
"$root/build/bench/bench/startup_bench"
if [ "${1:-}" = wine ]; then
    bash "$root/bench/perf/startup.sh"
fi
