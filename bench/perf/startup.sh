#!/usr/bin/env bash
# Start-up time of ostrevo.exe beside minimal_tray.exe (a hidden window, one tray icon, a message loop,
# nothing else; built the same way), under Wine on Xvfb, in one virtual desktop of one fresh prefix.
#
# startup_timer.exe, running in the same desktop, starts the two in turn (the order swapped every
# round) and times each start from just before CreateProcess to:
#   window  the program's window class can be found;
#   icon    the shell holds the program's icon (a NIM_MODIFY that changes nothing succeeds);
#   ready   WaitForInputIdle returns: the program waits for input with none pending, which a tray
#           program first does in its message loop, after adding its icon.
# All three are checked about once a millisecond, the same way for every program.
# C:\boot.ini is the sample one, so ostrevo.exe goes through its real start-up. One warm-up start of
# each program is not counted. Not a test: it prints the numbers and judges none of them.
#
# The i686 programs in a 32-bit prefix, or where the host runs no 32-bit code (or OSTREVO_NO_32BIT=1)
# the x86-64 ones in a 64-bit prefix.
#
# Usage: bench/perf/startup.sh [RUNS]   (default 10)
# Environment: OSTREVO_BUILD_DIR (default build/mingw32 or build/mingw64, as above);
# OSTREVO_PERF_PREBUILT=1 times the exes found
# there as they are instead of building them first; OSTREVO_PERF_EARLIER_EXE names another ostrevo.exe
# (an earlier build, say) to time in the same run as "earlier".
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
runs="${1:-10}"
desktop=ostrevo-perf
geometry=1024x768

fail() {
    printf 'startup: FAILED: %s\n' "$*" >&2
    exit 1
}

case "$runs" in
'' | *[!0-9]* | 0) fail "RUNS must be a positive number, not '$runs'" ;;
esac
# shellcheck source=../../scripts/winelib.sh
. "$root/scripts/winelib.sh"
wine_host_say
read -r preset arch kind <<<"$(wine_host_build)"
build="${OSTREVO_BUILD_DIR:-$root/build/$preset}"
if [ "${OSTREVO_PERF_PREBUILT:-0}" != 1 ]; then
    cmake --preset "$preset" -B "$build" >/dev/null
    ninja -C "$build" ostrevo minimal_tray startup_timer >/dev/null
fi
for exe in ostrevo.exe bench/perf/minimal_tray.exe bench/perf/startup_timer.exe; do
    [ -f "$build/$exe" ] || fail "$build/$exe is missing"
done
earlier="${OSTREVO_PERF_EARLIER_EXE:-}"
[ -z "$earlier" ] || [ -f "$earlier" ] || fail "$earlier is missing"

wine_clean_on_exit

if [ -z "${DISPLAY:-}" ] || [ "${OSTREVO_HEADLESS:-0}" = 1 ]; then
    wine_start_xvfb "$geometry" || fail "Xvfb did not start"
    xvfb_pid="$WINE_XVFB_PID"
fi
prefix="$(wine_new_prefix "$arch")" || fail "could not create a Wine prefix"
wine_virtual_desktop "$prefix" "$desktop" "$geometry"
wine_copy_in "$prefix" "$build/ostrevo.exe" ostrevo.exe
wine_copy_in "$prefix" "$build/bench/perf/minimal_tray.exe" minimal_tray.exe
wine_copy_in "$prefix" "$build/bench/perf/startup_timer.exe" startup_timer.exe
wine_copy_in "$prefix" "$root/samples/boot.ini" boot.ini
programs=(minimal_tray 'C:\minimal_tray.exe' OstrevoMinimalTray ostrevo 'C:\ostrevo.exe' OstrevoMainWindow)
sizes="minimal_tray=$(stat -c %s "$build/bench/perf/minimal_tray.exe") ostrevo=$(stat -c %s "$build/ostrevo.exe")"
if [ -n "$earlier" ]; then
    wine_copy_in "$prefix" "$earlier" earlier.exe
    programs+=(earlier 'C:\earlier.exe' OstrevoMainWindow)
    sizes="$sizes earlier=$(stat -c %s "$earlier")"
fi

# The timer is the first program in the desktop, so the desktop and its taskbar start with it; it
# waits for the taskbar before the first start.
log="$(mktemp)"
status=0
wine_run "$prefix" wine 'C:\startup_timer.exe' "$runs" "${programs[@]}" >"$log" 2>/dev/null || status=$?
grep '^error' "$log" >&2 || true
[ "$status" -eq 0 ] || {
    rm -f "$log"
    fail "startup_timer.exe exited with $status"
}

printf 'Start-up under Wine (%s), ms from CreateProcess; %s counted starts each, interleaved, after one warm-up.\n' "$kind" "$runs"
printf '%-13s %7s | %-23s | %-23s | %-23s\n' program bytes 'window: median min max' 'icon: median min max' \
    'ready: median min max'
tr -d '\r' <"$log" | awk -v sizes="$sizes" '
    # Sorts values[1..n] and returns the median; lo and hi are left at the ends.
    function median(values, n,    i, j, t) {
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && values[j - 1] > values[j]; j--) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
        lo = values[1]; hi = values[n]
        return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
    }
    BEGIN { split(sizes, pairs, " "); for (p in pairs) { split(pairs[p], kv, "="); size[kv[1]] = kv[2] } }
    $1 == "run" && !($2 in listed) { listed[$2] = 1; order[++programs] = $2 }
    $1 == "run" && $3 > 0 {
        k = ++n[$2]
        for (m = 1; m <= 3; m++) value[$2, m, k] = $(3 + m) + 0
    }
    END {
        for (p = 1; p <= programs; p++) {
            name = order[p]
            line = sprintf("%-13s %7s", name, size[name])
            for (m = 1; m <= 3; m++) {
                delete values
                for (k = 1; k <= n[name]; k++) values[k] = value[name, m, k]
                mid = median(values, n[name])
                line = line sprintf(" | %7.1f %7.1f %7.1f", mid, lo, hi)
            }
            print line
        }
    }'
printf '\nEvery start (round 0 is the warm-up): program round window_ms icon_ms ready_ms\n'
tr -d '\r' <"$log" | grep '^run ' | cut -d' ' -f2-
rm -f "$log"
