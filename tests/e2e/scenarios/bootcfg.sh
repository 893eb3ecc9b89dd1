# The boot configuration commands under Wine: Default OS, Timeout, Reboot, ShutDown and Reboot To.
# Results are read where they land: the bytes of C:\boot.ini, the real menu, and the exe's calls of
# WritePrivateProfileStringA and ExitWindowsEx in Wine's relay trace. Under this Wine a granted
# ExitWindowsEx ends the whole session, so a Yes to a restart or shutdown is the last step of a scenario.

SCENARIOS+=(boot-default boot-timeout boot-reboot boot-shutdown boot-reboot-to boot-read-only
    boot-unwritable)

BC_SAMPLE=e2e-three.ini
BC_ALPHA_KEY='multi(0)disk(0)rdisk(0)partition(1)\WINDOWS'
BC_INPUT='Enter Startup Default Time'

bc_relay_filter() {
    wine_run "$PREFIX" wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
        /d 'user32.ExitWindowsEx;kernel32.WritePrivateProfileStringA' /f >>"$LOG" 2>&1
}

# Relay traced from the first instruction; the two calls are enough to tell what was asked and when.
bc_trace() {
    PREPARE="${1:-bc_relay_filter}"
    EXE_WINEDEBUG=+relay
}

# Owned by the Wine user but without write permission: Wine reports the read-only attribute.
bc_read_only() {
    chmod a-w "$CDRIVE/boot.ini"
}

# Owned by root and only readable for others: the Wine user can neither write it nor change its mode.
bc_foreign() {
    _wine_is_root || { echo "needs root to give boot.ini to another owner" >>"$LOG"; return 1; }
    chown root:root "$CDRIVE/boot.ini" && chmod 644 "$CDRIVE/boot.ini" && bc_relay_filter
}

# FILE with its one line KEY=... replaced by KEY=VALUE (CRLF kept): what a write of one key may change.
bc_with_line() {
    local key="$1" value="$2" file="$3"
    [ "$(grep -c "^$key=" "$file")" = 1 ] || fail "$file has not exactly one $key line"
    K="$key" V="$value" awk '
        index($0, ENVIRON["K"] "=") == 1 { printf "%s=%s\r\n", ENVIRON["K"], ENVIRON["V"]; next }
        { printf "%s\n", $0 }' "$file"
}

bc_file_is() {
    cmp -s "$1" "$CDRIVE/boot.ini" && return 0
    printf "    %s\n" "C:\\boot.ini differs from the expected bytes (- expected, + seen):"
    diff <(cat -A "$1") <(cat -A "$CDRIVE/boot.ini") | sed 's/^/    /'
    fail "$2"
}

# MENU_THREE with some lines replaced: each argument is a whole "path|flags|caption" line.
bc_menu() {
    local line
    printf '%s\n' "$MENU_THREE" | while IFS= read -r line; do
        local arg
        for arg in "$@"; do
            [ "${arg%%|*}" = "${line%%|*}" ] && line="$arg"
        done
        printf '%s\n' "$line"
    done
}

bc_choose() {
    step open-menu post-left 10000 || fail "open-menu: $OUT"
    step inject "click $1" || fail "cannot click $1: $OUT"
}

bc_box_is() {
    local expected="$1" what="$2"
    step msgbox-text 10000 || fail "no message box for $what: $OUT"
    if [ "$OUT" != "$expected" ]; then
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$OUT") | sed 's/^/    /'
        fail "the message box for $what is not as expected"
    fi
}

# A question box: Yes and No, one icon, Yes as the default button.
bc_question() {
    bc_box_is "caption: Ostrevo
text: $1
button: &Yes
button: &No
icons: 1" "$1"
    step msgbox-default 5000 || fail "no default button in '$1': $OUT"
    [ "$OUT" = Yes ] || fail "the default button of '$1' is $OUT, not Yes"
}

bc_write_failure() {
    step system-message 5 || fail "no system text for access denied: $OUT"
    bc_box_is "caption: Ostrevo
text: Could not write c:\\boot.ini.

$OUT
button: OK
icons: 1" "a refused write"
    step msgbox-click OK 5000 || fail "cannot click OK: $OUT"
}

# The exe's traced calls, pointers dropped: "Call F(args)" and "Ret F value". ExitWindowsEx may not get
# to return before the session ends, so only its call is kept.
bc_calls() {
    sed -n -E \
        -e 's/^[0-9a-f]+:Call [A-Za-z0-9]+\.(WritePrivateProfileStringA|ExitWindowsEx)\((.*)\) ret=[0-9a-f]+$/Call \1(\2)/p' \
        -e 's/^[0-9a-f]+:Ret  [A-Za-z0-9]+\.(WritePrivateProfileStringA)\(\) retval=([0-9a-f]+) ret=[0-9a-f]+$/Ret \1 \2/p' \
        "$WORK/$NAME.ostrevo.log" | sed -E 's/[0-9a-f]{8} "/"/g'
}

bc_calls_are() {
    local expected="$1" actual
    actual="$(bc_calls)"
    [ "$actual" = "$expected" ] && return 0
    echo "    traced calls differ (- expected, + seen):"
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /'
    fail "$2"
}

# After a Yes that grants a restart the session ends, taking the driver's wait with it; the trace is
# where the request shows. Bounded polling for it.
bc_await_exit_call() {
    for _ in $(seq 100); do
        bc_calls | grep -q '^Call ExitWindowsEx' && return 0
        sleep 0.1
    done
    fail "no ExitWindowsEx call traced after Yes"
}

BC_WRITE_ALPHA='Call WritePrivateProfileStringA("boot loader","Default","multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS","c:\\boot.ini")'

scenario_boot-default() {
    start_scenario "$BC_SAMPLE"
    wait_main_window
    local expected="$WORK/$NAME.expected"
    bc_with_line Default "$BC_ALPHA_KEY" "$ROOT/samples/$BC_SAMPLE" >"$expected"
    local alpha_checked
    alpha_checked="$(bc_menu '4.0|checked|Alpha System' '4.1|-|Beta System /sos')"

    bc_choose 'Default OS>Alpha System'
    bc_question 'Set Default to Alpha System?'
    step msgbox-click Yes 5000 || fail "cannot click Yes: $OUT"
    # The menu opens only once the command has returned: after it the file is final.
    check_menu post-left "$alpha_checked"
    bc_file_is "$expected" "Default OS > Alpha System changed more than the Default line"

    bc_choose 'Default OS>Previous Operating System on C:'
    bc_question 'Set Default to Previous Operating System on C:?'
    step msgbox-click No 5000 || fail "cannot click No: $OUT"
    check_menu post-left "$alpha_checked"
    bc_file_is "$expected" "No changed C:\\boot.ini"
}

scenario_boot-timeout() {
    start_scenario "$BC_SAMPLE"
    wait_main_window
    local expected="$WORK/$NAME.expected"
    bc_with_line Timeout 20 "$ROOT/samples/$BC_SAMPLE" >"$expected"

    bc_choose 'Timeout>20'
    check_menu post-left "$(bc_menu '0.3|checked|20' '0.4|-|30')"
    bc_file_is "$expected" "Timeout > 20 did not write just Timeout=20"

    bc_choose 'Timeout>Other...'
    step dialog-wait "$BC_INPUT" 10000 || fail "Other... opened no input box: $OUT"
    step dialog-get "$BC_INPUT" 2101 text && [ "$OUT" = 'New Timeout Value (Seconds)' ] ||
        fail "the prompt is '$OUT'"
    step dialog-get "$BC_INPUT" 2102 text && [ "$OUT" = '-1' ] || fail "the input box starts with '$OUT'"
    step dialog-focus "$BC_INPUT" && [ "$OUT" = 2102 ] || fail "the focus is on $OUT, not the text box"
    step dialog-set "$BC_INPUT" 2102 7 || fail "cannot type 7: $OUT"
    step dialog-button "$BC_INPUT" 1 5000 || fail "OK did not close the input box: $OUT"
    local other_seven
    other_seven="$(bc_menu '0.4|-|30' '0.6|checked|Other (7)')"
    check_menu post-left "$other_seven"
    bc_with_line Timeout 7 "$ROOT/samples/$BC_SAMPLE" >"$expected"
    bc_file_is "$expected" "Other... 7 did not write just Timeout=7"

    # Every other way out of the box leaves the file alone. Where the box is left without OK, a valid
    # number stands in it, so that only the way out decides.
    local way
    for way in 'OK on -1' 'OK on abc' 'Cancel' 'Esc' 'the close box'; do
        bc_choose 'Timeout>Other (7)'
        step dialog-wait "$BC_INPUT" 10000 || fail "Other... opened no input box: $OUT"
        step dialog-get "$BC_INPUT" 2102 text && [ "$OUT" = '-1' ] || fail "the input box starts with '$OUT'"
        case "$way" in
        'OK on -1') step dialog-button "$BC_INPUT" 1 5000 ;;
        'OK on abc') step dialog-set "$BC_INPUT" 2102 abc && step dialog-button "$BC_INPUT" 1 5000 ;;
        Cancel) step dialog-set "$BC_INPUT" 2102 15 && step dialog-button "$BC_INPUT" 2 5000 ;;
        Esc) step dialog-set "$BC_INPUT" 2102 15 && step dialog-escape "$BC_INPUT" 5000 ;;
        'the close box') step dialog-set "$BC_INPUT" 2102 15 && step dialog-close "$BC_INPUT" 5000 ;;
        esac || fail "$way did not close the input box: $OUT"
        check_menu post-left "$other_seven"
        bc_file_is "$expected" "$way in the input box changed C:\\boot.ini"
    done
}

scenario_boot-reboot() {
    bc_trace
    start_scenario "$BC_SAMPLE"
    wait_main_window
    bc_choose '&Reboot'
    bc_question 'Restart?'
    step msgbox-click No 5000 || fail "cannot click No: $OUT"
    # The menu opens only once the command has returned, so a call after No would be traced by now.
    check_menu post-left "$MENU_THREE"
    bc_calls_are '' "No to Restart? still asked for something"

    bc_choose '&Reboot'
    bc_question 'Restart?'
    step msgbox-click Yes 5000
    bc_await_exit_call
    bc_calls_are 'Call ExitWindowsEx(00000002,00000000)' "Reboot did not ask for a plain restart"
    boot_ini_unchanged "$BC_SAMPLE"
}

scenario_boot-shutdown() {
    bc_trace
    start_scenario "$BC_SAMPLE"
    wait_main_window
    bc_choose '&ShutDown'
    bc_question 'ShutDown?'
    step msgbox-click Yes 5000
    bc_await_exit_call
    bc_calls_are 'Call ExitWindowsEx(00000001,00000000)' "ShutDown did not ask for a plain shutdown"
    boot_ini_unchanged "$BC_SAMPLE"
}

scenario_boot-reboot-to() {
    bc_trace
    start_scenario "$BC_SAMPLE"
    wait_main_window
    bc_choose 'Reboot To...>Alpha System'
    bc_question 'Restart to Alpha System?'
    step msgbox-click Yes 5000
    bc_await_exit_call
    # The order matters: the restart may only be asked for once the new default is written.
    bc_calls_are "$BC_WRITE_ALPHA
Ret WritePrivateProfileStringA 00000001
Call ExitWindowsEx(00000002,00000000)" "Reboot To did not write the default and then restart"
    local expected="$WORK/$NAME.expected"
    bc_with_line Default "$BC_ALPHA_KEY" "$ROOT/samples/$BC_SAMPLE" >"$expected"
    bc_file_is "$expected" "Reboot To > Alpha System changed more than the Default line"
}

scenario_boot-read-only() {
    PREPARE=bc_read_only
    start_scenario "$BC_SAMPLE"
    wait_main_window
    local mode
    mode="$(stat -c %a "$CDRIVE/boot.ini")"
    bc_choose 'Default OS>Alpha System'
    bc_question 'Set Default to Alpha System?'
    step msgbox-click Yes 5000 || fail "cannot click Yes: $OUT"
    check_menu post-left "$(bc_menu '4.0|checked|Alpha System' '4.1|-|Beta System /sos')"
    if step msgbox-text 0; then fail "a message box is open after writing a read-only file: $OUT"; fi
    local expected="$WORK/$NAME.expected"
    bc_with_line Default "$BC_ALPHA_KEY" "$ROOT/samples/$BC_SAMPLE" >"$expected"
    bc_file_is "$expected" "the read-only C:\\boot.ini was not written as expected"
    [ "$(stat -c %a "$CDRIVE/boot.ini")" = "$mode" ] ||
        fail "C:\\boot.ini is no longer read-only: mode $(stat -c %a "$CDRIVE/boot.ini"), was $mode"
}

scenario_boot-unwritable() {
    bc_trace bc_foreign
    start_scenario "$BC_SAMPLE"
    wait_main_window
    bc_choose 'Default OS>Alpha System'
    bc_question 'Set Default to Alpha System?'
    step msgbox-click Yes 5000 || fail "cannot click Yes: $OUT"
    bc_write_failure
    check_menu post-left "$MENU_THREE"
    boot_ini_unchanged "$BC_SAMPLE"

    bc_choose 'Reboot To...>Alpha System'
    bc_question 'Restart to Alpha System?'
    step msgbox-click Yes 5000 || fail "cannot click Yes: $OUT"
    bc_write_failure
    check_menu post-left "$MENU_THREE"
    boot_ini_unchanged "$BC_SAMPLE"
    # The refused writes show in the trace, so the trace works; no restart follows them.
    bc_calls_are "$BC_WRITE_ALPHA
Ret WritePrivateProfileStringA 00000000
$BC_WRITE_ALPHA
Ret WritePrivateProfileStringA 00000000" "a refused write was followed by something"
}
