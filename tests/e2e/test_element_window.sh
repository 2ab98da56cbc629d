#!/usr/bin/env bash
# One event from end to end: a click on iron in the periodic table opens the
# element window; the arrow keys step; a note typed for iron is stored
# scrambled under Notes\26 and is there after a restart.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir

start_quiet_table
[ -z "$(windows_of_size "$app" 600x180)" ] || fail "the splash stays"
# The cell of iron: hot area BUTTON_FE at 219, 167, 26 x 27.
xdotool mousemove --window "$table" 232 180 click 1
element=$(wait_window '^Informacje o pierwiastku \[Żelazo\]$') || fail "a click on iron opened no window titled for Żelazo"
pass "click on iron: Informacje o pierwiastku [Żelazo]"

xdotool windowfocus --sync "$element" key Right
wait_window '^Informacje o pierwiastku \[Kobalt\]$' >/dev/null || fail "Right did not step to Kobalt"
xdotool key Left
wait_window '^Informacje o pierwiastku \[Żelazo\]$' >/dev/null || fail "Left did not step back to Żelazo"
xdotool key End
wait_window '^Informacje o pierwiastku \[Oganeson\]$' >/dev/null || fail "End did not go to Oganeson"
xdotool key Home
wait_window '^Informacje o pierwiastku \[Wodór\]$' >/dev/null || fail "Home did not go to Wodór"
pass "Right, Left, End and Home step through the elements"

# Back to iron, notes mode, a note.
xdotool mousemove --window "$table" 1 1 >/dev/null 2>&1 || true
for _ in $(seq 25); do xdotool key Right; done
wait_window '^Informacje o pierwiastku \[Żelazo\]$' >/dev/null || fail "could not step back to Żelazo"
# F7 shows the notes page: wait until the window shows something else.
settled_shot "$element" "$E2E_TMP/page.png"
xdotool key F7
wait_picture_change "$element" "$E2E_TMP/page.png" "$E2E_TMP/notes.png" || fail "F7 shows no notes page"
xdotool type --delay 20 "Ruda"
wait_picture_change "$element" "$E2E_TMP/notes.png" "$E2E_TMP/typed.png" || fail "the typed note is not shown"
xdotool key Escape
wait_gone '^Informacje o pierwiastku' || fail "Esc does not close the element window"

# "Ruda" XOR "NotaSlad", two lower-case hex digits per byte.
expected=""
text="Ruda"; key="NotaSlad"
for ((i = 0; i < ${#text}; i++)); do
  t=$(printf '%d' "'${text:i:1}"); k=$(printf '%d' "'${key:i:1}")
  expected+=$(printf '%02x' $((t ^ k)))
done
stored=$(reg_value 'Software\Orbita\Administrator\Notes' 26)
[ "$stored" = "\"$expected\"" ] || fail "Notes\\26 holds $stored, not the scrambled note \"$expected\""
pass "the note is stored scrambled under Notes\\26"

kill -TERM "$app"; wait_exit "$app" || fail "the program did not end"
start_orbita
app=$LAST_PID
wait_window '^Orbita$' >/dev/null || fail "no table after the restart"
[ "$(reg_value 'Software\Orbita\Administrator\Notes' 26)" = "\"$expected\"" ] || fail "the note is gone after a restart"
kill -TERM "$app"; wait_exit "$app" || fail "the program did not end after the restart"
pass "the note is there after a restart"
