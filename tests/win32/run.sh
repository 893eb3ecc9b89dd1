#!/usr/bin/env bash
# Runs the win32 platform checks under Wine in a throw-away prefix with a virtual desktop, on the
# current DISPLAY or an Xvfb of its own. Usage: tests/win32/run.sh [BUILD_DIR [win32|win64]]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build/mingw32}"
arch="${2:-win32}"
test_exe="$build/win32_platform_test.exe"
[ -f "$test_exe" ] || {
    echo "win32 tests: $test_exe not built (ninja -C $build win32_platform_test)" >&2
    exit 1
}

# shellcheck source=../../scripts/winelib.sh
. "$root/scripts/winelib.sh"

wine_clean_on_exit

if [ -z "${DISPLAY:-}" ]; then
    wine_start_xvfb 1024x768
    xvfb_pid="$WINE_XVFB_PID"
fi
prefix="$(wine_new_prefix "$arch")"
# The focus checks need what the program has in use: a desktop whose windows can be activated.
wine_virtual_desktop "$prefix" ostrevo-test 1024x768
wine_copy_in "$prefix" "$test_exe" win32_platform_test.exe
wine_run "$prefix" wine 'C:\win32_platform_test.exe'
