#!/usr/bin/env bash
# Holds the i686 ostrevo.exe to what Windows 95 offers, which Wine cannot show: OS and subsystem
# version no higher than 4.0 in the header, no wide call beyond the few Windows 95 implements, and
# no import missing from win95-imports.txt. Usage: tests/audit/imports.sh [EXE]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exe="${1:-$here/../../build/mingw32/ostrevo.exe}"
dump="$(i686-w64-mingw32-objdump -p "$exe")" || { echo "FAILED: cannot read $exe"; echo "0 passed, 1 failed"; exit 1; }
# The wide calls Windows 95/98/ME implement; every other one is a stub there that only fails.
win9x_wide='MessageBoxW|MessageBoxExW|TextOutW|ExtTextOutW|GetTextExtentPointW|GetTextExtentPoint32W|
GetTextExtentExPointW|GetCharWidthW|lstrlenW|EnumResourceLanguagesW|EnumResourceNamesW|EnumResourceTypesW'
# "dll Function" per import (by ordinal: "#n"), and per entry of the list.
imports="$(awk '/^The Import Tables/ { on = 1; next } /^The / { on = 0 }
    on && /DLL Name:/ { dll = tolower($3) }
    on && /^\t[0-9a-f]+\t +[0-9]+/ { print dll, (NF >= 3 ? $3 : "#" $2) }' <<<"$dump")"
listed="$(awk '!/^#/ { for (i = 2; i <= NF; i++) print tolower($1), $i }' "$here/win95-imports.txt")"
checks=0 failed=0
check() { checks=$((checks + 1)); "${@:2}" || { echo "FAILED: $1"; failed=$((failed + 1)); }; }
for kind in OSystem Subsystem; do
    version="$(awk -v k="$kind" '$1 == "Major" k "Version" { M = $2 } $1 == "Minor" k "Version" { m = $2 }
        END { print M "." m }' <<<"$dump")"
    check "$kind version $version is above 4.0" grep -qE '^([0-3]\.[0-9]+|4\.0)$' <<<"$version"
done
# A dump this script no longer understands must not pass for an empty import table.
check "no imports found in the dump" test -n "$imports"
unlisted="$(comm -23 <(sort -u <<<"$imports") <(sort -u <<<"$listed"))"
check "imports not in win95-imports.txt: ${unlisted//$'\n'/, }" test -z "$unlisted"
wide="$(grep -E '[a-z0-9]W$' <<<"$imports" | grep -vwE "${win9x_wide//$'\n'/}" || true)"
check "wide calls that Windows 95 does not implement: ${wide//$'\n'/, }" test -z "$wide"
echo "$(grep -c . <<<"$imports") imports"
echo "$((checks - failed)) passed, $failed failed"
exit $((failed > 0))
