#!/usr/bin/env bash
# The element search from the keyboard: F3 in the periodic table opens
# "Wyszukiwanie pierwiastków"; a text typed into "Znajdź" and Enter search;
# Down goes to the first result and Enter opens its element window.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir

start_quiet_table

xdotool windowfocus --sync "$table" key F3
find=$(wait_window '^Wyszukiwanie pierwiastków$') || fail "F3 opened no search window"
pass "F3 opens Wyszukiwanie pierwiastków"

# Enter in "Znajdź" searches: the results appear (the window changes).
xdotool windowfocus --sync "$find" type --delay 20 "r"
settled_shot "$find" "$E2E_TMP/typed.png"
xdotool key Return
wait_picture_change "$find" "$E2E_TMP/typed.png" "$E2E_TMP/found.png" || fail "Enter in Znajdź did not search"
pass "Enter in Znajdź searches"

# Down goes to the first result (hydrogen: every name with an r, in order),
# Enter opens it.
xdotool key Down
sleep 0.5
xdotool key Return
wait_window '^Informacje o pierwiastku \[Wodór\]$' >/dev/null \
  || fail "Down and Enter did not open the first result, Wodór ($(xdotool search --onlyvisible --name 'Informacje' getwindowname 2>/dev/null || true))"
pass "Down then Enter opens the first result, Wodór"

xdotool key Escape
wait_gone '^Informacje o pierwiastku' || fail "Esc does not close the element window"
xdotool key Escape
wait_gone '^Wyszukiwanie pierwiastków$' || fail "Esc does not close the search window"
kill -TERM "$app"; wait_exit "$app" || fail "the program did not end"
pass "both windows close with Esc"
