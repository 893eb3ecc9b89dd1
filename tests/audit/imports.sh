#!/usr/bin/env bash
# Holds the i686 ostrevo.exe to what Windows 95 offers, which Wine cannot show: OS and subsystem
# version no higher than 4.0 in the header, no wide call beyond the few Windows 95 implements, and
# no import missing from win95-imports.txt. Usage: tests/audit/imports.sh [EXE]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
exe="${1:-$here/../../build/mingw32/ostrevo.exe}"
dump="$(i686-w64-mingw32-objdump -p "$exe")" || { echo "FAILED: cannot read $exe"; echo "0 passed, 1 failed"; exit 1; }

# The wide calls Windows 95/98/ME implement; every other one is a stub there that only fails.
win9x_wide="MessageBoxW MessageBoxExW TextOutW ExtTextOutW GetTextExtentPointW GetTextExtentPoint32W
GetTextExtentExPointW GetCharWidthW lstrlenW EnumResourceLanguagesW EnumResourceNamesW EnumResourceTypesW"

awk -v listFile="$here/win95-imports.txt" -v win9xWide="$win9x_wide" '
function check(ok, what) {
    if (ok) passed++
    else { failed++; print "FAILED: " what }
}
BEGIN {
    split(win9xWide, names)
    for (i in names) implemented[names[i]] = 1
    while ((getline line < listFile) > 0)
        if ((n = split(line, field)) >= 2 && field[1] !~ /^#/)
            for (i = 2; i <= n; i++) listed[tolower(field[1]) " " field[i]] = 1
}
/^[ \t]*(Major|Minor)(OSystem|Subsystem)Version/ { version[$1] = $2 }
/^The Import Tables/ { inImports = 1; next }
/^The / { inImports = 0 }
inImports && /DLL Name:/ { dll = tolower($3) }
# One imported function: its address, its hint or ordinal, its name (none when bound by ordinal).
inImports && /^\t[0-9a-f]+\t +[0-9]+/ {
    imports++
    name = NF >= 3 ? $3 : "#" $2
    if (!((dll " " name) in listed)) { unlisted++; print "not in win95-imports.txt: " dll " " name }
    if (name ~ /[a-z0-9]W$/ && !(name in implemented)) { wide++; print "a wide call Windows 95 lacks: " dll " " name }
}
END {
    split("OSystem Subsystem", kinds)
    for (i = 1; i <= 2; i++) {
        major = version["Major" kinds[i] "Version"]; minor = version["Minor" kinds[i] "Version"]
        check(major != "" && (major < 4 || (major == 4 && minor == 0)), kinds[i] " version " major "." minor " is above 4.0")
    }
    # A dump this script no longer understands must not pass for an empty import table.
    check(imports > 0, "no imports found in the dump")
    check(unlisted == 0, unlisted " imports not in win95-imports.txt")
    check(wide == 0, wide " wide calls that Windows 95 does not implement")
    printf "%d imports\n%d passed, %d failed\n", imports, passed, failed
    exit (failed > 0)
}' <<<"$dump"
