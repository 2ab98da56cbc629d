#!/usr/bin/env bash
# The chemistry test window from the main window's utilities menu (F8, E):
# "Rozpocznij" without a choice asks for one; a run with every answer right
# ends on the results with the top grade; a run with chosen wrong answers and
# "Wyświetlaj prawidłowe odpowiedzi" ticked shows the correct answer after
# each wrong one and ends with the grade its thresholds give; Esc during a run
# asks "Przerwij test" (Enter answers No, the run goes on; Yes stops it).
# (Closing through the desktop needs a window manager, which the private
# server has not: the offscreen window tests cover it.)
#
# The package is built here: four questions, three options each. Each grade's
# description on the results page is a coloured block, so the grade shown is
# read from the window's picture. With ORBITA_SCREENSHOT_DIR set, the
# choice, a question and the results are saved there (test-*.png).
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir

PKG=$E2E_TMP/Proba
mkdir -p "$PKG" "$ORBITA_PROGRAM_DIR/TESTY"
# Correct options: 2, 1, 3, 2. Thresholds: 0-1 right give 1, 2 gives 3 (T2 = 1,
# T3 = 2), 3 gives 4, 4 gives 6.
block() { printf '<table width="120" bgcolor="#%s"><tr><td>%s</td></tr></table>' "$1" "$2"; }
{
  printf '%s\r\n' 'Tytul=Próba' 'Autor=Zespół Orbity' 'Opis=Cztery pytania o budowie atomu'
  printf '%s\r\n' 'Pytanie1=Ile protonów ma atom wodoru?' 'Opcja1=2' 'Opcja2=1' 'Opcja3=0' 'Odpowiedź=2'
  printf '%s\r\n' 'Pytanie2=Symbol sodu to' 'Opcja1=Na' 'Opcja2=S' 'Opcja3=So' 'Odpowiedź=1'
  printf '%s\r\n' 'Pytanie3=Gaz szlachetny to' 'Opcja1=azot' 'Opcja2=tlen' 'Opcja3=neon' 'Odpowiedź=3'
  printf '%s\r\n' 'Pytanie4=Liczba atomowa węgla' 'Opcja1=12' 'Opcja2=6' 'Opcja3=14' 'Odpowiedź=2'
  printf 'Ocena1=0:%s\r\n' "$(block 0000FF jeden)"
  printf 'Ocena2=1:%s\r\n' "$(block FF00FF dwa)"
  printf 'Ocena3=2:%s\r\n' "$(block 00FFFF trzy)"
  printf 'Ocena4=3:%s\r\n' "$(block FFFF00 cztery)"
  printf 'Ocena5=4:%s\r\n' "$(block 808000 piec)"
  printf 'Ocena6=4:%s\r\n' "$(block 00FF00 szesc)"
} >"$PKG/TEST.TXT"
"$ORBITA_TOOL" archive pack --from-utf8 "$PKG/" "$ORBITA_PROGRAM_DIR/TESTY/Proba.obt" >/dev/null \
  || fail "the test package could not be packed"

save_shot() { [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$1" "$ORBITA_SCREENSHOT_DIR/$2"; return 0; }
# Pixels of the exact colour RRGGBB in the window's picture.
colour_pixels() {
  window_shot "$1" "$E2E_TMP/colour.png"
  convert "$E2E_TMP/colour.png" txt:- | grep -c "#$2" || true
}
# Waits until the window shows at least MIN (500) pixels of the colour.
wait_colour() {
  local id=$1 colour=$2 min=${3:-500}
  for _ in $(seq $((E2E_WAIT * 4))); do
    [ "$(colour_pixels "$id" "$colour")" -ge "$min" ] && return 0
    sleep 0.25
  done
  return 1
}
# Answers the question on screen with option K: Tab into the options, Space
# ticks the first, Down moves the tick; Enter submits. Waits for the next page.
answer() {
  local k=$1
  window_shot "$test" "$E2E_TMP/before.png"
  xdotool key Tab space
  for _ in $(seq $((k - 1))); do xdotool key Down; done
  xdotool key Return
  wait_picture_change "$test" "$E2E_TMP/before.png" "$E2E_TMP/after.png" "$CLOCK_HOLE" \
    || fail "answer $k changed nothing"
}
# The results page with its grade block: the colours of the other grades are absent.
expect_grade() {
  local grade=$1 colour=$2 other
  wait_colour "$test" "$colour" || fail "no grade $grade on the results page"
  for other in 0000FF FF00FF 00FFFF FFFF00 808000 00FF00; do
    [ "$other" = "$colour" ] && continue
    [ "$(colour_pixels "$test" "$other")" -lt 50 ] || fail "grade $grade: another grade's colour $other shows too"
  done
  pass "results page with grade $grade"
}

start_quiet_table
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key e
test=$(wait_window '^Test chemiczny$') || fail "F8, E opened no test window"
pass "F8, E: Test chemiczny"
eval "$(xdotool getwindowgeometry --shell "$test")"
# The status line with the clock: below the notebook, left of the buttons.
CLOCK_HOLE="${WIDTH}x40+0+$((HEIGHT - 40))"
save_shot "$test" test-choice.png

# Start without a choice.
xdotool windowfocus --sync "$test" key alt+r
wait_window '^Nie wybrano testu$' >/dev/null || fail "Rozpocznij without a choice asked nothing"
xdotool key Return
wait_gone '^Nie wybrano testu$' || fail "the box stayed"
pass "no choice: Nie wybrano testu"

# Run 1: every answer right.
# The list has the focus and its first row is the current one: Space selects it.
xdotool windowfocus --sync "$test" key space Return
wait_window '^Test chemiczny \[Próba\]$' >/dev/null || fail "Enter on the chosen test did not start it"
sleep 0.5
save_shot "$test" test-question.png
# Enter with nothing ticked: the box, and the question stays.
xdotool key Return
wait_window '^Nic nie zaznaczono$' >/dev/null || fail "Enter without an option asked nothing"
xdotool key Return
wait_gone '^Nic nie zaznaczono$' || fail "the box stayed"
pass "no option: Nic nie zaznaczono"
# Esc asks; Enter answers No (the default) and the run goes on.
xdotool windowfocus --sync "$test" key Escape
wait_window '^Przerwij test$' >/dev/null || fail "Esc during the run asked nothing"
xdotool key Return
wait_gone '^Przerwij test$' || fail "the stop box stayed"
[ "$(xdotool getwindowname "$test")" = "Test chemiczny [Próba]" ] || fail "Enter on the stop box stopped the run"
pass "Esc during the run asks; Enter answers No and the run goes on"
xdotool windowfocus --sync "$test"
for k in 2 1 3 2; do answer "$k"; done
expect_grade 6 00FF00
save_shot "$test" test-results.png

# Run 2: wrong answers to questions 1 and 3, with the correct answers shown.
xdotool key Return # back to the choice
wait_window '^Test chemiczny$' >/dev/null || fail "Enter on the results did not go back to the choice"
xdotool key alt+d # "Wyświetlaj prawidłowe odpowiedzi"
xdotool key alt+r
wait_window '^Test chemiczny \[Próba\]$' >/dev/null || fail "Rozpocznij did not start the run again"
sleep 0.5
answer 1 # wrong: the correct-answer page ("Odpowiedź:" in red)
wait_colour "$test" FF0000 20 || fail "no correct-answer page after a wrong answer"
pass "a wrong answer shows the correct one"
window_shot "$test" "$E2E_TMP/before.png"
xdotool key Return
wait_picture_change "$test" "$E2E_TMP/before.png" "$E2E_TMP/after.png" "$CLOCK_HOLE" || fail "Next changed nothing"
answer 1
answer 1 # wrong
window_shot "$test" "$E2E_TMP/before.png"
xdotool key Return
wait_picture_change "$test" "$E2E_TMP/before.png" "$E2E_TMP/after.png" "$CLOCK_HOLE" || fail "Next changed nothing"
answer 2
expect_grade 3 00FFFF # two right: T3 = 2

# Run 3: stopped with Yes.
xdotool key Return
wait_window '^Test chemiczny$' >/dev/null || fail "Enter on the results did not go back to the choice"
xdotool key alt+r
wait_window '^Test chemiczny \[Próba\]$' >/dev/null || fail "Rozpocznij did not start the run"
xdotool key Escape
wait_window '^Przerwij test$' >/dev/null || fail "Esc asked nothing"
xdotool key alt+t
wait_window '^Test chemiczny$' >/dev/null || fail "Yes did not stop the run"
pass "Esc, Tak: the run stopped"

xdotool windowfocus --sync "$test" key Escape
wait_gone '^Test chemiczny' || fail "Esc off the run left the window open"
pass "Esc on the choice closes the window"
