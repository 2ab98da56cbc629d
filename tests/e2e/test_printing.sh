#!/usr/bin/env bash
# Printing from the three windows that print, through the real print
# preview: Ctrl+P opens "Podgląd wydruku", its "Zapisz jako PDF…" (Ctrl+S)
# asks for a file in the program's save dialog, and the PDF written there is
# read back with pdfinfo and pdftoppm:
# - the element window on iron (its details page): one sheet or more, text
#   at the top of the first;
# - the reference tables on a long table: several sheets, each with text;
# - the chemistry test's results page, after a run of the first package.
# With ORBITA_SCREENSHOT_DIR set, the sheets of each PDF are saved there at
# 50 dpi (print-element-N.png, print-tables-N.png, print-test-N.png).
source "$(dirname "$0")/lib.sh"
command -v pdftoppm >/dev/null && command -v pdfinfo >/dev/null || { echo "skip: poppler-utils missing"; exit 77; }
start_xvfb
make_program_dir
mkdir -p "$ORBITA_PROGRAM_DIR/TESTY" "$E2E_TMP/pdf"
cp "$ORBITA_BUILT_PROGRAM_DIR/TESTY/Budowa_atomu.obt" "$ORBITA_PROGRAM_DIR/TESTY/" || fail "the test package is not built"

pages_of() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }
# Dark pixels (text) in the top quarter of sheet N of the PDF at 50 dpi.
dark_top() {
  local pdf=$1 n=$2 png=$E2E_TMP/sheet
  pdftoppm -png -r 50 -f "$n" -l "$n" -singlefile "$pdf" "$png" || return 1
  convert "$png.png" -crop "100%x25%+0+0" +repage -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:
}
keep_sheets() { # every sheet: NAME-1.png, NAME-2.png ...
  [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && pdftoppm -png -r 50 "$1" "$ORBITA_SCREENSHOT_DIR/$2"
  return 0
}
# Ctrl+P in WINDOW, then "Zapisz jako PDF…" in the preview to FILE.
print_to_pdf() {
  local window=$1 file=$2 preview dialog
  xdotool windowfocus --sync "$window" key ctrl+p
  preview=$(wait_window '^Podgląd wydruku') || fail "Ctrl+P opened no print preview"
  sleep 1 # the preview paints its pages
  xdotool windowfocus --sync "$preview" key ctrl+s
  dialog=$(wait_window '^Zapisz wydruk jako PDF$') || fail "Ctrl+S in the preview asked for no file"
  xdotool windowfocus --sync "$dialog" key ctrl+a
  xdotool type --delay 5 "$file"
  xdotool key Return
  wait_gone '^Podgląd wydruku' || fail "the preview stayed after saving"
  [ -s "$file" ] || fail "no PDF at $file"
}

start_quiet_table

# --- The element window on iron --------------------------------------------
xdotool mousemove --window "$table" 232 180 click 1
element=$(wait_window '^Informacje o pierwiastku \[Żelazo\]$') || fail "a click on iron opened no window"
print_to_pdf "$element" "$E2E_TMP/pdf/zelazo.pdf"
n=$(pages_of "$E2E_TMP/pdf/zelazo.pdf")
[ "${n:-0}" -ge 1 ] || fail "the iron PDF has no pages"
dark=$(dark_top "$E2E_TMP/pdf/zelazo.pdf" 1)
[ "$dark" -gt 200 ] || fail "the top of the iron sheet is blank ($dark dark pixels)"
keep_sheets "$E2E_TMP/pdf/zelazo.pdf" print-element
pass "element window: zelazo.pdf, $n sheet(s), $dark dark pixels at the top of the first"
xdotool windowfocus --sync "$element" key Escape
wait_gone '^Informacje o pierwiastku' || fail "Esc left the element window open"

# --- The reference tables on a long table ----------------------------------
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key t
tables=$(wait_window '^Tablice chemiczne') || fail "F8, T opened no tables window"
# The electronegativity table, a long one: its link in the list (the list's
# sixth entry at the window's opening size, 640 x 454).
sleep 1
xdotool mousemove --window "$tables" 50 284 click 1
wait_window '^Tablice chemiczne \[Elektroujemno' >/dev/null || fail "the list's link opened no electronegativity table"
print_to_pdf "$tables" "$E2E_TMP/pdf/tablice.pdf"
n=$(pages_of "$E2E_TMP/pdf/tablice.pdf")
[ "${n:-0}" -ge 2 ] || fail "the electronegativity table printed on ${n:-0} sheet(s), not several"
for ((i = 1; i <= n; i++)); do
  dark=$(dark_top "$E2E_TMP/pdf/tablice.pdf" "$i")
  [ "$dark" -gt 100 ] || fail "sheet $i of the tables is blank at the top ($dark)"
done
keep_sheets "$E2E_TMP/pdf/tablice.pdf" print-tables
pass "tables window: $(xdotool getwindowname "$tables"): tablice.pdf, $n sheets, text on each"
xdotool windowfocus --sync "$tables" key Escape
wait_gone '^Tablice chemiczne' || fail "Esc left the tables open"

# --- The chemistry test's results --------------------------------------------
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key e
test=$(wait_window '^Test chemiczny$') || fail "F8, E opened no test window"
xdotool windowfocus --sync "$test"
sleep 0.5
count=$(grep -c '^Pytanie[0-9]*=' "${ORBITA_SOURCE_DIR:-$(dirname "$0")/../..}/content/TESTY/Budowa_atomu/TEST.TXT" || true)
[ "$count" -gt 0 ] || fail "no questions in the package's source"
printf '' | xclip -selection clipboard -i
xdotool key Home Return
wait_window '^Test chemiczny \[' >/dev/null || fail "the test did not start"
copied() { xclip -o -selection clipboard 2>/dev/null || true; }
wait_copy() { # until the focused page's text starts with $1
  for _ in $(seq $((E2E_WAIT * 20))); do
    [[ "$(copied)" == "$1"* ]] && return 0
    xdotool key --delay 1 ctrl+a ctrl+c
    sleep 0.03
  done
  fail "no page starting with '$1' (last: $(copied | head -c 80))"
}
for ((q = 1; q <= count; q++)); do
  wait_copy "$q:"
  xdotool key --delay 1 Tab space Return # the first option of each question
done
wait_copy "Tytuł testu:"
print_to_pdf "$test" "$E2E_TMP/pdf/wyniki.pdf"
n=$(pages_of "$E2E_TMP/pdf/wyniki.pdf")
[ "${n:-0}" -eq 1 ] || fail "the results printed on ${n:-0} sheets, not one"
dark=$(dark_top "$E2E_TMP/pdf/wyniki.pdf" 1)
[ "$dark" -gt 100 ] || fail "the top of the results sheet is blank ($dark)"
keep_sheets "$E2E_TMP/pdf/wyniki.pdf" print-test
pass "test window: wyniki.pdf, 1 sheet, $dark dark pixels at the top"
xdotool windowfocus --sync "$test" key Escape
wait_gone '^Test chemiczny' || fail "Esc left the test window open"
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key w
properties=$(wait_window '^Tablica właściwości$') || fail "F8, W opened no property table"
sleep 0.5
print_to_pdf "$properties" "$E2E_TMP/pdf/wlasciwosci.pdf"
n=$(pages_of "$E2E_TMP/pdf/wlasciwosci.pdf")
[ "${n:-0}" -eq 1 ] || fail "the property table printed on ${n:-0} sheets, not one"
size=$(pdfinfo "$E2E_TMP/pdf/wlasciwosci.pdf" | awk '/^Page size:/ { print $3, $5 }')
read -r width height <<<"$size"
awk -v w="$width" -v h="$height" 'BEGIN { exit !(w > h) }' || fail "the handout is not landscape ($size)"
dark=$(dark_top "$E2E_TMP/pdf/wlasciwosci.pdf" 1)
[ "$dark" -gt 100 ] || fail "the top of the handout is blank ($dark)"
keep_sheets "$E2E_TMP/pdf/wlasciwosci.pdf" print-properties
pass "property table: wlasciwosci.pdf, 1 landscape sheet ($size pt), $dark dark pixels at the top"
xdotool windowfocus --sync "$properties" key Escape
wait_gone '^Tablica właściwości$' || fail "Esc left the property table open"

kill -TERM "$app"; wait_exit "$app" || fail "the program did not end"
