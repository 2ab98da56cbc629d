#!/usr/bin/env bash
# What a screen reader hears, read from the accessibility bus of a private
# session bus (accessible_text.py): the periodic table names itself, and the
# help window opened from it (F1) names its picture-only buttons and its two
# page views (names no visible caption carries).
# Skipped (77) without python3-gi or dbus-run-session.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/accessibility_bus.sh"
source "$here/lib.sh"
start_xvfb
make_program_dir

start_quiet_table
see '^Układ okresowy pierwiastków$' >/dev/null || fail "the periodic table has no accessible name"
pass "the periodic table: Układ okresowy pierwiastków"

xdotool windowfocus --sync "$table" key F1
help=$(wait_window '^Pomoc') || fail "F1 opened no help window"
for name in 'Lista tematów' 'Tematy' 'Zawartość' 'Wstecz'; do
  see "^$name\$" >/dev/null || fail "the help window offers no control named $name"
done
pass "the help window: Lista tematów, Tematy, Zawartość, Wstecz"
xdotool windowfocus --sync "$help" key Escape
wait_gone '^Pomoc' || fail "Esc left the help window open"
