#!/usr/bin/env bash
# What a screen reader hears, read from the accessibility bus of a private
# session bus (accessible_text.py): the periodic table names itself, and the
# help window opened from it (F1) names its picture-only buttons and its two
# page views (names no visible caption carries).
# Skipped (77) without python3-gi or dbus-run-session.
for python in python3 /usr/bin/python3 ""; do
  [ -n "$python" ] && "$python" -c 'import gi' 2>/dev/null && break
done
[ -n "$python" ] || { echo "skipped: python3-gi is not installed"; exit 77; }
if [ -z "${ORBITA_E2E_SESSION_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
  ORBITA_E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
start_xvfb
make_program_dir
# Qt offers its widgets on the accessibility bus.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
see() { "$python" "$here/accessible_text.py" "$1" "$E2E_WAIT"; }

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
