#!/usr/bin/env bash
# The property table from the main window's utilities menu (F8, W): it opens
# coloured by electronegativity; Alt+S switches to the state of matter, 30
# typed into the temperature box shows 303,15 K beside it, and the arrow keys
# bring the current cell to gallium, whose line under the table says it is
# liquid at 30 °C. Texts inside the window are read from the accessibility bus
# of a private session bus (accessible_text.py). Esc closes the window.
#
# With ORBITA_SCREENSHOT_DIR set, both pictures are saved there
# (property-table.png, property-table-state.png).
here=$(cd "$(dirname "$0")" && pwd)
source "$here/accessibility_bus.sh"
source "$here/lib.sh"
start_xvfb
make_program_dir

start_quiet_table

xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key w
properties=$(wait_window '^Tablica właściwości$') || fail "the utilities menu opened no property table"
pass "F8, W: Tablica właściwości ($(window_size "$properties"))"
sleep 1
see '^Elektroujemność \(Pauling\)$' >/dev/null || fail "the property list does not show electronegativity"
pass "coloured by electronegativity"
[ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$properties" "$ORBITA_SCREENSHOT_DIR/property-table.png"

# The state of matter at 30 °C, typed into the box (Alt+T).
xdotool windowfocus --sync "$properties" key alt+s
sleep 0.3
xdotool key alt+t ctrl+a
xdotool type --delay 50 '30'
sleep 0.5
kelvin=$(see '^= 303,15 K$') || fail "30 °C shows no 303,15 K beside it"
pass "30 °C: $kelvin"

# Tab to the table; from hydrogen three down (potassium) and twelve right
# (gallium).
xdotool key Tab Down Down Down
for _ in $(seq 12); do xdotool key Right; done
sleep 0.5
gallium=$(see '^Gal \(Ga, 31\) w 30 °C: ') || fail "the current cell's line names no gallium"
[[ "$gallium" == *": ciecz;"* ]] || fail "gallium at 30 °C: '$gallium'"
pass "$gallium"
[ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$properties" "$ORBITA_SCREENSHOT_DIR/property-table-state.png"

xdotool windowfocus --sync "$properties" key Escape
wait_gone '^Tablica właściwości$' || fail "Esc left the property table open"
pass "Esc closes the property table"

kill "$app" 2>/dev/null || true
