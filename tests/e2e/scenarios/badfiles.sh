# Damaged boot.ini files: the real exe must start, show what it can read, stay up, never crash, and
# change nothing but the line it writes. The files are made at run time by ../bad_boot_ini.pl, which
# also gives the file expected after each write. Sourced by run.sh, whose helpers these use.

SCENARIOS+=(bad-empty bad-random bad-random-mixed bad-nul bad-huge bad-long-key bad-long-value bad-no-os
    bad-utf16)

BAD_GENERATOR="$ROOT/tests/e2e/bad_boot_ini.pl"

# As start_scenario, with C:\boot.ini made by the generator (KIND). Its files stay in $BAD_DIR.
bad_start() {
    BAD_DIR="$WORK/$NAME.files"
    mkdir -p "$BAD_DIR"
    perl "$BAD_GENERATOR" "$1" "$BAD_DIR" || fail "the generator could not make the '$1' file"
    start_scenario "$BAD_DIR/boot.ini"
}

# Opens the menu, keeps its dump (path|flags|caption a line) in BAD_MENU, and closes it again.
bad_read_menu() {
    step open-menu post-left 10000 || fail "open-menu: $OUT"
    step inject menu || fail "the probe could not read the menu: $OUT"
    BAD_MENU="$(printf '%s\n' "$OUT" | grep -v '^open popups:')"
    step key escape || fail "cannot press Escape"
    step wait-menu-closed 5000 || fail "Escape did not close the menu"
}

# The items under the top-level item captioned $1 in BAD_MENU, "flags|caption" a line. A caption may
# itself hold '|', so only the first two are separators.
bad_submenu() {
    printf '%s\n' "$BAD_MENU" | WANT="$1" awk '
        { i = index($0, "|"); path = substr($0, 1, i - 1); rest = substr($0, i + 1)
          j = index(rest, "|"); flags = substr(rest, 1, j - 1); caption = substr(rest, j + 1) }
        path !~ /\./ { top = caption == ENVIRON["WANT"] ? path "." : ""; next }
        top != "" && index(path, top) == 1 { print flags "|" caption }'
}

# Whether SHOWN ("flags|caption" lines) is WANTED line for line, a wanted caption of * taking any.
bad_entries_match() {
    [ -z "$2" ] && { [ -z "$1" ]; return; }
    printf '%s\n' "$1" | WANT="$2" awk '
        BEGIN { n = split(ENVIRON["WANT"], w, "\n") }
        NR > n { exit 1 }
        $0 != w[NR] && !(w[NR] ~ /\|\*$/ && index($0, substr(w[NR], 1, length(w[NR]) - 1)) == 1) { exit 1 }
        END { if (NR != n) exit 1 }'
}

BAD_TOP_LEVEL='0|popup|Timeout
1|-|&Reboot
2|-|&ShutDown
3|popup|Reboot To...
4|popup|Default OS
5|-|Auto Login
6|-|&Exit'

# Reads the menu and checks what must hold for any file: the fixed items, no design caption, one
# Timeout mark (on TIMEOUT), and the entries as ENTRIES lists them ("flags|caption" a line, in order;
# a caption of * takes any caption) in Default OS, the same captions unmarked in Reboot To.
bad_check_menu() {
    local timeout="$1" entries="$2" defaults reboots marked
    bad_read_menu
    if printf '%s\n' "$BAD_MENU" | grep -Eq 'mnuOS|mnuDefOs|mnupopup'; then
        fail "a design caption is visible in the menu"
    fi
    [ "$(printf '%s\n' "$BAD_MENU" | grep -v '^[0-9]*\.')" = "$BAD_TOP_LEVEL" ] ||
        fail "the top level of the menu is not as always: $BAD_MENU"
    marked="$(bad_submenu Timeout | grep -c '^checked|')"
    [ "$marked" -eq 1 ] || fail "$marked check marks under Timeout"
    [ "$(bad_submenu Timeout | grep '^checked|')" = "checked|$timeout" ] ||
        fail "Timeout marks '$(bad_submenu Timeout | grep '^checked|')', not '$timeout'"
    defaults="$(bad_submenu 'Default OS')"
    marked="$(printf '%s\n' "$defaults" | grep -c '^checked|')"
    [ "$marked" -le 1 ] || fail "$marked check marks under Default OS"
    reboots="$(bad_submenu 'Reboot To...')"
    [ "$(printf '%s\n' "$defaults" | sed 's/^[^|]*|/-|/')" = "$reboots" ] ||
        fail "Reboot To... does not list the entries of Default OS unmarked: $reboots"
    if ! bad_entries_match "$defaults" "$entries"; then
        echo "    Default OS shows (flags|caption, cut to 120 characters):"
        printf '%s\n' "$defaults" | cut -c1-120 | sed 's/^/    /'
        fail "Default OS does not show the entries expected"
    fi
}

# Default OS > CAPTION > Yes.
bad_choose_default() {
    step open-menu post-left 10000 || fail "open-menu: $OUT"
    step inject "click Default OS>$1" || fail "cannot choose '$1' under Default OS: $OUT"
    step msgbox-text 10000 || fail "no question after choosing '$1': $OUT"
    printf '%s\n' "$OUT" | grep -Fqx "text: Set Default to $1?" || fail "not the question for '$1': $OUT"
    step msgbox-click Yes 5000 || fail "cannot answer Yes: $OUT"
}

bad_choose_timeout_20() {
    step open-menu post-left 10000 || fail "open-menu: $OUT"
    step inject 'click Timeout>20' || fail "cannot choose Timeout > 20: $OUT"
}

# Polls until C:\boot.ini holds exactly the bytes of EXPECTED (the write may still be under way) or,
# when given, of WINE_FORM: EXPECTED as Wine's profile functions rewrite the whole file, which
# Windows does not do. That form is a known Wine difference and is reported as one.
bad_expect_boot_ini() {
    local expected="$1" what="$2" wine_form="${3:-}" _
    for _ in $(seq 1 200); do
        cmp -s "$expected" "$CDRIVE/boot.ini" && return 0
        if [ -n "$wine_form" ] && cmp -s "$wine_form" "$CDRIVE/boot.ini"; then
            echo "    KNOWN-WINE-DIFFERENCE $NAME: after $what, the file as Wine rewrites it, not as Windows"
            return 0
        fi
        sleep 0.1
    done
    local seen_size expected_size
    seen_size="$(stat -c %s "$CDRIVE/boot.ini")"
    expected_size="$(stat -c %s "$expected")"
    printf '    %s\n' "C:\\boot.ini after $what: $seen_size bytes, expected $expected_size"
    cmp "$expected" "$CDRIVE/boot.ini" 2>&1 | sed 's/^/    /'
    echo "    lines that differ (- expected, + seen; cut to 100 characters, control bytes shown):"
    diff -a <(cut -c1-100 "$expected" | cat -v) <(cut -c1-100 "$CDRIVE/boot.ini" | cat -v) | head -n 20 |
        sed 's/^/    /'
    fail "C:\\boot.ini is not the original with only the chosen value changed, after $what"
}

# Neither Wine's crash message in the exe's output nor its crash dialog on the desktop.
bad_check_no_crash() {
    if grep -Eq 'Unhandled|starting debugger' "$WORK/$NAME.ostrevo.log"; then
        fail "ostrevo.exe crashed: $(head -n 3 "$WORK/$NAME.ostrevo.log")"
    fi
    step windows || fail "cannot list the windows: $OUT"
    if printf '%s\n' "$OUT" | grep -Eq '"(Program Error|Wine Debugger)"'; then
        fail "a crash dialog is open: $OUT"
    fi
    still_running "the menus were used"
}

bad_unchanged_boot_ini() {
    cmp -s "$BAD_DIR/boot.ini" "$CDRIVE/boot.ini" || fail "C:\\boot.ini was changed"
}

scenario_bad-empty() {
    bad_start empty
    wait_main_window
    # No key at all: Timeout falls to Other with an empty value, and no entry is listed.
    bad_check_menu 'Other ()' ''
    bad_unchanged_boot_ini
    bad_choose_timeout_20
    bad_expect_boot_ini "$BAD_DIR/after-timeout.ini" "Timeout > 20"
    bad_check_menu 20 ''
    bad_check_no_crash
}

# No write in the two random files: Wine's profile functions rewrite the whole file on a write,
# normalising the random lines, so the bytes around the written line say nothing about this program.
scenario_bad-random() {
    bad_start random
    wait_main_window
    bad_check_menu 'Other ()' ''
    bad_check_no_crash
    bad_unchanged_boot_ini
}

scenario_bad-random-mixed() {
    bad_start random-mixed
    wait_main_window
    bad_check_menu 30 '-|Alpha System
checked|Beta System
-|Gamma System'
    bad_check_no_crash
    bad_unchanged_boot_ini
}

scenario_bad-nul() {
    bad_start nul
    wait_main_window
    # Wine's profile functions end a name or value at its NUL: Beta's value is cut there, Gamma's key
    # is found by its part before the NUL, and a key that starts with one has no name at all.
    bad_check_menu 30 '-|Alpha System
-|Beta
-|Gamma System
checked|Delta System'
    bad_choose_default 'Alpha System'
    bad_expect_boot_ini "$BAD_DIR/after-default.ini" "Default OS > Alpha System" "$BAD_DIR/after-default.wine.ini"
    bad_check_menu 30 'checked|Alpha System
-|Beta
-|Gamma System
-|Delta System'
    bad_check_no_crash
}

scenario_bad-huge() {
    bad_start huge
    wait_main_window
    bad_check_menu 45 '-|Huge Alpha
checked|Huge Beta'
    bad_choose_default 'Huge Alpha'
    bad_expect_boot_ini "$BAD_DIR/after-default.ini" "Default OS > Huge Alpha"
    bad_choose_timeout_20
    bad_expect_boot_ini "$BAD_DIR/after-timeout.ini" "Timeout > 20"
    bad_check_menu 20 'checked|Huge Alpha
-|Huge Beta'
    bad_check_no_crash
}

scenario_bad-long-key() {
    bad_start long-key
    wait_main_window
    # The ANSI profile calls cannot take a key of 32,767 characters or more (Wine's crash on one),
    # so the 100,000-character entry is left out; the 30,000-character one is read and written.
    bad_check_menu 10 '-|Long Key System
checked|Short System'
    bad_choose_default 'Long Key System'
    bad_expect_boot_ini "$BAD_DIR/after-default.ini" "Default OS > Long Key System"
    bad_choose_timeout_20
    bad_expect_boot_ini "$BAD_DIR/after-timeout.ini" "Timeout > 20"
    bad_check_menu 20 'checked|Long Key System
-|Short System'
    bad_check_no_crash
}

scenario_bad-long-value() {
    local cut
    bad_start long-value
    wait_main_window
    # The 255-character read keeps 254 characters of the 100,000-character value.
    cut="$(perl -e 'print substr("Long Value " . "0123456789" x 30, 0, 254)')"
    bad_check_menu 10 "-|$cut
checked|Short System"
    bad_choose_timeout_20
    bad_expect_boot_ini "$BAD_DIR/after-timeout.ini" "Timeout > 20"
    bad_check_menu 20 "-|$cut
checked|Short System"
    bad_check_no_crash
}

scenario_bad-no-os() {
    bad_start no-os
    wait_main_window
    bad_check_menu 15 ''
    bad_choose_timeout_20
    bad_expect_boot_ini "$BAD_DIR/after-timeout.ini" "Timeout > 20"
    bad_check_menu 20 ''
    bad_check_no_crash
}

scenario_bad-utf16() {
    bad_start utf16
    wait_main_window
    bad_check_menu 30 '-|Système Alpha
checked|Beta ? System'
    bad_choose_default 'Système Alpha'
    bad_expect_boot_ini "$BAD_DIR/after-default.ini" "Default OS > Système Alpha"
    bad_choose_timeout_20
    bad_expect_boot_ini "$BAD_DIR/after-timeout.ini" "Timeout > 20"
    bad_check_menu 20 'checked|Système Alpha
-|Beta ? System'
    bad_check_no_crash
}
