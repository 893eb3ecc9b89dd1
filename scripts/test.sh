#!/usr/bin/env bash
# Builds everything and runs every test: formatting, the include graph, unit tests (plain and under
# ASan/UBSan), the Windows builds and the i686 exe's import audit, and
# under Wine the end-to-end scenarios against the real exes: the x86-64 one on every host, the i686 one
# where the host runs 32-bit code (OSTREVO_NO_32BIT=1 acts as if it did not).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
# shellcheck source=winelib.sh
. scripts/winelib.sh
wine_host_say

started=$(date +%s)
passed=0
failed=0
summary=()

stage() { printf '\n=== %s\n' "$*"; }

# Runs a stage that ends with its own "N passed, N failed" line, keeping its output visible, and
# adds its counts to the totals, and what it says it did not run to the summary. A stage without that
# line, or one that exits non-zero while reporting no failure, counts as one failure more.
run_counted() {
    local name="$1" log status line notrun p=0 f=0
    shift
    log="$(mktemp)"
    set +e
    "$@" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    line="$(grep -E '[0-9]+ passed, [0-9]+ failed' "$log" | tail -n1 || true)"
    notrun="$(grep -E '^not run' "$log" | sed 's/ ([^()]*)$//' || true)"
    rm -f "$log"
    if [ -n "$line" ]; then
        p="$(grep -oE '[0-9]+ passed' <<<"$line" | grep -oE '[0-9]+')"
        f="$(grep -oE '[0-9]+ failed' <<<"$line" | grep -oE '[0-9]+')"
    fi
    if [ -z "$line" ] || { [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; }; then f=$((f + 1)); fi
    passed=$((passed + p))
    failed=$((failed + f))
    summary+=("$name: $p passed, $f failed (exit $status)${notrun:+; $notrun}")
}

ctest_counted() {
    local name="$1" dir="$2" log status total bad
    log="$(mktemp)"
    set +e
    ctest --test-dir "$dir" --output-on-failure -j2 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    total="$(sed -nE 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2/p' "$log" | tail -n1)"
    bad="$(sed -nE 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/p' "$log" | tail -n1)"
    if [ -z "$total" ] || [ "$total" -eq 0 ]; then
        failed=$((failed + 1))
        summary+=("$name: no tests ran")
    else
        passed=$((passed + total - bad))
        failed=$((failed + bad))
        summary+=("$name: $((total - bad)) passed, $bad failed")
    fi
    [ "$status" -eq 0 ] || [ "${bad:-1}" -gt 0 ] || { failed=$((failed + 1)); summary+=("$name: ctest exited $status"); }
    rm -f "$log"
}

stage "formatting (clang-format)"
if command -v clang-format >/dev/null; then
    mapfile -t sources < <(find src tests scripts bench -name '*.cpp' -o -name '*.h' | sort)
    if clang-format --dry-run --Werror "${sources[@]}"; then
        summary+=("format: clean")
    else
        failed=$((failed + 1))
        summary+=("format: differs from .clang-format")
    fi
fi

stage "include graph between the folders of src/"
if python3 scripts/include-graph.py; then
    summary+=("include graph: no cycle")
else
    failed=$((failed + 1))
    summary+=("include graph: a cycle between folders")
fi

stage "native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest_counted unit build/native

stage "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREVO_SANITIZE=ON >/dev/null
cmake --build build/sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest_counted sanitized build/sanitize

stage "Windows builds (i686 and x86-64)"
cmake --preset mingw32 >/dev/null
cmake --build --preset mingw32
cmake --preset mingw64 >/dev/null
cmake --build --preset mingw64
exe=build/mingw32/ostrevo.exe
echo "ostrevo.exe (i686): $(stat -c %s "$exe") bytes; imports: $(i686-w64-mingw32-objdump -p "$exe" |
    sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
echo "ostrevo.exe (x86-64): $(stat -c %s build/mingw64/ostrevo.exe) bytes"

stage "import audit of the i686 exe (what Windows 95 offers)"
run_counted imports bash tests/audit/imports.sh "$exe"

stage "end to end under Wine (the x86-64 exe; the i686 exe where the host runs 32-bit code)"
run_counted e2e bash tests/e2e/run.sh

stage "summary ($(($(date +%s) - started)) s)"
printf '  %s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
