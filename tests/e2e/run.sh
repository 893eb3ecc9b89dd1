#!/usr/bin/env bash
# End-to-end scenarios: the shipped ostrevo.exe under Wine and Xvfb, driven through the steps of
# tests/e2e/scenarios/*.txt, each scenario in a fresh copy of a prefix (64-bit when its name ends in -64).
# Usage: tests/e2e/run.sh [BUILD_DIR [SCENARIO...]]. Prints PASS or FAIL per scenario, then
# "N passed, N failed". E2E_KEEP=1 keeps the traces and logs in /tmp/ostrevo-e2e.*.
#
# A scenario holds one step a line; the lines under a step indented by two spaces are what it must print
# (or, under boot and import, what they write). Steps done here:
#   boot [utf16] [readonly|foreign|absent]  C:\boot.ini from the lines below, each ended by CRLF; in them
#                   {xHH} is a byte, {TEXT*N} is TEXT N times with "#" counting, and {random N} is N
#                   fixed pseudo-random bytes
#   import [32|64]  the .reg lines below, into that registry view
#   start           ostrevo.exe, traced by Wine's relay
#   gone            prints nothing once ostrevo.exe has ended
#   changes         boot.ini's lines changed since boot ("-" before, "+" now) and its mode if it changed
#   reg [32|64]     the Winlogon values
#   trace           the traced calls ostrevo.exe itself made since the last trace, each once
# Every other step is one run of e2e_driver.exe (e2e.cpp). Steps done here are retried for a few seconds
# until they print what is expected, as the exe may still be at work.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../scripts/winelib.sh
. "$root/scripts/winelib.sh"
relay='ExitWindowsEx;OpenProcessToken;LookupPrivilegeValueA;AdjustTokenPrivileges;WritePrivateProfileStringA'
relay+=';RegOpenKeyA;RegCreateKeyA;RegOpenKeyExA;RegCreateKeyExA;Shell_NotifyIconA'
winlogon='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'

make_template() {
    local t
    t="$(wine_new_prefix "$1")" && mkdir "$t/drive_c/e2e" || return 1
    cp "$build/ostrevo.exe" "$build"/tests/e2e/e2e_{driver.exe,probe.dll} "$t/drive_c/e2e/"
    wine_virtual_desktop "$t" e2e 1024x768 &&
        wine_run "$t" wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$relay" /f >/dev/null &&
        wine_run "$t" wineserver -w && echo "$t"
}

shorten() { awk '{ if (length($0) > 200) $0 = substr($0, 1, 120) "...(" length($0) " characters)"; print }'; }

put_boot() {
    rm -f "$c/boot.ini" "$work/orig"
    [[ "$1" != *absent* ]] || return 0
    printf '%s' "$want" | perl -e 'local $/; $_ = <STDIN>; srand 7;
        s/\n/\r\n/g;
        s/\{x([0-9a-f]{2})\}/chr hex $1/ge;
        s/\{([^{}]*)\*(\d+)\}/my ($t, $n) = ($1, $2); join "", map { (my $x = $t) =~ s|#|$_|g; $x } 1..$n/ge;
        s/\{random (\d+)\}/join "", map { chr int rand 256 } 1 .. $1/ge;
        require Encode;
        $_ = "\xff\xfe" . Encode::encode("UTF-16LE", Encode::decode("UTF-8", $_)) if $ARGV[0];
        print' "$([[ "$1" == *utf16* ]] && echo 1)" >"$c/boot.ini" && chmod 644 "$c/boot.ini" || return 1
    # Another owner's file (root's, so only root can make it): the Wine user can neither write it nor
    # change its mode.
    if [[ "$1" == *foreign* ]]; then
        _wine_is_root || return 1
    elif _wine_is_root; then
        chown "$WINE_USER:" "$c/boot.ini"
    fi
    [[ "$1" != *readonly* ]] || chmod a-w "$c/boot.ini"
    cp -p "$c/boot.ini" "$work/orig"
}

# The file's lines, those of a UTF-16 one (with its byte-order mark) decoded.
text_of() {
    [ -e "$1" ] || return 0
    [ "$(head -c 2 "$1" | od -An -tx1)" = " ff fe" ] || { cat "$1"; return; }
    echo "(UTF-16)"
    iconv -f UTF-16 -t UTF-8 "$1"
}

host_gone() { if kill -0 "$exe" 2>/dev/null; then echo "ostrevo.exe still runs"; fi; }

host_changes() {
    diff -a --old-line-format='-%L' --new-line-format='+%L' --unchanged-line-format= \
        <(text_of "$work/orig") <(text_of "$c/boot.ini") | cat -v
    stat -c 'mode %a' "$work/orig" "$c/boot.ini" 2>/dev/null | uniq | tail -n +2
}

host_reg() {
    wine_run "$prefix" wine reg query "$winlogon" ${1:+/reg:$1} | tr -d '\r' | LC_ALL=C sort |
        sed -n -E 's/^ +(AutoAdminLogon|Default[A-Za-z]*) +(REG_[A-Z_]+) *(.*)$/\1 \2 \3/; T; s/ $//; p'
}

# Only calls returning into the exe's own image (at 0x400000) count: Wine's DLLs call these as well.
# Addresses of its stack and heap (1 to 16 MB) read "ptr" and the token's handle "token", so that the same
# call is seen as such.
host_trace() {
    LC_ALL=C sed -n -E -e 's/^\w+:Call \w+\.(\w+)\((.*)\) ret=004\w{5}$/\1(\2)/p' \
        -e 's/^\w+:Ret  \w+\.(WritePrivateProfileStringA)\(\) retval=(\w+) ret=004.*/\1 -> \2/p' "$log" |
        sed -E 's/\w{8} "/"/g; s/\b00[1-9a-f]\w{5}\b/ptr/g; s/^(AdjustTokenPrivileges\()\w+/\1token/' \
            >"$work/$name.calls"
    tail -n +$((seen + 1)) "$work/$name.calls" | awk '!once[$0]++'
}

step() {
    local verb="${1%% *}" args="" got deadline=$((SECONDS + 8))
    [[ "$1" == *" "* ]] && args="${1#* }"
    case "$verb" in
    boot)
        put_boot "$args" && return
        got="(boot.ini could not be made)" want="" ;;
    import)
        printf 'REGEDIT4\r\n%s' "${want//$'\n'/$'\r\n'}" >"$c/e2e/seed.reg"
        wine_run "$prefix" wine reg import 'C:\e2e\seed.reg' ${args:+/reg:$args} >/dev/null 2>&1 && return
        got="(the import failed)" want="" ;;
    start)
        WINEDEBUG=+relay wine_run "$prefix" wine 'C:\e2e\ostrevo.exe' </dev/null >>"$log" 2>&1 &
        exe=$!
        return ;;
    gone | changes | reg | trace)
        want="${want%$'\n'}"
        while got="$("host_$verb" $args | shorten)"; [ "$got" != "$want" ] && [ $SECONDS -lt $deadline ]; do
            sleep 0.2
        done
        [ "$verb" != trace ] || seen="$(wc -l <"$work/$name.calls")" ;;
    *) got="$(printf '%s\n' "$1" | wine_run "$prefix" timeout 120 wine 'C:\e2e\e2e_driver.exe' | shorten)" ;;
    esac
    [ "$got" = "${want%$'\n'}" ] && return
    echo "  step '$1' printed (- expected, + seen):"
    diff <(printf '%s\n' "${want%$'\n'}") <(printf '%s\n' "$got") | sed -n 's/^</    -/p; s/^>/    +/p'
    return 1
}

scenario() {
    name="$(basename "$1" .txt)" prefix="$(mktemp -u /tmp/ostrevo-wine.XXXXXXXX)" log="$work/$name.log" seen=0
    trap 'wine_cleanup "$prefix"' EXIT
    [ -r "$1" ] && cp -a "$2" "$prefix" && : >"$log" || return 1
    c="$prefix/drive_c"
    # The desktop, and Wine's own processes, come up untraced with this first program of the session and
    # stay while it runs.
    coproc { wine_run "$prefix" wine 'C:\e2e\e2e_driver.exe' hold 2>>"$log"; }
    read -r -t 60 up <&"${COPROC[0]}" && [[ "$up" == up* ]] || { echo "  no Wine desktop"; return 1; }
    local line now="" want=""
    while IFS= read -r line || [ -n "$line" ]; do
        case "$line" in
        '#'* | '') ;;
        '  '*) want+="${line:2}"$'\n' ;;
        *)
            [ -z "$now" ] || step "$now" || return 1
            now="$line" want="" ;;
        esac
    done <"$1"
    [ -z "$now" ] || step "$now" || return 1
    ! grep -aqE 'Unhandled exception|starting debugger' "$log" || { echo "  a program crashed"; return 1; }
}

build="$(cd "${1:-$root/build/mingw32}" && pwd)" || exit 2
shift
# The 64-bit prefix is made while the others run: its scenarios come last.
[ $# -gt 0 ] || set -- $(ls "$root"/tests/e2e/scenarios/*.txt | grep -v -- -64.txt) \
    $(ls "$root"/tests/e2e/scenarios/*-64.txt)
work="$(mktemp -d /tmp/ostrevo-e2e.XXXXXXXX)" t32=""
trap 'for t in "$t32" "$(cat "$work/t64" 2>/dev/null)"; do [ -z "$t" ] || wine_cleanup "$t"; done
      kill "$WINE_XVFB_PID"; [ -n "${E2E_KEEP:-}" ] || rm -rf "$work"' EXIT
wine_start_xvfb 1024x768 || exit 2
unset XAUTHORITY
[[ " $* " != *"-64.txt "* ]] || { make_template win64 >"$work/t64" & }
t64=$!
t32="$(make_template win32)" || { echo "cannot make a Wine prefix" >&2; exit 2; }
passed=0 failed=0
for file; do
    started=$SECONDS template="$t32" verdict=FAIL
    [[ "$file" != *-64.txt ]] || { wait "$t64" && template="$(cat "$work/t64")"; }
    if (scenario "$file" "$template"); then verdict=PASS; fi
    [ $verdict = PASS ] && passed=$((passed + 1)) || failed=$((failed + 1))
    echo "$verdict $(basename "$file" .txt) ($((SECONDS - started)) s)"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
