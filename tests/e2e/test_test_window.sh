#!/usr/bin/env bash
# The chemistry test window from the main window's utilities menu (F8, E),
# run on the five packages of the program folder:
# - "Rozpocznij" without a choice asks for one; the list selects its row when
#   it takes the focus, arrows pick a package and Enter starts it;
# - Enter with no option ticked asks "Nic nie zaznaczono" and the question
#   stays; Esc during a run asks "Przerwij test" (Enter answers No and the run
#   goes on; Tak stops it); Esc on the choice closes the window;
# - one run with every answer right, then one run of every package with a
#   chosen set of wrong answers (with "Wyświetlaj prawidłowe odpowiedzi"
#   ticked for some: each wrong answer but the last shows the correct option;
#   a wrong last answer goes straight to the results). Each run ends on the
#   results with the count of right answers, the grade its Ocena
#   thresholds give and that grade's description;
# - the clock: the status line ticks during a run, and each results' time
#   lies between what the script measured around the run.
# (Closing through the desktop needs a window manager, which the private
# server has not: the offscreen window tests cover it.)
#
# The correct options, the thresholds and the descriptions are read from the
# packages' sources (content/TESTY/<Name>/TEST.TXT). Pages are read as text:
# Ctrl+A, Ctrl+C in the focused page view and the clipboard through xclip.
# With ORBITA_SCREENSHOT_DIR set, the catalogue, a question and a results
# page are saved there (test-katalog.png, test-pytanie.png, test-wynik.png).
source "$(dirname "$0")/lib.sh"
SOURCE_DIR=${ORBITA_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
start_xvfb
make_program_dir
mkdir -p "$ORBITA_PROGRAM_DIR/TESTY"
PACKAGES=(Budowa_atomu Chemia_organiczna Kwasy_zasady_sole Stechiometria Wiazania) # the list's order
for name in "${PACKAGES[@]}"; do
  [ -f "$SOURCE_DIR/content/TESTY/$name/TEST.TXT" ] || fail "no source of the package $name"
  cp "$ORBITA_BUILT_PROGRAM_DIR/TESTY/$name.obt" "$ORBITA_PROGRAM_DIR/TESTY/" || fail "the package $name is not built"
done

# The questions wrong in each package's second run, as an arithmetic test of
# n, and whether that run shows the correct answers.
declare -A WRONG=([Budowa_atomu]='n % 4 != 0' [Chemia_organiczna]='n % 2 == 0'
  [Kwasy_zasady_sole]='n % 3 == 0' [Stechiometria]='n % 5 == 0' [Wiazania]='n % 12 == 0')
declare -A SHOW=([Budowa_atomu]=0 [Chemia_organiczna]=0 [Kwasy_zasady_sole]=1 [Stechiometria]=1 [Wiazania]=1)

# ---- the package's source ----
# Loads TITLE, COUNT, ANSWER[n], OPTIONS[n], QUESTION[n], CORRECT_TEXT[n],
# THRESHOLD[g] (empty when absent) and DESCRIPTION[g] from TEST.TXT.
load_package() {
  local kind a b c d e
  TITLE='' COUNT=0 ANSWER=() OPTIONS=() QUESTION=() CORRECT_TEXT=() THRESHOLD=() DESCRIPTION=()
  while IFS=$'\t' read -r kind a b c d e; do
    case $kind in
      title) TITLE=$a ;;
      q) COUNT=$((COUNT + 1)); [ "$a" = "$COUNT" ] || fail "$1: question $a out of order"
        OPTIONS[a]=$b ANSWER[a]=$c QUESTION[a]=$d CORRECT_TEXT[a]=$e ;;
      grade) THRESHOLD[a]=$b DESCRIPTION[a]=$c ;;
    esac
  done < <(awk '
    { sub(/\r$/, ""); eq = index($0, "=") }
    /^Tytul=/ { print "title\t" substr($0, eq + 1) }
    /^Pytanie[0-9]+=/ { n = substr($0, 8, eq - 8); order[++count] = n; text[n] = substr($0, eq + 1); options[n] = 0 }
    /^Opcja[0-9]+=/ { option[n, substr($0, 6, eq - 6)] = substr($0, eq + 1); options[n]++ }
    /^Odpowied/ { answer[n] = substr($0, eq + 1) }
    /^Ocena[1-6]=/ { rest = substr($0, 8); colon = index(rest, ":")
      print "grade\t" substr($0, 6, 1) "\t" substr(rest, 1, colon - 1) "\t" substr(rest, colon + 1) }
    END { for (i = 1; i <= count; i++) { n = order[i]
      print "q\t" n "\t" options[n] "\t" answer[n] "\t" text[n] "\t" option[n, answer[n]] } }
  ' "$SOURCE_DIR/content/TESTY/$1/TEST.TXT")
  [ "$COUNT" -gt 0 ] && [ -n "$TITLE" ] || fail "$1: the source could not be read"
}
# The grade for C right answers: 1 up to T2, else the highest of 3..6 whose
# threshold C reaches, else 2.
grade_for() {
  local c=$1 g
  [ -n "${THRESHOLD[2]:-}" ] && [ "$c" -le "${THRESHOLD[2]}" ] && { echo 1; return; }
  for g in 6 5 4 3; do
    [ -n "${THRESHOLD[g]:-}" ] && [ "${THRESHOLD[g]}" -le "$c" ] && { echo "$g"; return; }
  done
  [ -n "${THRESHOLD[2]:-}" ] && echo 2 || echo 1
}
# Text as the page shows it, for comparing: no tags, no white space.
squeeze() { sed -e 's/<[^>]*>//g' <<<"$1" | tr -d ' \t\r\n'; }
contains_text() { [[ "$(squeeze "$1")" == *"$(squeeze "$2")"* ]]; }

# ---- the window ----
save_shot() { [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$test" "$ORBITA_SCREENSHOT_DIR/$1"; return 0; }
now_ms() { date +%s%3N; }
# Copies the focused page view until its text starts with PREFIX; sets PAGE.
# The clipboard is read first: the keys that led here may have copied already.
copy_keys=(ctrl+a ctrl+c)
wait_page() {
  local prefix=$1
  for _ in $(seq $((E2E_WAIT * 20))); do
    PAGE=$(xclip -o -selection clipboard 2>/dev/null || true)
    [[ "$PAGE" == "$prefix"* ]] && return 0
    xdotool key --delay 1 "${copy_keys[@]}"
    sleep 0.03
  done
  fail "no page starting with '$prefix' (last copied: ${PAGE:0:80})"
}
# Ticks option K of the question on screen and submits it (Tab into the
# options, Space ticks the first, Down moves the tick, Enter), then copies the
# page that follows.
tick() {
  local keys=(Tab space) i
  for ((i = 1; i < $1; i++)); do keys+=(Down); done
  xdotool key --delay 1 "${keys[@]}" Return "${copy_keys[@]}"
}
# The status line's clock: its left part (the elapsed time; the count of the
# questions left is on the right).
clock_shot() {
  window_shot "$test" "$E2E_TMP/window.png"
  convert "$E2E_TMP/window.png" -crop "240x30+0+$((HEIGHT - 40))" +repage "$1"
}
regex() { sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$1"; }

# Picks the package at ROW of the list with the keyboard and starts it with
# Enter; with TOGGLE set, ticks or clears "Wyświetlaj prawidłowe odpowiedzi"
# first (Alt+D, which takes the focus) and starts with Alt+R.
start_package() {
  local row=$1 toggle=${2:-0} keys=(Home) i
  for ((i = 0; i < row; i++)); do keys+=(Down); done
  if [ "$toggle" = 1 ]; then keys+=(alt+d alt+r); else keys+=(Return); fi
  # No copy of an earlier run's page is taken for this run's.
  printf '' | xclip -selection clipboard -i
  T_START=$(now_ms)
  xdotool key "${keys[@]}"
  wait_window "^Test chemiczny \[$(regex "$TITLE")\]\$" >/dev/null || fail "${PACKAGES[row]}: did not start $TITLE"
}
# One run of the started package: question n is answered wrongly when
# WRONG_TEST holds for it. Checks each page and the results.
run_package() {
  local name=$1 wrong_test=$2 show=$3 n k right=0 grade
  wait_page "1:"
  T_FIRST=$(now_ms)
  for ((n = 1; n <= COUNT; n++)); do
    [ "$n" -eq 1 ] || wait_page "$n:"
    # A copy taken while the page was being replaced is taken again.
    for _ in $(seq 20); do
      contains_text "$PAGE" "$n:${QUESTION[n]}" && break
      sleep 0.1
      xdotool key --delay 1 "${copy_keys[@]}"
      sleep 0.05
      PAGE=$(xclip -o -selection clipboard 2>/dev/null || true)
    done
    contains_text "$PAGE" "$n:${QUESTION[n]}" || fail "$name: question $n shows '${PAGE:0:80}'"
    if ((wrong_test)); then
      k=$((ANSWER[n] % OPTIONS[n] + 1))
    else
      k=${ANSWER[n]}
      right=$((right + 1))
    fi
    tick "$k"
    # A wrong answer shows the correct one, but the last goes straight to the results.
    if [ "$k" != "${ANSWER[n]}" ] && [ "$show" = 1 ] && [ "$n" -lt "$COUNT" ]; then
      wait_page "Pytanie:"
      contains_text "$PAGE" "Pytanie:${QUESTION[n]}Odpowiedź:${CORRECT_TEXT[n]}" \
        || fail "$name: question $n: the correct answer page shows '$PAGE'"
      xdotool key --delay 1 Return "${copy_keys[@]}"
    fi
  done
  T_LAST=$(now_ms)
  wait_page "Tytuł testu:"
  T_RESULTS=$(now_ms)
  grade=$(grade_for "$right")
  contains_text "$PAGE" "Tytuł testu:$TITLE" || fail "$name: results of another test: $PAGE"
  [[ "$PAGE" == *$'Poprawnych odpowiedzi:\t'"$right"$'\n'* ]] || fail "$name: not $right right answers: $PAGE"
  [[ "$PAGE" == *$'Błędnych odpowiedzi:\t'"$((COUNT - right))"$'\n'* ]] || fail "$name: wrong count: $PAGE"
  [[ "$PAGE" == *$'Ilość pytań:\t'"$COUNT"$'\n'* ]] || fail "$name: not $COUNT questions: $PAGE"
  [[ "$PAGE" == *$'Ocena:\t'"$grade"$'\n'* ]] || fail "$name: $right right answers should give grade $grade: $PAGE"
  contains_text "$PAGE" "Ocena:$grade${DESCRIPTION[grade]}" || fail "$name: not the description of grade $grade: $PAGE"
  check_clock "$name"
  pass "$name: $right of $COUNT right$( [ "$show" = 1 ] && echo ', the correct answers shown') gives grade $grade"
}
# The run's time on the results lies between the time from the first
# question seen to the last answer sent and the time from the start to the
# results seen; the average is that time over the question count.
check_clock() {
  local hms seconds low high
  hms=$(sed -n 's/^Czas wykonywania testu:\t\([0-9][0-9]\):\([0-9][0-9]\):\([0-9][0-9]\)$/\1 \2 \3/p' <<<"$PAGE")
  [ -n "$hms" ] || fail "$1: no time on the results: $PAGE"
  read -r h m s <<<"$hms"
  seconds=$((10#$h * 3600 + 10#$m * 60 + 10#$s))
  low=$(((T_LAST - T_FIRST) / 1000)) high=$(((T_RESULTS - T_START) / 1000))
  [ "$seconds" -ge "$low" ] && [ "$seconds" -le "$high" ] \
    || fail "$1: the run took $seconds s, measured between $low and $high s"
  [[ "$PAGE" == *$'Średni czas odpowiedzi:\t'"$((seconds / COUNT)) sekund"* ]] || fail "$1: wrong average: $PAGE"
}
back_to_choice() {
  xdotool key Return
  wait_window '^Test chemiczny$' >/dev/null || fail "Enter on the results did not go back to the choice"
}

start_quiet_table
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key e
test=$(wait_window '^Test chemiczny$') || fail "F8, E opened no test window"
pass "F8, E: Test chemiczny"
xdotool windowfocus --sync "$test"
eval "$(xdotool getwindowgeometry --shell "$test")"
sleep 0.5
save_shot test-katalog.png

# The list took the focus and selected its first row: Ctrl+Space clears the
# choice, and Rozpocznij without one asks for it.
xdotool key ctrl+space alt+r
wait_window '^Nie wybrano testu$' >/dev/null || fail "Rozpocznij without a choice asked nothing"
xdotool key Return
wait_gone '^Nie wybrano testu$' || fail "the box stayed"
pass "no choice: Nie wybrano testu"
xdotool windowfocus --sync "$test"

# Run 1: every answer of the first package right, with the boxes on its first question.
load_package "${PACKAGES[0]}"
start_package 0
wait_page "1:"
save_shot test-pytanie.png
xdotool key Return # nothing ticked: the box, and the question stays
wait_window '^Nic nie zaznaczono$' >/dev/null || fail "Enter without an option asked nothing"
xdotool key Return
wait_gone '^Nic nie zaznaczono$' || fail "the box stayed"
pass "no option: Nic nie zaznaczono"
xdotool windowfocus --sync "$test" key Escape # Esc asks; Enter answers No and the run goes on
wait_window '^Przerwij test$' >/dev/null || fail "Esc during the run asked nothing"
xdotool key Return
wait_gone '^Przerwij test$' || fail "the stop box stayed"
[ "$(xdotool getwindowname "$test")" = "Test chemiczny [$TITLE]" ] || fail "Enter on the stop box stopped the run"
pass "Esc during the run asks; Enter answers No and the run goes on"
xdotool windowfocus --sync "$test"
# The clock on the status line ticks while the question waits.
clock_shot "$E2E_TMP/clock-before.png"
for _ in $(seq $((E2E_WAIT * 4))); do
  sleep 0.25
  clock_shot "$E2E_TMP/clock-after.png"
  [ "$(differing_pixels "$E2E_TMP/clock-before.png" "$E2E_TMP/clock-after.png")" -gt 0 ] && break
done
[ "$(differing_pixels "$E2E_TMP/clock-before.png" "$E2E_TMP/clock-after.png")" -gt 0 ] || fail "the clock stood still"
pass "the clock on the status line ticks"
run_package "${PACKAGES[0]}" 0 0
# The picture without the copy's selection: a click in the page clears it.
xdotool mousemove --window "$test" $((WIDTH / 2)) $((HEIGHT - 80)) click 1
sleep 0.3
save_shot test-wynik.png

# Every package with its chosen wrong answers.
shown=0
for row in "${!PACKAGES[@]}"; do
  name=${PACKAGES[row]}
  back_to_choice
  toggle=0
  [ "${SHOW[$name]}" = "$shown" ] || { toggle=1; shown=${SHOW[$name]}; }
  load_package "$name"
  start_package "$row" "$toggle"
  run_package "$name" "${WRONG[$name]}" "$shown"
done

# A run stopped with Tak.
back_to_choice
xdotool key alt+r
wait_window '^Test chemiczny \[' >/dev/null || fail "Rozpocznij did not start the run"
xdotool key Escape
wait_window '^Przerwij test$' >/dev/null || fail "Esc asked nothing"
xdotool key alt+t
wait_window '^Test chemiczny$' >/dev/null || fail "Tak did not stop the run"
pass "Esc, Tak: the run stopped"

xdotool windowfocus --sync "$test" key Escape
wait_gone '^Test chemiczny' || fail "Esc off the run left the window open"
pass "Esc on the choice closes the window"
