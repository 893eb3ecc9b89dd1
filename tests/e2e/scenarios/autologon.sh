# Automatic logon under Wine: the "Auto Login" item, the "AutoLogon Details" dialog and the Winlogon
# values, checked with `wine reg query`, which shows each value's type as well as its data.

SCENARIOS+=(autologon-switch-off autologon-stored-user autologon-no-user autologon-win98)
# The same in a 64-bit prefix, where the exe runs under WOW64: the values live in, and are checked
# in, the 64-bit view, and the 32-bit view (Wow6432Node) must be left exactly as it was.
SCENARIOS+=(autologon-switch-off-64 autologon-stored-user-64 autologon-no-user-64)

AL_KEY='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
AL_DIALOG='AutoLogon Details'
AL_OK=1
AL_CANCEL=2
AL_USER=302
AL_DOMAIN=304
AL_PASSWORD=306

# The registry view the values are seeded in and read from: the 64-bit one in a 64-bit prefix.
al_view() {
    [[ "$NAME" == *-64 ]] && printf '%s\n' /reg:64
}

# The Windows version Wine reports, then any Winlogon values as "Name=Data" (all strings), in one import.
al_seed() {
    local version="$1" pair
    shift
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine]\r\n"Version"="%s"\r\n' "$version"
        printf '\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon]\r\n'
        for pair in "$@"; do
            printf '"%s"="%s"\r\n' "${pair%%=*}" "${pair#*=}"
        done
    } >"$CDRIVE/e2e/seed.reg"
    # shellcheck disable=SC2046
    wine_run "$PREFIX" wine reg import 'C:\e2e\seed.reg' $(al_view) >>"$LOG" 2>&1 || return 1
    [[ "$NAME" == *-64 ]] && AL_BEFORE32="$(al_values /reg:32)"
    return 0
}

al_winxp_with_alice_on() {
    al_seed winxp AutoAdminLogon=1 DefaultUserName=alice DefaultDomain=HOME DefaultDomainName=HOME \
        DefaultPassword=secret
}
al_winxp_with_alice() { al_seed winxp DefaultUserName=alice; }
al_winxp() { al_seed winxp; }
al_win98_with_alice_on() { al_seed win98 AutoAdminLogon=1 DefaultUserName=alice; }

# The Winlogon values, one "Name TYPE Data" line each, sorted, so that a whole state can be compared.
# VIEW (/reg:32 or /reg:64) picks a registry view; by default the one the scenario's values live in.
al_values() {
    local view="${1:-$(al_view)}"
    # shellcheck disable=SC2086
    wine_run "$PREFIX" wine reg query "$AL_KEY" $view 2>>"$LOG" | tr -d '\r' |
        sed -n -E 's/^    ([^ ].*)    (REG_[A-Z_]+)    (.*)$/\1 \2 \3/p; s/^    ([^ ].*)    (REG_[A-Z_]+)$/\1 \2 /p' |
        LC_ALL=C sort
}

al_values_are() {
    local expected actual
    expected="$(printf '%s\n' "$1" | LC_ALL=C sort)"
    actual="$(al_values)"
    printf '$ reg query Winlogon\n%s\n' "$actual" >>"$LOG"
    [ "$actual" = "$expected" ] && return 0
    echo "    Winlogon values differ (- expected, + seen):"
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /'
    fail "$2"
}

al_menu() {
    local mark="$1"
    printf '%s\n' "$MENU_THREE" | sed "s/^5|-|Auto Login\$/5|$mark|Auto Login/"
}

al_click_auto_login() {
    step open-menu post-left 10000 || fail "open-menu: $OUT"
    step inject 'click Auto Login' || fail "cannot click Auto Login: $OUT"
}

al_open_dialog() {
    al_click_auto_login
    step dialog-wait "$AL_DIALOG" 10000 || fail "Auto Login opened no dialog: $OUT"
}

al_expect() {
    local what="$1" id="$2" expected="$3"
    step dialog-get "$AL_DIALOG" "$id" "$what" || fail "cannot read $what of $id: $OUT"
    [ "$OUT" = "$expected" ] || fail "$what of control $id is '$OUT', not '$expected'"
}

al_focus_is() {
    step dialog-focus "$AL_DIALOG" || fail "cannot read the focus: $OUT"
    [ "$OUT" = "$1" ] || fail "the focus is on $OUT, not on $1 ($2)"
}

al_type() {
    step dialog-set "$AL_DIALOG" "$1" "$2" || fail "cannot set control $1 to '$2': $OUT"
}

scenario_autologon-switch-off() {
    PREPARE=al_winxp_with_alice_on
    start_scenario e2e-three.ini
    wait_main_window
    local before
    before="$(al_values)"
    printf '%s\n' "$before" | grep -qx 'DefaultPassword REG_SZ secret' || fail "the seed did not land: $before"
    check_menu post-left "$(al_menu checked)"

    al_click_auto_login
    # The menu opens only after the command returned; a dialog it opened would still exist then.
    check_menu post-left "$(al_menu -)"
    step dialog-gone "$AL_DIALOG" 0 || fail "switching off opened the dialog"
    al_values_are "$(printf '%s\n' "$before" | grep -v '^DefaultPassword ' |
        sed 's/^AutoAdminLogon .*/AutoAdminLogon REG_SZ 0/')" \
        "switching off did not just set AutoAdminLogon to \"0\" and remove the password"
}

scenario_autologon-stored-user() {
    PREPARE=al_winxp_with_alice
    start_scenario e2e-three.ini
    wait_main_window
    local before
    before="$(al_values)"
    check_menu post-left "$(al_menu -)"

    al_open_dialog
    al_expect text $AL_USER alice
    al_expect text $AL_DOMAIN ''
    al_expect text $AL_PASSWORD ''
    al_expect enabled $AL_OK enabled
    al_focus_is $AL_OK "a stored user name"
    al_expect password-char $AL_PASSWORD '*'
    step dialog-button "$AL_DIALOG" $AL_CANCEL 5000 || fail "Cancel did not close the dialog: $OUT"
    check_menu post-left "$(al_menu -)"
    al_values_are "$before" "Cancel changed the Winlogon values"

    al_open_dialog
    al_expect text $AL_USER alice
    # The user goes to the name box to change it; clearing it leaves OK disabled and the focus there.
    step dialog-click-into "$AL_DIALOG" $AL_USER 5000 || fail "cannot click into the user name: $OUT"
    al_type $AL_USER ''
    al_expect enabled $AL_OK disabled
    al_focus_is $AL_USER "the user name was cleared"
    al_type $AL_USER bob
    al_expect enabled $AL_OK enabled
    al_type $AL_DOMAIN WORK
    al_type $AL_PASSWORD 007
    step dialog-button "$AL_DIALOG" $AL_OK 5000 || fail "OK did not close the dialog: $OUT"
    check_menu post-left "$(al_menu checked)"
    al_values_are "$(printf '%s\n' "$before" | grep -v '^Default\|^AutoAdminLogon '
        printf '%s\n' 'AutoAdminLogon REG_SZ 1' 'DefaultUserName REG_SZ bob' 'DefaultDomain REG_SZ WORK' \
            'DefaultDomainName REG_SZ WORK' 'DefaultPassword REG_SZ 007')" \
        "OK did not store the details as strings"
}

scenario_autologon-no-user() {
    PREPARE=al_winxp
    start_scenario e2e-three.ini
    wait_main_window
    local before
    before="$(al_values)"
    printf '%s\n' "$before" | grep -q '^DefaultUserName ' && fail "Wine's prefix already names a user"

    al_open_dialog
    al_expect text $AL_USER ''
    al_expect enabled $AL_OK disabled
    al_focus_is $AL_CANCEL "no stored user name"
    al_type $AL_DOMAIN CORP
    al_expect enabled $AL_OK disabled
    al_type $AL_PASSWORD pass
    al_expect enabled $AL_OK disabled
    al_type $AL_USER carol
    al_expect enabled $AL_OK enabled
    # With OK enabled, only the way out decides whether anything is written.
    step dialog-escape "$AL_DIALOG" 5000 || fail "Esc did not close the dialog: $OUT"
    check_menu post-left "$(al_menu -)"
    al_values_are "$before" "Esc changed the Winlogon values"

    al_open_dialog
    al_expect text $AL_USER ''
    al_type $AL_USER carol
    al_expect enabled $AL_OK enabled
    step dialog-close "$AL_DIALOG" 5000 || fail "the close box did not close the dialog: $OUT"
    check_menu post-left "$(al_menu -)"
    al_values_are "$before" "the close box changed the Winlogon values"
}

scenario_autologon-win98() {
    PREPARE=al_win98_with_alice_on
    start_scenario e2e-three.ini
    wait_main_window
    check_menu post-left "$(printf '%s\n' "$MENU_THREE" | sed '/^5|.*|Auto Login$/d; s/^6|-|&Exit$/5|-|\&Exit/')"
}

# Runs the scenario of the 32-bit prefix in the 64-bit one, then checks that the 32-bit view of the
# Winlogon values is as it was before the program started.
al_in_64bit_prefix() {
    "scenario_$1"
    local after32
    after32="$(al_values /reg:32)"
    [ -n "$after32" ] || fail "cannot read the 32-bit view of Winlogon"
    [ "$after32" = "$AL_BEFORE32" ] || {
        diff <(printf '%s\n' "$AL_BEFORE32") <(printf '%s\n' "$after32") | sed 's/^/    /'
        fail "the 32-bit view of Winlogon was changed"
    }
}

scenario_autologon-switch-off-64() { al_in_64bit_prefix autologon-switch-off; }
scenario_autologon-stored-user-64() { al_in_64bit_prefix autologon-stored-user; }
scenario_autologon-no-user-64() { al_in_64bit_prefix autologon-no-user; }
