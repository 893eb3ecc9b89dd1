#!/usr/bin/env bash
# End-to-end scenarios: the shipped ostrevo.exe under Wine and Xvfb, driven by e2e_driver.exe and the probe
# it loads into the running exe. Usage: tests/e2e/run.sh [BUILD_DIR]   (default: build/mingw32)
# Prints "PASS name" or "FAIL name: why" per scenario, then "N passed, N failed"; exits non-zero on a failure.
set -u

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
SELF="$ROOT/tests/e2e/run.sh"
SCENARIOS=(menu menu-other-timeout missing-file exit focus)
# A scenario takes a few seconds; the limit only stops a hung one from holding up the run.
SCENARIO_LIMIT="${E2E_SCENARIO_LIMIT:-90}"
DESKTOP_NAME="ostrevo-e2e"
DESKTOP_SIZE="1024x768"

# shellcheck source=../../scripts/winelib.sh
. "$ROOT/scripts/winelib.sh"

# ---------------------------------------------------------------------------------------------------------
# One scenario, run in a child process under `timeout` (see the end of this file).

PREFIX=""
CDRIVE=""
NAME=""
LOG=""
BG_PIDS=()

drv() {
    wine_run "$PREFIX" wine 'C:\e2e\e2e_driver.exe' "$@"
}

# Runs the driver, keeps its output in $OUT and in the scenario log, and returns its exit code.
step() {
    local rc
    OUT="$(drv "$@" 2>>"$LOG")"
    rc=$?
    printf '$ driver %s\n%s\n[rc=%d]\n' "$*" "$OUT" "$rc" >>"$LOG"
    return "$rc"
}

diagnose() {
    echo "--- diagnostics for $NAME"
    echo "--- driver steps (last 40 lines):"
    tail -n 40 "$LOG"
    echo "--- top-level windows:"
    drv windows 2>&1
    echo "--- open popup menu, if any:"
    drv inject menu 2>&1
    echo "--- ostrevo.exe output:"
    tail -n 20 "$WORK/$NAME.ostrevo.log" 2>/dev/null
    echo "--- end of diagnostics"
}

fail() {
    diagnose | sed 's/^/    /'
    echo "FAIL $NAME: $*"
    exit 1
}

scenario_cleanup() {
    [ -n "$PREFIX" ] && wine_cleanup "$PREFIX"
    local pid
    for pid in "${BG_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}

# A pristine copy of the template prefix, the desktop held open by a keeper, C:\boot.ini from SAMPLE
# (a name under samples/, an absolute path, or none), and ostrevo.exe started. A scenario may set,
# before calling this, PREPARE to a command that readies the prefix before anything runs in it (registry
# values the exe reads at start, the file's owner) and EXE_WINEDEBUG to the exe's own WINEDEBUG (a relay
# trace lands in its log; the driver stays quiet).
start_scenario() {
    local sample="$1" template="$TEMPLATE"
    # A scenario whose name ends in -64 runs in a 64-bit prefix, where the exe runs under WOW64.
    if [[ "$NAME" == *-64 ]]; then
        template="$(wait_template64)" || fail "cannot create the 64-bit Wine prefix"
    fi
    PREFIX="$(mktemp -d /tmp/ostrevo-wine.XXXXXXXX)" || exit 1
    echo "$PREFIX" >"$WORK/$NAME.prefix"
    cp -a "$template/." "$PREFIX/"
    chown --reference="$template" "$PREFIX"
    chmod --reference="$template" "$PREFIX"
    CDRIVE="$(wine_c_drive "$PREFIX")"
    if [ -n "$sample" ]; then
        case "$sample" in
        /*) ;;                            # a file made for this run
        *) sample="$ROOT/samples/$sample" ;;
        esac
        wine_copy_in "$PREFIX" "$sample" boot.ini || fail "cannot put boot.ini into the prefix"
    fi
    if [ -n "${PREPARE:-}" ]; then
        $PREPARE || fail "could not prepare the prefix ($PREPARE)"
    fi
    # Without a program in it Wine closes the desktop and its shell, and a new shell knows no icons.
    drv hold 300000 >/dev/null 2>&1 &
    BG_PIDS+=($!)
    step wait-window Shell_TrayWnd '*' 20000 || fail "the Wine desktop did not come up"
    WINEDEBUG="${EXE_WINEDEBUG:-${WINEDEBUG:--all}}" wine_run "$PREFIX" wine 'C:\e2e\ostrevo.exe' \
        >"$WORK/$NAME.ostrevo.log" 2>&1 &
    BG_PIDS+=($!)
}

wait_main_window() {
    step wait-window OstrevoMainWindow Ostrevo 20000 || fail "no OstrevoMainWindow captioned Ostrevo"
    MAIN_HWND="$OUT"
    step wait-tray-icon present 10000 "$MAIN_HWND" || fail "the tray icon did not appear: $OUT"
    SHELL_SEEN="${OUT##*shell process }"
}

# Opens the popup (HOW: see open-menu of the driver) and compares the whole menu tree with EXPECTED.
check_menu() {
    local how="$1" expected="$2" actual
    step open-menu "$how" 10000 || fail "open-menu $how: $OUT"
    step inject menu || fail "the probe could not read the menu: $OUT"
    actual="$(printf '%s\n' "$OUT" | grep -v '^open popups:')"
    if printf '%s\n' "$actual" | grep -Eq 'mnuOS|mnuDefOs|mnupopup'; then
        fail "a design caption is visible in the menu"
    fi
    if [ "$actual" != "$expected" ]; then
        echo "    menu differs from the expected one (- expected, + seen):"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /'
        fail "the menu opened by $how is not as expected"
    fi
    step key escape || fail "cannot press Escape"
    step wait-menu-closed 5000 || fail "Escape did not close the menu"
}

boot_ini_unchanged() {
    cmp -s "$ROOT/samples/$1" "$CDRIVE/boot.ini" || fail "C:\\boot.ini was changed"
}

# The top-level captions keep their access marks; positions count from 0, submenu items after a dot.
MENU_THREE='0|popup|Timeout
0.0|-|0
0.1|-|10
0.2|-|15
0.3|-|20
0.4|checked|30
0.5|-|45
0.6|-|Other...
1|-|&Reboot
2|-|&ShutDown
3|popup|Reboot To...
3.0|-|Alpha System
3.1|-|Beta System /sos
3.2|-|Previous Operating System on C:
4|popup|Default OS
4.0|-|Alpha System
4.1|checked|Beta System /sos
4.2|-|Previous Operating System on C:
5|-|Auto Login
6|-|&Exit'

MENU_OTHER_TIMEOUT='0|popup|Timeout
0.0|-|0
0.1|-|10
0.2|-|15
0.3|-|20
0.4|-|30
0.5|-|45
0.6|checked|Other (7)
1|-|&Reboot
2|-|&ShutDown
3|popup|Reboot To...
3.0|-|Alpha System
3.1|-|Beta System
3.2|-|Recovery Console /cmdcons
4|popup|Default OS
4.0|checked|Alpha System
4.1|-|Beta System
4.2|-|Recovery Console /cmdcons
5|-|Auto Login
6|-|&Exit'

scenario_menu() {
    start_scenario e2e-three.ini
    wait_main_window
    # Both mouse buttons raise the tray callback; each must open the same menu.
    check_menu tray-left "$MENU_THREE"
    check_menu tray-right "$MENU_THREE"
    # The submenus open under a real click on their items; choosing nothing then changes nothing.
    step open-menu tray-left 10000 || fail "open-menu: $OUT"
    step inject 'click Default OS' || fail "the Default OS submenu does not open: $OUT"
    step inject menu || fail "the probe could not read the menu: $OUT"
    [ "$(printf '%s\n' "$OUT" | head -n 1)" = "open popups: 2" ] || fail "not two popups open: $OUT"
    step key escape && step key escape || fail "cannot press Escape"
    step wait-menu-closed 5000 || fail "two presses of Escape did not close the menus"
    step is-running || fail "ostrevo.exe ended after the menu was dismissed: $OUT"
    boot_ini_unchanged e2e-three.ini
}

scenario_menu-other-timeout() {
    start_scenario e2e-other-timeout.ini
    wait_main_window
    check_menu tray-left "$MENU_OTHER_TIMEOUT"
    boot_ini_unchanged e2e-other-timeout.ini
}

scenario_missing-file() {
    start_scenario ""
    local expected
    expected='caption: Ostrevo
text: c:\boot.ini file not found.  Ostrevo only helps if you have a dual boot system.
button: OK
icons: 0'
    step msgbox-text 20000 || fail "no message box: $OUT"
    if [ "$OUT" != "$expected" ]; then
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$OUT") | sed 's/^/    /'
        fail "the missing-file message is not as expected"
    fi
    step msgbox-click OK 5000 || fail "cannot click OK: $OUT"
    step wait-exit 10000 || fail "ostrevo.exe still runs after OK"
    [ ! -e "$CDRIVE/boot.ini" ] || fail "C:\\boot.ini was created"
}

scenario_exit() {
    start_scenario e2e-three.ini
    wait_main_window
    step open-menu tray-left 10000 || fail "open-menu: $OUT"
    step inject 'click &Exit' || fail "cannot click &Exit: $OUT"
    step wait-exit 10000 || fail "ostrevo.exe still runs after &Exit"
    step wait-tray-icon absent 5000 "$MAIN_HWND" || fail "the tray icon is still there after &Exit: $OUT"
    [ "${OUT##*shell process }" = "$SHELL_SEEN" ] || fail "the shell was restarted: cannot tell the icon went"
    boot_ini_unchanged e2e-three.ini
}

still_running() {
    # A bounded wait that must run out: the program may not end after the focus moved away.
    if step wait-exit 2000; then fail "ostrevo.exe ended after $1"; fi
    step is-running || fail "no ostrevo.exe with its main window after $1: $OUT"
}

# Two Wine quirks shape this one. A menu stays open when another program takes the foreground while it
# is up, so the menu is dismissed first (Escape, then a click on the desktop). And after a real click on a
# tray icon, Wine's shell now and then reports a later click elsewhere as a click on that icon, which
# reopens the menu; so the menu is opened here by the message the shell sends, never by a tray click.
scenario_focus() {
    start_scenario e2e-three.ini
    wait_main_window
    step open-menu post-left 10000 || fail "open-menu: $OUT"
    step key escape || fail "cannot press Escape"
    step wait-menu-closed 5000 || fail "Escape did not close the menu"
    still_running "the menu was dismissed with Escape"
    step open-menu post-right 10000 || fail "the menu does not open a second time: $OUT"
    step click-outside || fail "cannot click outside the menu: $OUT"
    step wait-menu-closed 5000 || fail "a click outside did not close the menu"
    still_running "a click outside the menu"
    step activate-other 5000 || fail "another window could not be activated: $OUT"
    still_running "another window was activated"
    step wait-tray-icon present 1000 "$MAIN_HWND" || fail "the tray icon went away: $OUT"
    check_menu post-left "$MENU_THREE"
    boot_ini_unchanged e2e-three.ini
}

# More scenarios, one file per feature: each defines scenario_NAME functions and appends to SCENARIOS.
for scenario_file in "$ROOT"/tests/e2e/scenarios/*.sh; do
    [ -e "$scenario_file" ] || continue
    # shellcheck source=/dev/null
    . "$scenario_file"
done

run_one_scenario() {
    NAME="$1"
    LOG="$WORK/$NAME.steps.log"
    : >"$LOG"
    declare -F "scenario_$NAME" >/dev/null || { echo "FAIL $NAME: no such scenario"; exit 1; }
    trap scenario_cleanup EXIT
    trap 'exit 1' TERM INT
    "scenario_$NAME"
    echo "PASS $NAME"
}

# ---------------------------------------------------------------------------------------------------------
# The whole run: one Xvfb, one template prefix copied afresh for every scenario.

XVFB_PID=""

# Other test runs on this machine start their own X servers; a display number away from the usual ones,
# tried until Xvfb itself accepts it, keeps the runs from taking each other's display.
start_xvfb() {
    local try n waited
    for try in $(seq 0 19); do
        n=$((300 + ($$ + try * 37) % 600))
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${DESKTOP_SIZE}x24" -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
        XVFB_PID=$!
        for waited in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$XVFB_PID" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            export DISPLAY=":$n"
            unset XAUTHORITY
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    echo "Xvfb did not start:" >&2
    cat "$WORK/xvfb.log" >&2
    return 1
}

# Every program of a scenario runs in one virtual desktop: the prefix's default desktop is that one.
# Prints the new prefix (ARCH: win32 or win64).
make_template() {
    local c template
    template="$(wine_new_prefix "$1")" || return 1
    wine_run "$template" wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$DESKTOP_NAME" /f \
        >/dev/null 2>&1 || return 1
    wine_run "$template" wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$DESKTOP_NAME" \
        /d "$DESKTOP_SIZE" /f >/dev/null 2>&1 || return 1
    wine_run "$template" wineserver -w
    c="$(wine_c_drive "$template")"
    mkdir -p "$c/e2e"
    cp "$EXE" "$DRIVER" "$PROBE" "$c/e2e/"
    _wine_is_root && chown -R "$WINE_USER:" "$c/e2e"
    printf '%s\n' "$template"
}

# The 64-bit template is made in the background while the first scenarios run; this waits for it.
wait_template64() {
    local _
    for _ in $(seq 1200); do
        [ -s "$WORK/template64.done" ] && break
        sleep 0.1
    done
    [ -s "$WORK/template64" ] || return 1
    cat "$WORK/template64"
}

main_cleanup() {
    local f
    for f in "$WORK"/*.prefix; do
        [ -e "$f" ] && wine_cleanup "$(cat "$f")"
    done
    [ -n "${TEMPLATE:-}" ] && wine_cleanup "$TEMPLATE"
    [ -n "${TEMPLATE64_PID:-}" ] && wait "$TEMPLATE64_PID" 2>/dev/null
    [ -s "$WORK/template64" ] && wine_cleanup "$(cat "$WORK/template64")"
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$WORK"
}

main() {
    local build="${1:-build/mingw32}"
    [ -d "$build" ] || build="$ROOT/$build"
    build="$(cd "$build" 2>/dev/null && pwd)" || { echo "no build folder ${1:-build/mingw32}" >&2; exit 2; }
    EXE="$build/ostrevo.exe"
    DRIVER="$build/tests/e2e/e2e_driver.exe"
    PROBE="$build/tests/e2e/ostrevo_probe.dll"
    local f
    for f in "$EXE" "$DRIVER" "$PROBE"; do
        [ -f "$f" ] || { echo "missing $f: build the targets ostrevo e2e_driver ostrevo_probe" >&2; exit 2; }
    done
    export EXE DRIVER PROBE
    WORK="$(mktemp -d /tmp/ostrevo-e2e.XXXXXXXX)"
    export WORK
    trap main_cleanup EXIT
    trap 'exit 130' INT TERM
    start_xvfb || exit 2
    TEMPLATE="$(make_template win32)" || { echo "cannot create the Wine prefix" >&2; exit 2; }
    export TEMPLATE
    if [[ " ${E2E_ONLY:-${SCENARIOS[*]}} " == *"-64 "* ]]; then
        { make_template win64 >"$WORK/template64"; echo done >"$WORK/template64.done"; } &
        TEMPLATE64_PID=$!
    fi

    local passed=0 failed=0 name rc
    # E2E_ONLY="exit focus" runs just those scenarios, for work on one of them.
    for name in ${E2E_ONLY:-${SCENARIOS[@]}}; do
        if ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "FAIL $name: Xvfb on $DISPLAY has gone"
            failed=$((failed + 1))
            continue
        fi
        timeout -k 5 "$SCENARIO_LIMIT" bash "$SELF" --scenario "$name"
        rc=$?
        if [ "$rc" -eq 0 ]; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
                echo "FAIL $name: did not finish within ${SCENARIO_LIMIT}s"
                tail -n 20 "$WORK/$name.steps.log" 2>/dev/null | sed 's/^/    /'
            fi
        fi
        # A scenario stopped by the limit could not clean up after itself.
        if [ -e "$WORK/$name.prefix" ]; then
            wine_cleanup "$(cat "$WORK/$name.prefix")"
            rm -f "$WORK/$name.prefix"
        fi
    done
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

if [ "${1:-}" = "--scenario" ]; then
    run_one_scenario "$2"
else
    main "$@"
fi
