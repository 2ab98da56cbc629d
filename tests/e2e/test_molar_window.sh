#!/usr/bin/env bash
# The molar-mass calculator from the main window's utilities menu (F8, K):
# "CuSO4·5H2O" typed and Enter give 249,68 g/mol (rounded) and the mass
# percentages of copper, sulphur, oxygen and hydrogen; a made-up symbol gives
# its message without a message box; Esc closes the window. The result is read
# through the clipboard: Alt+K is the "Kopiuj" button.
#
# With ORBITA_SCREENSHOT_DIR set, the window's picture is saved there (molar.png).
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir

start_quiet_table

xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key k
molar=$(wait_window '^Kalkulator masy molowej$') || fail "the utilities menu opened no molar-mass calculator"
pass "F8, K: Kalkulator masy molowej ($(window_size "$molar"))"
sleep 0.5

# The window opens with the formula box focused.
xdotool windowfocus --sync "$molar" type --delay 50 'CuSO4·5H2O'
xdotool key Return
sleep 0.5
xdotool key alt+k
sleep 0.3
report=$(xclip -o -selection clipboard 2>/dev/null || true)
first=$(head -n 1 <<<"$report")
mass=$(sed -n 's/^Masa molowa: \([0-9]*,[0-9]*\) g\/mol$/\1/p' <<<"$first")
[ -n "$mass" ] || fail "the copied result begins '$first'"
rounded=$(LC_ALL=C printf '%.2f' "${mass/,/.}")
[ "${rounded/./,}" = "249,68" ] || fail "CuSO4·5H2O gives $mass g/mol, not 249,68 when rounded"
pass "CuSO4·5H2O, Enter: $mass g/mol (249,68 rounded)"

# The table: element, atoms, atomic mass, mass, percentage; the shares add up to 100.
share() { awk -F '\t' -v symbol="$1" '$1 == symbol { print $5 }' <<<"$report"; }
[ "$(share Cu)" = "25,45" ] || fail "copper's share is '$(share Cu)', not 25,45"
[ "$(share S)" = "12,84" ] || fail "sulphur's share is '$(share S)', not 12,84"
[ "$(share O)" = "57,67" ] || fail "oxygen's share is '$(share O)', not 57,67"
[ "$(share H)" = "4,04" ] || fail "hydrogen's share is '$(share H)', not 4,04"
[ "$(awk -F '\t' 'NR > 2 { n++ } END { print n }' <<<"$report")" = "4" ] || fail "the table has not four rows"
pass "mass percentages Cu 25,45, S 12,84, O 57,67, H 4,04"

[ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$molar" "$ORBITA_SCREENSHOT_DIR/molar.png"

# An unknown symbol: the message stands in the window, no other window opens.
visible=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)
xdotool windowfocus --sync "$molar" key ctrl+a
xdotool type --delay 50 'NaXyCl'
xdotool key Return
sleep 0.5
[ "$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l)" -eq "$visible" ] \
  || fail "an error in the formula opened a window"
# Nothing left to copy: the clipboard keeps the earlier report.
xdotool key alt+k
sleep 0.3
[ "$(xclip -o -selection clipboard 2>/dev/null | head -n 1)" = "$first" ] || fail "an error left a result to copy"
pass "NaXyCl: the message in the window, nothing to copy"

xdotool windowfocus --sync "$molar" key Escape
wait_gone '^Kalkulator masy molowej$' || fail "Esc left the molar-mass calculator open"
pass "Esc closes the molar-mass calculator"

kill "$app" 2>/dev/null || true
