#!/usr/bin/env bash
# The document windows from the main window: F1 and Shift+F1 open "Pomoc"
# (a link on the legend and Backspace bring its pages and back),
# the utilities menu (F8) opens the reference tables and the dictionary; the
# dictionary shows its welcome page with the count, finds "wiązanie" as it is
# typed and keeps the keyword for the next opening.
#
# The content archive is packed from the sources; a dictionary or tables
# folder that the sources do not have yet is stood in for by a small one.
# With ORBITA_SCREENSHOT_DIR set, the pictures of the three windows are saved
# there (help.png, tables.png, dictionary.png).
source "$(dirname "$0")/lib.sh"
SRC=${ORBITA_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
start_xvfb
make_program_dir

CONTENT=$E2E_TMP/content
cp -r "$SRC/content/ORBITA" "$CONTENT"
if [ ! -f "$CONTENT/SLOWNIK/DANE.TXT" ]; then
  mkdir -p "$CONTENT/SLOWNIK"
  printf '%s\r\n' 'azotágaz, pierwiastek o liczbie atomowej 7' \
    'wiązanie chemiczneápołączenie atomów w cząsteczce' 'żelazoámetal przejściowy' \
    'kwasásubstancja oddająca proton' >"$CONTENT/SLOWNIK/DANE.TXT"
fi
if [ ! -f "$CONTENT/TABLICE/INDEX.HTM" ]; then
  mkdir -p "$CONTENT/TABLICE"
  printf '<title>Spis tablic</title><p><a href="INDEX.HTM">Spis</a>\r\n' >"$CONTENT/TABLICE/MENU.HTM"
  printf '<title>Tablice</title><p>Tablice chemiczne dla ucznia.\r\n' >"$CONTENT/TABLICE/INDEX.HTM"
fi
"$ORBITA_TOOL" archive pack --from-utf8 "$CONTENT/" "$ORBITA_PROGRAM_DIR/ORBITA.DAT" >/dev/null \
  || fail "the content archive could not be packed"
terms=$(grep -c 'á' "$CONTENT/SLOWNIK/DANE.TXT")

cat >"$E2E_TMP/profile.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Orbita\Administrator]
"StartupTip"=dword:00000000
"ExitPrompt"=dword:00000000
REG
"$ORBITA_TOOL" settings import "$E2E_TMP/profile.reg" --yes >/dev/null || fail "the profile could not be prepared"

save_shot() { [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$1" "$ORBITA_SCREENSHOT_DIR/$2"; return 0; }

start_orbita
app=$LAST_PID
table=$(wait_window '^Orbita$') || fail "no periodic table"
for _ in $(seq $((E2E_WAIT * 10))); do [ -z "$(windows_of_size "$app" 600x180)" ] && break; sleep 0.1; done

# --- Help ---------------------------------------------------------------------
xdotool windowfocus --sync "$table" key F1
help=$(wait_window '^Pomoc') || fail "F1 opened no help window"
pass "F1 on the main window: $(xdotool getwindowname "$help")"
xdotool windowfocus --sync "$help" key Escape
wait_gone '^Pomoc' || fail "Esc left the help window open"
xdotool windowfocus --sync "$table" key shift+F1
help=$(wait_window '^Pomoc \[Legenda\]$') || fail "Shift+F1 did not open the legend"
pass "Shift+F1: Pomoc [Legenda]"
sleep 0.5
save_shot "$help" help.png

# A link, then Back. The view draws links in the caption colour (1F3A6E);
# the topmost pixel of it below the buttons (and left of the scroll bar) is on
# one of the page's first links.
window_shot "$help" "$E2E_TMP/help.png"
read -r link_x link_y < <(convert "$E2E_TMP/help.png" txt:- | awk -F'[,: ]+' -v w="${GEOMETRY%%x*}" '
  /#1F3A6E/ && $2 >= 70 && $1 >= 10 && $1 < w - 30 { print $1 + 2, $2 + 1; exit }')
[ -n "${link_x:-}" ] || fail "no link seen on the legend page"
xdotool mousemove --window "$help" "$link_x" "$link_y" click 1
wait_gone '^Pomoc \[Legenda\]$' || fail "the link on the legend page did not open its page"
pass "a link: $(xdotool getwindowname "$help")"
xdotool windowfocus --sync "$help" key BackSpace
wait_window '^Pomoc \[Legenda\]$' >/dev/null || fail "Backspace did not go back to the legend"
pass "Backspace: back on the legend"
xdotool windowfocus --sync "$help" key Escape
wait_gone '^Pomoc' || fail "Esc left the help window open"

# --- Tables -------------------------------------------------------------------
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key t
tables=$(wait_window '^Tablice chemiczne') || fail "the utilities menu opened no tables window"
pass "F8, T: $(xdotool getwindowname "$tables")"
sleep 0.5
save_shot "$tables" tables.png
xdotool windowfocus --sync "$tables" key Escape
wait_gone '^Tablice chemiczne' || fail "Esc left the tables open"

# --- Dictionary -----------------------------------------------------------------
xdotool windowfocus --sync "$table" key F8
sleep 0.5
xdotool key s
dict=$(wait_window "^Słownik chemiczny \\[$terms terminów\\]$") || fail "no dictionary titled with $terms terms"
pass "F8, S: Słownik chemiczny [$terms terminów]"
xdotool windowfocus --sync "$dict" type --delay 50 'wiązanie'
sleep 0.5
save_shot "$dict" dictionary.png
xdotool windowfocus --sync "$dict" key Escape
wait_gone '^Słownik chemiczny' || fail "Esc left the dictionary open"
keyword=$(reg_value 'Software\Orbita\Administrator' DictionaryKeyword)
[ "$keyword" = '"wiązanie"' ] || fail "the keyword stored is $keyword, not \"wiązanie\""
pass "the keyword typed (wiązanie) is kept for the next opening"

kill "$app" 2>/dev/null || true
