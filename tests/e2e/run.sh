#!/usr/bin/env bash
# End-to-end scenarios: the shipped ostrevo.exe under Wine and Xvfb, driven through the steps of
# tests/e2e/scenarios/*.txt, each run in a fresh copy of a prepared prefix. Every scenario runs against
# the x86-64 exe in a 64-bit prefix and against the i686 exe in a 32-bit one; a scenario with a "wow64"
# line runs the i686 exe in the 64-bit prefix as well. Where the host runs no 32-bit code (winelib.sh),
# the i686 runs are listed as not run. The runs of the two prefixes go side by side, each on an Xvfb
# of its own.
# Usage: tests/e2e/run.sh [SCENARIO...]; the exes come from E2E_BUILD64 (default build/mingw64) and
# E2E_BUILD32 (build/mingw32). Prints PASS or FAIL per run, then "N passed, N failed". E2E_KEEP=1 keeps
# the traces and logs in /tmp/ostrevo-e2e.*.
#
# A scenario holds one step a line; the lines under a step indented by two spaces are what it must print
# (or, under boot and import, what they write). Every run starts with the usual C:\boot.ini (below).
# Steps done here:
#   boot [absent]   C:\boot.ini from the lines below (or, with none, the usual one), each ended by
#                   CRLF; in them {xHH} is a byte and {random N} is N fixed pseudo-random bytes
#   import          the .reg lines below (the 32-bit view of a 64-bit prefix under Wow6432Node)
#   wow64           (anywhere) the i686 exe runs in the 64-bit prefix as well, under WOW64
#   userlocale NAME every Wine program of the scenario runs in the user locale NAME (as ru_RU), the
#                   system locale left as it is; it must come first
#   start           ostrevo.exe, traced by Wine's relay, once the one started before has ended
#   gone            prints nothing once ostrevo.exe has ended
#   changes         boot.ini's lines changed since boot ("-" before, "+" now)
#   reg [NAME,...]  the Winlogon values (of the 64-bit view in a 64-bit prefix), or those named
#   trace [CALL,...] the traced calls ostrevo.exe itself made since the last trace (or, with names, those
#                   calls only), each once, in order, read the same from either exe (host_trace)
# Every other step is one run of e2e_driver.exe (e2e.cpp). Steps done here are retried for a few seconds
# until they print what is expected, as the exe may still be at work.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=../../scripts/winelib.sh
. "$root/scripts/winelib.sh"
relay='ExitWindowsEx;OpenProcessToken;LookupPrivilegeValueA;AdjustTokenPrivileges;WritePrivateProfileStringA'
relay+=';RegOpenKeyA;RegCreateKeyA;RegOpenKeyExA;RegCreateKeyExA;Shell_NotifyIconA'
relay+=";LsaOpenPolicy;LsaStorePrivateData;LsaClose"
usual='[boot loader]
Timeout=30
Default=multi(0)disk(0)rdisk(0)partition(2)\WINNT
[operating systems]
multi(0)disk(0)rdisk(0)partition(1)\WINDOWS="Alpha System" /fastdetect /noexecute=optin
multi(0)disk(0)rdisk(0)partition(2)\WINNT=Beta System /sos
C:\="Previous Operating System on C:"'

# A driver's line ends in CRLF, as text printed on Windows does.
shorten() { awk '{ sub(/\r$/, ""); if (length($0) > 200) $0 = substr($0, 1, 120) "...(" length($0) " characters)"; print }'; }

# put_boot [absent]: C:\boot.ini from $want, the Wine user's, its first copy kept for "changes".
put_boot() {
    rm -f "$c/boot.ini" "$work/$name.orig"
    [ "$1" != absent ] || return 0
    [ -n "$want" ] || want="$usual"
    printf '%s' "${want:+$want$'\n'}" | perl -0777 -pe 'srand 7;
        s/\n/\r\n/g;
        s/\{x([0-9a-f]{2})\}/chr hex $1/ge;
        s/\{random (\d+)\}/join "", map { chr int rand 256 } 1 .. $1/ge' >"$c/boot.ini" &&
        chmod 644 "$c/boot.ini" || return 1
    ! _wine_is_root || chown "$WINE_USER:" "$c/boot.ini"
    cp -p "$c/boot.ini" "$work/$name.orig"
}

host_gone() { if kill -0 "${exe:-}" 2>/dev/null; then echo "ostrevo.exe still runs"; fi; }

host_changes() {
    diff -a --old-line-format='-%L' --new-line-format='+%L' --unchanged-line-format= \
        <(cat "$work/$name.orig" 2>/dev/null) <(cat "$c/boot.ini" 2>/dev/null) | cat -v
}

host_reg() {
    local names="${1:-[A-Za-z]+}"
    wine_run "$prefix" wine reg query 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon' | tr -d '\r' |
        LC_ALL=C sort | sed -n -E 's/^ +(AutoAdminLogon|Default[A-Za-z]*) +(REG_[A-Z_]+) *(.*)$/\1 \2 \3/; T; s/ $//; p' |
        grep -E "^(${names//,/|}) "
}

# The one place the relay trace is read. Only calls returning into the exe's own image count (at
# 0x400000 for the i686 exe, 0x140000000 for the x86-64 one): Wine's DLLs make these calls as well. A
# 64-bit relay prints a value sign-extended from 32 bits (HKEY_LOCAL_MACHINE, the current process) in 16
# digits: it reads in 8 as from the i686 exe, while a 32-bit value with the top bit set that the x86-64
# exe passes unextended reads in 16, so that difference shows. A string's address goes, addresses of the
# stack and heap (1 to 16 MB) read "ptr" and the token's handle "token". So a call reads the same from
# either exe. (Under WOW64 the registry calls differ: they ask for the 64-bit view. Which view was used
# shows in the values, read with reg.)
host_trace() {
    local calls="${1:-\w+}"
    LC_ALL=C sed -n -E -e '/ret=140\w{6}$/s/([(,])([89a-f][0-9a-f]{7})\b/\100000000\2/g' \
        -e 's/^\w+:Call \w+\.(\w+)\((.*)\) ret=(004\w{5}|140\w{6})$/\1(\2)/p' "$log" |
        sed -E 's/\bffffffff([89a-f][0-9a-f]{7})\b/\1/g; s/\w{8,} "/"/g; s/\b00[1-9a-f]\w{5}\b/ptr/g
                s/^(AdjustTokenPrivileges\()\w+/\1token/' >"$work/$name.calls"
    tail -n +$((seen + 1)) "$work/$name.calls" | awk '!once[$0]++' | grep -E "^(${calls//,/|})\("
}

step() {
    local verb="${1%% *}" args="" got deadline=$((SECONDS + 8))
    [[ "$1" == *" "* ]] && args="${1#* }"
    want="${want%$'\n'}"
    case "$verb" in
    userlocale | wow64) return ;;
    boot) got="$(put_boot "$args" || echo "(boot.ini could not be made)")" want="" ;;
    import)
        # UTF-16, so that a value may hold any letter.
        printf 'Windows Registry Editor Version 5.00\r\n%s\r\n' "${want//$'\n'/$'\r\n'}" |
            iconv -f UTF-8 -t UTF-16 >"$c/e2e/seed.reg"
        wine_run "$prefix" wine reg import 'C:\e2e\seed.reg' >/dev/null 2>&1 && return
        got="(the import failed)" want="" ;;
    start)
        step gone || return
        WINEDEBUG=+relay wine_run "$prefix" wine 'C:\e2e\ostrevo.exe' </dev/null >>"$log" 2>&1 &
        exe=$!
        return ;;
    gone | changes | reg | trace)
        while got="$("host_$verb" $args | shorten)"; [ "$got" != "$want" ] && [ $SECONDS -lt $deadline ]; do
            sleep 0.2
        done
        [ "$verb" != trace ] || seen="$(wc -l <"$work/$name.calls")" ;;
    *) got="$(printf '%s\n' "$1" | wine_run "$prefix" timeout 120 "$(wine_loader "$prefix")" 'C:\e2e\e2e_driver.exe' |
        shorten)" ;;
    esac
    [ "$got" = "$want" ] && return
    echo "  step '$1' printed (- expected, + seen):"
    # The two differ, so diff's status, 1, is the step's.
    diff --old-line-format='    -%L' --new-line-format='    +%L' --unchanged-line-format= \
        <(printf '%s\n' "$want") <(printf '%s\n' "$got")
}

# scenario FILE TEMPLATE BUILD: one run, in a copy of the prepared prefix TEMPLATE, of BUILD's exes.
scenario() {
    name="$(basename "$1" .txt)-$(basename "$3")${wow64:+-wow64}" prefix="$(mktemp -u /tmp/ostrevo-wine.XXXXXXXX)" seen=0
    log="$work/$name.log" c="$prefix/drive_c"
    : >"$log"
    trap 'wine_cleanup "$prefix"' EXIT
    [ -r "$1" ] && cp -a "$2" "$prefix" || return 1
    locale="$(sed -n 's/^userlocale //p' "$1")"
    if [ -n "$locale" ]; then
        export WINE_USER_LOCALE="$prefix/locales/$locale.UTF-8"
        mkdir -p "$prefix/locales" && localedef -i "$locale" -f UTF-8 "$WINE_USER_LOCALE" >/dev/null 2>&1
        [ -d "$WINE_USER_LOCALE" ] || { echo "  no locale $locale"; return 1; }
    fi
    cp "$3/ostrevo.exe" "$3"/tests/e2e/e2e_{driver.exe,probe.dll} "$c/e2e/" || { echo "  no exes in '$3'"; return 1; }
    # The desktop, and Wine's own processes, come up untraced with this first program of the session and
    # stay while it runs.
    coproc { wine_run "$prefix" wine 'C:\e2e\e2e_driver.exe' hold 2>>"$log"; }
    read -r -t 60 up <&"${COPROC[0]}" && [[ "$up" == up* ]] || { echo "  no Wine desktop"; return 1; }
    local line now="" want=""
    step boot || return 1
    # Each step runs once the line after its own is read: "end", after the file, runs the last.
    while IFS= read -r line; do
        case "$line" in
        '#'* | '') ;;
        '  '*) want+="${line:2}"$'\n' ;;
        *)
            [ -z "$now" ] || step "$now" || return 1
            now="$line" want="" ;;
        esac
    done < <(cat "$1" && printf '\nend\n')
    ! grep -aqE 'Unhandled exception|starting debugger' "$log" || { echo "  a program crashed"; return 1; }
}

# lane ARCH "EXE FILE"...: in a prefix of ARCH on an Xvfb of its own, each scenario FILE in turn against
# the exe EXE (x86-64 or i686).
lane() {
    local arch="$1" t="" run exe build file started verdict
    trap '[ -z "$t" ] || wine_cleanup "$t"; [ -z "${WINE_XVFB_PID:-}" ] || kill "$WINE_XVFB_PID"' EXIT
    # The prepared prefix: the one desktop, and the calls Wine's relay traces.
    wine_start_xvfb 1024x768 && unset XAUTHORITY && t="$(wine_new_prefix "$arch")" && mkdir "$t/drive_c/e2e" &&
        wine_virtual_desktop "$t" e2e 1024x768 &&
        wine_run "$t" wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$relay" /f >/dev/null &&
        wine_run "$t" wineserver -w || { echo "FAIL: no $arch Wine prefix could be made"; return; }
    for run in "${@:2}"; do
        exe="${run%% *}" file="${run#* }" build="$build64" wow64="" started=$SECONDS verdict=FAIL again=""
        [ "$exe" = x86-64 ] || build="$build32" wow64="$([ "$arch" = win32 ] || echo 1)"
        # Wine's desktop now and then loses a click of its own accord: a failed run, its report shown
        # above, runs once more, and a pass then says so.
        (scenario "$file" "$t" "$build") && verdict=PASS ||
            { (scenario "$file" "$t" "$build") && verdict=PASS again=", at its second run"; }
        echo "$verdict $(basename "$file" .txt) ($exe, $arch prefix) ($((SECONDS - started)) s$again)"
    done
}

build64="$(cd "${E2E_BUILD64:-$root/build/mingw64}" && pwd)" || exit 2
build32="$(cd "${E2E_BUILD32:-$root/build/mingw32}" 2>/dev/null && pwd)"
[ $# -gt 0 ] || set -- "$root"/tests/e2e/scenarios/*.txt
work="$(mktemp -d /tmp/ostrevo-e2e.XXXXXXXX)" runs64=() runs32=() wow=()
trap '[ -n "${E2E_KEEP:-}" ] || rm -rf "$work"' EXIT
for file in "$@"; do
    runs64+=("x86-64 $file") runs32+=("i686 $file")
    ! grep -qx wow64 "$file" || wow+=("i686 $file")
done
if wine_host_32bit; then
    # The 32-bit prefix's runs go on meanwhile, their report shown when those of the 64-bit one are done.
    lane win32 "${runs32[@]}" >"$work/lane32" 2>&1 &
    runs64+=("${wow[@]}")
else
    echo "not run on this host (no 32-bit code): $((${#runs32[@]} + ${#wow[@]})) i686 runs, ${#wow[@]} under WOW64" >"$work/lane32"
fi
lane win64 "${runs64[@]}" 2>&1 | tee "$work/lane64"
wait
cat "$work/lane32"
passed="$(cat "$work"/lane* | grep -c '^PASS ')" failed="$(cat "$work"/lane* | grep -c '^FAIL ')"
grep -qE '^(PASS|FAIL) .*\(x86-64,' "$work/lane64" ||
    { echo "no run of the x86-64 exe took place"; failed=$((failed + 1)); }
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
