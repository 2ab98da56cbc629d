#!/usr/bin/env bash
# The program's start under a real X server: the data package check, the run
# counter, the current account during and after the run, and the single
# instance rule.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir

# A fresh start opens the window "Orbita", counts the start and logs the
# Administrator in for the run.
start_orbita
first=$LAST_PID
win=$(wait_window '^Orbita$') || fail "no window titled Orbita"
[ "$(reg_value 'Software\Orbita' RunCount)" = "dword:00000001" ] || fail "RunCount is not 1 after the first start"
[ "$(reg_value 'Software\Orbita' User)" = '"Administrator"' ] || fail "User is not Administrator while running"
pass "first start: window, RunCount 1, User Administrator"

# A second start is refused with the message and brings the first forward.
xmessage -geometry 700x500+0+0 "covering window" &
cover=$!; E2E_PIDS+=("$cover")
wait_window '^xmessage$' >/dev/null || fail "the covering window did not appear"
start_orbita
second=$LAST_PID
box=$(wait_window '^Program jest już uruchomiony$') || fail "the second start shows no refusal"
xdotool windowfocus --sync "$box" key Return
wait_exit "$second" || fail "the refused second start did not end cleanly"
# xwininfo lists the root's children from the top of the stack down.
raised=
for _ in $(seq 50); do
  # The main window must stand above the covering one; the program's own
  # other windows (the tip of the day) may stand above both.
  # (Qt's hidden 1x1 group leader carries the title too and is left out.)
  order=$(xwininfo -root -children | grep -E '"(Orbita|xmessage)":' | grep -v ' 1x1+' \
    | grep -oE '"(Orbita|xmessage)":' | tr '\n' ' ')
  case "$order" in '"Orbita":'*) raised=yes; break ;; esac
  sleep 0.1
done
kill "$cover" 2>/dev/null || true
[ -n "$raised" ] || fail "the first instance was not raised (stacking: $order)"
pass "second start refused, first window raised above the covering one"
kill -0 "$first" || fail "the first instance ended"

# Ending the run clears the current account.
kill -TERM "$first"
wait_exit "$first" || fail "the program did not end on SIGTERM"
[ "$(reg_value 'Software\Orbita' User)" = '""' ] || fail "User is not empty after the run"
pass "run ended: User empty"

# The next start counts 2; a killed first instance does not block the start
# after it.
start_orbita
killed=$LAST_PID
wait_window '^Orbita$' >/dev/null || fail "no window on the second run"
[ "$(reg_value 'Software\Orbita' RunCount)" = "dword:00000002" ] || fail "RunCount is not 2 after the second start"
kill -9 "$killed"; wait "$killed" 2>/dev/null || true
start_orbita
after=$LAST_PID
wait_window '^Orbita$' >/dev/null || fail "a killed first instance blocks the next start"
kill -TERM "$after"; wait_exit "$after" || fail "the third run did not end"
pass "RunCount 2; a killed instance does not block the next start"

# Without the data package: the error message and no main window.
rm "$ORBITA_PROGRAM_DIR/ORBITA.DAT"
before=$(reg_value 'Software\Orbita' RunCount)
start_orbita
missing=$LAST_PID
box=$(wait_window '^Orbita$') || fail "no message without the data package"
size=$(window_size "$box")
[ "$size" != "630x423" ] || fail "the main window opened without the data package"
xdotool windowfocus --sync "$box" key Return
wait_exit "$missing" || fail "the program did not end after the message"
[ "$(reg_value 'Software\Orbita' RunCount)" = "$before" ] || fail "a start without the data package was counted"
pass "missing data package: message, no main window, start not counted"
