#!/usr/bin/env bash
# Runs profile_fidelity.exe under Wine in a throw-away prefix, as an unprivileged user so that a
# read-only file really refuses writes (as root, Wine writes it anyway). Builds nothing.
# Usage: tests/fidelity/run.sh PATH/TO/profile_fidelity.exe
set -uo pipefail

exe="${1:-}"
if [ -z "$exe" ] || [ ! -f "$exe" ]; then
    echo "usage: $0 PATH/TO/profile_fidelity.exe" >&2
    exit 2
fi
top="$(cd "$(dirname "$0")/../.." && pwd)"
# shellcheck source=../../scripts/winelib.sh
. "$top/scripts/winelib.sh"

prefix="$(wine_new_prefix)" || exit 1
trap 'wine_cleanup "$prefix"' EXIT
wine_copy_in "$prefix" "$exe" profile_fidelity.exe || exit 1

# A console program needs no display; the exit code is the program's own (non-zero on any FAIL).
wine_run "$prefix" wine 'C:\profile_fidelity.exe'
status=$?
wine_run "$prefix" wineserver -w
exit "$status"
