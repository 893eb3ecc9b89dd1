#!/usr/bin/env bash
# End-to-end scenarios: the shipped ostrevo.exe under Wine and Xvfb, driven through the steps of
# tests/e2e/scenarios/*.txt by e2e_driver.exe in the same Wine desktop. Each scenario gets a fresh copy of
# a prefix (64-bit when its name ends in -64) and one driver; it may start the exe several times.
# Usage: tests/e2e/run.sh [BUILD_DIR [SCENARIO...]]. Prints PASS or FAIL per scenario, then
# "N passed, N failed".
#
# A scenario holds one step a line; the lines under a step indented by two spaces are what it must print,
# where "{*}" stands for any text (or, under boot and import, what they write). Steps done here:
#   boot [utf16] [readonly|foreign|absent]  C:\boot.ini from the lines below, each ended by CRLF; in them
#                   {xHH} is a byte, {TEXT*N} is TEXT N times with "#" counting, and {random N} is N
#                   fixed pseudo-random bytes
#   import [32|64]  the .reg lines below, into that registry view
#   start           ostrevo.exe, traced by Wine's relay
#   changes         boot.ini's lines changed since boot ("-" before, "+" now) and a changed mode
#   reg [32|64]     the Winlogon values
#   trace           the traced calls ostrevo.exe itself made since the last trace, each once
# Every other step goes to the driver (e2e.cpp). Steps done here are retried for a few seconds until
# they print what is expected, as the exe may still be writing. E2E_GO_ON=1 shows every difference of a
# scenario instead of stopping at the first, for writing one.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../scripts/winelib.sh
. "$root/scripts/winelib.sh"
relay='ExitWindowsEx;OpenProcessToken;LookupPrivilegeValueA;AdjustTokenPrivileges;WritePrivateProfileStringA'
relay+=';RegOpenKeyA;RegCreateKeyA;RegOpenKeyExA;RegCreateKeyExA;Shell_NotifyIconA'
winlogon='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'

make_template() {
    local t
    t="$(wine_new_prefix "$1")" || return 1
    mkdir -p "$t/drive_c/e2e"
    cp "$build/ostrevo.exe" "$build/tests/e2e/e2e_driver.exe" "$build/tests/e2e/e2e_probe.dll" "$t/drive_c/e2e/"
    printf '%s\r\n' REGEDIT4 '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="e2e"' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"e2e"="1024x768"' \
        '[HKEY_CURRENT_USER\Software\Wine\Debug]' "\"RelayInclude\"=\"$relay\"" >"$t/drive_c/e2e/setup.reg"
    _wine_is_root && chown -R "$WINE_USER:" "$t/drive_c/e2e"
    wine_run "$t" wine reg import 'C:\e2e\setup.reg' >/dev/null 2>&1 && wine_run "$t" wineserver -w && echo "$t"
}

# Whether ACTUAL is EXPECTED, where only {*} is a pattern.
matches() {
    local p="$2"
    p="${p//\\/\\\\}" p="${p//\*/\\*}" p="${p//\?/\\?}" p="${p//\[/\\[}"
    [[ "$1" == ${p//'{\*}'/*} ]]
}

shorten() { awk '{ if (length($0) > 200) $0 = substr($0, 1, 120) "...(" length($0) " characters)"; print }'; }

drive() {
    printf '%s\n' "$1" >&"$to" 2>/dev/null || { echo "(the driver has ended)"; return; }
    answer
}

# A driver that ends without a word was ended with the Wine session, as a granted restart may do.
answer() {
    local line
    while IFS= read -r -t 60 line <&"$from" || { [ $? -gt 128 ] && echo "(no answer within 60 s)"; false; }; do
        [ "$line" = "<end>" ] && return
        printf '%s\n' "$line"
    done
}

put_boot() {
    rm -f "$c/boot.ini" "$work/$name.orig"
    if [[ " $* " != *" absent "* ]]; then
        printf '%s' "$block" | perl -e 'local $/; $_ = <STDIN>; srand 7;
            s/\n/\r\n/g;
            s/\{x([0-9a-f]{2})\}/chr hex $1/ge;
            s/\{([^{}]*)\*(\d+)\}/my ($t, $n) = ($1, $2); join "", map { (my $x = $t) =~ s|#|$_|g; $x } 1 .. $n/ge;
            s/\{random (\d+)\}/join "", map { chr int rand 256 } 1 .. $1/ge;
            if ($ARGV[0]) { require Encode; $_ = "\xff\xfe" . Encode::encode("UTF-16LE", Encode::decode("UTF-8", $_)) }
            print' "$([[ " $* " == *" utf16 "* ]] && echo 1)" >"$c/boot.ini"
        _wine_is_root && chown "$WINE_USER:" "$c/boot.ini"
    fi
    if [[ " $* " == *" readonly "* ]]; then chmod a-w "$c/boot.ini" || return 1; fi
    # Another owner's file: the Wine user can neither write it nor change its mode.
    if [[ " $* " == *" foreign "* ]]; then chown root:root "$c/boot.ini" && chmod 644 "$c/boot.ini" || return 1; fi
    cp -p "$c/boot.ini" "$work/$name.orig" 2>/dev/null
    return 0
}

# The file's lines, those of a UTF-16 one (with its byte-order mark) decoded.
text_of() {
    [ -e "$1" ] || return 0
    [ "$(head -c 2 "$1" | od -An -tx1)" = " ff fe" ] || { cat "$1"; return; }
    echo "(UTF-16)"
    iconv -f UTF-16 -t UTF-8 "$1"
}

host_changes() {
    local was now
    diff -a --old-line-format='-%L' --new-line-format='+%L' --unchanged-line-format= \
        <(text_of "$work/$name.orig") <(text_of "$c/boot.ini") |
        perl -pe 's/([\x00-\x08\x0b-\x1f\x7f])/"^" . chr(ord($1) ^ 64)/ge'
    was="$(stat -c %a "$work/$name.orig" 2>/dev/null)" now="$(stat -c %a "$c/boot.ini" 2>/dev/null)"
    [ "$was" = "$now" ] || echo "mode $was -> $now"
}

host_reg() {
    wine_run "$prefix" wine reg query "$winlogon" ${1:+/reg:$1} 2>/dev/null | tr -d '\r' |
        sed -n -E 's/^ +(AutoAdminLogon|Default[A-Za-z]*) +(REG_[A-Z_]+) *(.*)$/\1 \2 \3/p' | sed 's/ $//' |
        LC_ALL=C sort
}

# Only calls returning into the exe's own image (at 0x400000) count: Wine's DLLs call these as well.
# Addresses of its stack and heap (1 to 16 MB) read "ptr", so that the same call is seen as such.
host_trace() {
    LC_ALL=C sed -n -E -e 's/^[0-9a-f]+:Call [A-Za-z0-9_]+\.([A-Za-z_]+)\((.*)\) ret=004[0-9a-f]{5}$/\1(\2)/p' \
        -e 's/^[0-9a-f]+:Ret  [A-Za-z0-9_]+\.(WritePrivateProfileStringA)\(\) retval=([0-9a-f]+) ret=004.*/\1 -> \2/p' \
        "$log" | sed -E 's/[0-9a-f]{8} "/"/g; s/\b00[1-9a-f][0-9a-f]{5}\b/ptr/g' >"$work/$name.calls"
    tail -n +$((seen + 1)) "$work/$name.calls" | awk '!once[$0]++'
}

step() {
    local verb="${1%% *}" args="" actual expected="${block%$'\n'}" deadline=$((SECONDS + 8))
    [[ "$1" == *" "* ]] && args="${1#* }"
    case "$verb" in
    boot)
        put_boot $args && return
        actual="(boot.ini could not be made)" expected="" ;;
    import)
        printf 'REGEDIT4\r\n%s' "${block//$'\n'/$'\r\n'}" >"$c/e2e/seed.reg"
        wine_run "$prefix" wine reg import 'C:\e2e\seed.reg' ${args:+/reg:$args} >/dev/null 2>&1 && return
        actual="(the import failed)" expected="" ;;
    start)
        WINEDEBUG=+relay wine_run "$prefix" wine 'C:\e2e\ostrevo.exe' >>"$log" 2>&1 {to}>&- {from}<&- &
        return ;;
    changes | reg | trace)
        while actual="$("host_$verb" $args | shorten)"; ! matches "$actual" "$expected" && [ $SECONDS -lt $deadline ]; do
            sleep 0.2
        done
        [ "$verb" = trace ] && seen="$(wc -l <"$work/$name.calls")" ;;
    *) actual="$(drive "$1" | shorten)" ;;
    esac
    matches "${actual-}" "$expected" && return
    echo "  step '$1' printed (- expected, + seen):"
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "${actual-(failed)}") | tail -n +2 | sed 's/^/    /'
    return 1
}

scenario() {
    name="$(basename "$1" .txt)" prefix="$(mktemp -d /tmp/ostrevo-wine.XXXXXXXX)" log="$work/$name.exe.log"
    trap 'wine_cleanup "$prefix"' EXIT
    trap '' PIPE
    [ -r "$1" ] && [ -d "$2/drive_c" ] && : >"$log" && cp -a "$2/." "$prefix/" || return 1
    chown --reference="$2" "$prefix" && chmod --reference="$2" "$prefix" || return 1
    c="$prefix/drive_c" seen=0
    coproc DRIVER { wine_run "$prefix" wine 'C:\e2e\e2e_driver.exe' 2>"$work/$name.driver.log"; }
    exec {to}>&"${DRIVER[1]}" {from}<&"${DRIVER[0]}"
    local out line now="" block=""
    out="$(answer)"
    [ -z "$out" ] || { echo "  $out"; return 1; }
    while IFS= read -r line || [ -n "$line" ]; do
        case "$line" in
        '#'* | '') ;;
        '  '*) block+="${line:2}"$'\n' ;;
        *)
            [ -z "$now" ] || step "$now" || { differed=1 && [ -n "${E2E_GO_ON:-}" ]; } || return 1
            now="$line" block="" ;;
        esac
    done <"$1"
    [ -z "$now" ] || step "$now" || return 1
    ! grep -aqE 'Unhandled exception|starting debugger' "$log" || { echo "  ostrevo.exe crashed"; return 1; }
    [ -z "${differed:-}" ]
}

build="$(cd "${1:-$root/build/mingw32}" && pwd)" || exit 2
shift
[ $# -gt 0 ] || set -- $(ls "$root"/tests/e2e/scenarios/*.txt | grep -v -- '-64.txt') \
    $(ls "$root"/tests/e2e/scenarios/*-64.txt)
work="$(mktemp -d /tmp/ostrevo-e2e.XXXXXXXX)"
t32="" t64=""
trap 'for t in "$t32" "$(cat "$work/t64" 2>/dev/null)"; do [ -n "$t" ] && wine_cleanup "$t"; done
      kill "$WINE_XVFB_PID" 2>/dev/null; rm -rf "$work"' EXIT
wine_start_xvfb 1024x768 || exit 2
unset XAUTHORITY
[[ " $* " == *"-64.txt "* ]] && { make_template win64 >"$work/t64" & t64=$!; }
t32="$(make_template win32)" || { echo "cannot make a Wine prefix" >&2; exit 2; }
passed=0 failed=0
for file; do
    template="$t32"
    if [[ "$file" == *-64.txt ]]; then
        [ -z "$t64" ] || wait "$t64"
        t64="" template="$(cat "$work/t64")"
    fi
    started=$SECONDS
    if (scenario "$file" "$template"); then passed=$((passed + 1)) verdict=PASS; else failed=$((failed + 1)) verdict=FAIL; fi
    echo "$verdict $(basename "$file" .txt) ($((SECONDS - started)) s)"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
