#!/usr/bin/env bash
# The unit converter from the main window's utilities menu (F8, P): on the
# temperature page, "100" typed into the Celsius box and Enter give 373,15 in
# the Kelvin box; Esc closes the window. The Kelvin box is read through the
# clipboard: Shift+Tab from Celsius selects its text, Ctrl+C copies it.
#
# With ORBITA_SCREENSHOT_DIR set, the window's picture is saved there (units.png).
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir

start_quiet_table

xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key p
units=$(wait_window '^Przelicznik jednostek$') || fail "the utilities menu opened no unit converter"
pass "F8, P: Przelicznik jednostek ($(window_size "$units"))"
sleep 0.5

# The window opens with the metre box focused. Shift+Tab twice reaches the
# quantity list, where "t" chooses Temperatura; Tab goes on through the
# precision list to the page's boxes: Reaumur, Kelvin, Celsius.
xdotool windowfocus --sync "$units" key shift+Tab shift+Tab t
sleep 0.3
xdotool key Tab Tab Tab Tab
xdotool type --delay 50 '100'
xdotool key Return
sleep 0.5
# Shift+Tab back to Kelvin selects its text; copy it.
xdotool key shift+Tab ctrl+c
sleep 0.3
kelvin=$(xclip -o -selection clipboard 2>/dev/null || true)
[ "$kelvin" = "373,15" ] || fail "the Kelvin box shows '$kelvin', not 373,15"
pass "100 in Celsius, Enter: 373,15 K"

[ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$units" "$ORBITA_SCREENSHOT_DIR/units.png"
xdotool windowfocus --sync "$units" key Escape
wait_gone '^Przelicznik jednostek$' || fail "Esc left the unit converter open"
pass "Esc closes the unit converter"

kill "$app" 2>/dev/null || true
