#!/usr/bin/env bash
# Builds ostrevo.exe, runs it under Wine with samples/boot.ini as C:\boot.ini and opens its tray menu
# with the "Default OS" submenu. Headless (no DISPLAY, or OSTREVO_HEADLESS=1) it runs on its own Xvfb,
# saves docs/screenshot.png, then ends the program through "Exit" and shows the missing-file message.
# On a real display it leaves the program running until you choose Exit.
# It shows the i686 exe in a 32-bit prefix, or the x86-64 exe in a 64-bit one where the host runs no
# 32-bit code (or OSTREVO_NO_32BIT=1).
#
# Environment: OSTREVO_BUILD_DIR (default build/mingw32 or build/mingw64, as above), OSTREVO_SCREENSHOT
# (default docs/screenshot.png).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
screenshot="${OSTREVO_SCREENSHOT:-$root/docs/screenshot.png}"
desktop=ostrevo
geometry=1024x768

say() { printf 'demo: %s\n' "$*"; }
fail() {
    printf 'demo: FAILED: %s\n' "$*" >&2
    exit 1
}

bash "$root/scripts/setup.sh"
# shellcheck source=winelib.sh
. "$root/scripts/winelib.sh"
wine_host_say
read -r preset arch _ <<<"$(wine_host_build)"
build="${OSTREVO_BUILD_DIR:-$root/build/$preset}"
cmake --preset "$preset" -B "$build" >/dev/null
ninja -C "$build" ostrevo trayclick >/dev/null
say "built $build/ostrevo.exe ($preset, $(stat -c %s "$build/ostrevo.exe") bytes)"

headless=0
if [ -z "${DISPLAY:-}" ] || [ "${OSTREVO_HEADLESS:-0}" = 1 ]; then headless=1; fi

wine_clean_on_exit

if [ "$headless" = 1 ]; then
    wine_start_xvfb "$geometry" || fail "Xvfb did not start"
    xvfb_pid="$WINE_XVFB_PID"
    say "headless: Xvfb on $DISPLAY"
fi

prefix="$(wine_new_prefix "$arch")" || fail "could not create a Wine prefix"
say "Wine prefix $prefix"
wine_virtual_desktop "$prefix" "$desktop" "$geometry"
wine_copy_in "$prefix" "$build/ostrevo.exe" ostrevo.exe
wine_copy_in "$prefix" "$build/trayclick.exe" trayclick.exe
wine_copy_in "$prefix" "$root/samples/boot.ini" boot.ini

driver() { wine_run "$prefix" wine 'C:\trayclick.exe' "$@"; }
start_ostrevo() {
    wine_run "$prefix" wine explorer "/desktop=$desktop,$geometry" 'C:\ostrevo.exe' >/dev/null 2>&1 &
}

start_ostrevo
driver wait-window 30000 || fail "the main window did not appear"

# The window exists before start-up ends and the icon arrives only after it: click until the menu opens.
opened=0
for _ in $(seq 10); do
    driver click-icon >/dev/null
    if driver wait-menus 1 2000; then
        opened=1
        break
    fi
done
[ "$opened" = 1 ] || fail "clicking the tray icon opened no menu"
say "tray menu open"

# Down five times reaches "Default OS" (Timeout, Reboot, ShutDown, Reboot To..., Default OS).
driver keys down down down down down right
driver wait-menus 2 5000 || fail "the Default OS submenu did not open"
say "Default OS submenu open"

if [ "$headless" = 0 ]; then
    say "the menu is open on $DISPLAY; choose Exit in it to end the demo"
    while ! driver wait-gone 600000; do :; done
    exit 0
fi

mkdir -p "$(dirname "$screenshot")"
import -display "$DISPLAY" -window root "$screenshot"
say "saved $screenshot"

driver keys escape escape
driver wait-menus 0 5000 || fail "the menu did not close"
# A click elsewhere must not end the program: its hidden window never keeps the focus.
# Wine now and then lets a click on its desktop pass without moving the foreground; a user would click
# again, and so does the demo.
moved=0
for _ in 1 2 3; do
    driver click-desktop
    if driver wait-background 2000; then
        moved=1
        break
    fi
done
[ "$moved" = 1 ] || fail "clicks on the desktop did not take the foreground"
driver wait-window 1000 || fail "the program ended when another window became active"
say "still running after a click elsewhere"

driver click-icon >/dev/null
driver wait-menus 1 5000 || fail "the menu did not open a second time"
driver keys up return # up from no selection lands on the last item, Exit
driver wait-gone 5000 || fail "Exit did not end the program"
say "Exit ended the program"

# Without C:\boot.ini the program only says so and ends when the message is dismissed.
rm -f "$(wine_c_drive "$prefix")/boot.ini"
start_ostrevo
text="$(driver message-text 30000)" || fail "no missing-file message"
say "missing-file message: $text"
driver message-ok
driver wait-gone 5000 || fail "the program did not end after the missing-file message"
say "done"
