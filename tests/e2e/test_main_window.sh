#!/usr/bin/env bash
# The two main windows under a real X server: the splash and then the
# periodic table cut to its mask, the ticking clock, the quit prompt on Esc,
# the launcher opening in the view style stored in DetailsOrder, and the skin
# package Niebieski with its temporary folder removed on closing.
#
# With ORBITA_SCREENSHOT_DIR set, the pictures of the windows are also saved
# there (table.png, niebieski.png, launcher-duze.png, launcher-male.png,
# launcher-lista.png, launcher-raport.png).
source "$(dirname "$0")/lib.sh"
# A failure shows what the program wrote.
fail() {
  echo "FAIL: $*" >&2
  for log in "$E2E_TMP"/orbita.*.log; do [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }; done
  exit 1
}
start_xvfb
# The server must be this script's own (a display number taken at the same
# moment by another process would leave the check talking to a stranger).
kill -0 "$XVFB_PID" 2>/dev/null || fail "the X server on $DISPLAY is not this check's own"
make_program_dir
cp -r "$ORBITA_BUILT_PROGRAM_DIR/KARNACJE" "$ORBITA_PROGRAM_DIR/"
SRC=${ORBITA_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
SHOTS=$E2E_TMP/shots
mkdir -p "$SHOTS"
PROFILE='HKEY_CURRENT_USER\Software\Orbita\Administrator'

# Writes values of the Administrator's profile: set_profile Name=dword:N ...
set_profile() {
  local file=$E2E_TMP/values.reg v
  { printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$PROFILE"
    for v in "$@"; do printf '"%s"=%s\r\n' "${v%%=*}" "${v#*=}"; done; } >"$file"
  "$ORBITA_TOOL" settings import "$file" --yes >/dev/null 2>&1 || fail "cannot write $*"
}

# Checks that the window's shape follows MASK: every pixel outside the mask
# shows the screen as it was before the window (the root window), and most
# pixels inside show the window. The window's picture is taken once it has
# settled (outside the clock), so windows closed just before have gone.
check_shape() {
  local id=$1 mask=$2 label=$3 hole=${4:-}
  local outside inside_total inside_diff
  convert "$mask" -colorspace gray -threshold 50% "$E2E_TMP/outside.png"
  inside_total=$(convert "$E2E_TMP/outside.png" -negate -format '%[fx:round(mean*w*h)]' info:)
  [ "$inside_total" -gt 100000 ] || fail "$label: the mask has only $inside_total pixels inside"
  for _ in $(seq "$E2E_WAIT"); do
    settled_shot "$id" "$E2E_TMP/win.png" "$hole"
    convert "$SHOTS/root.png" -crop "$GEOMETRY" +repage "$E2E_TMP/under.png"
    convert "$E2E_TMP/win.png" "$E2E_TMP/under.png" -compose difference -composite -colorspace gray -threshold 0 "$E2E_TMP/diff.png"
    outside=$(convert "$E2E_TMP/diff.png" "$E2E_TMP/outside.png" -compose multiply -composite -format '%[fx:round(mean*w*h)]' info:)
    inside_diff=$(convert "$E2E_TMP/diff.png" \( "$E2E_TMP/outside.png" -negate \) -compose multiply -composite -format '%[fx:round(mean*w*h)]' info:)
    [ "$outside" -eq 0 ] && [ $((inside_diff * 2)) -gt "$inside_total" ] && break
    sleep 1
  done
  [ "$outside" -eq 0 ] || fail "$label: $outside pixels outside the mask are not the root window"
  [ $((inside_diff * 2)) -gt "$inside_total" ] || fail "$label: only $inside_diff of $inside_total pixels inside the mask show the window"
  pass "$label: the shape follows the mask ($inside_diff of $inside_total inside pixels drawn, none outside)"
}

save_shot() { [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && cp "$1" "$ORBITA_SCREENSHOT_DIR/$2"; return 0; }

xdotool mousemove --sync 0 0 || true
import -window root "$SHOTS/root.png"

# --- A fresh start: the splash, then the table --------------------------------
start_orbita
pid=$LAST_PID
splash=
for _ in $(seq $((E2E_WAIT * 20))); do
  splash=$(windows_of_size "$pid" 600x180 | head -n 1)
  [ -n "$splash" ] && break
  sleep 0.05
done
[ -n "$splash" ] || fail "no splash screen (600x180) at the start"
pass "the splash screen shows first"
win=$(wait_window '^Orbita$') || fail "no main window"
[ "$(window_size "$win")" = 630x423 ] || fail "the main window is $(window_size "$win"), not 630x423"
for _ in $(seq $((E2E_WAIT * 10))); do
  xwininfo -id "$splash" 2>/dev/null | grep -q 'IsViewable' || break
  sleep 0.1
done
xwininfo -id "$splash" 2>/dev/null | grep -q 'IsViewable' && fail "the splash screen is still shown after $E2E_WAIT s"
pass "the splash closes and the 630x423 table stays"
tip=$(wait_window '^Porada dnia$') || fail "a fresh profile shows no tip of the day"
xdotool windowfocus --sync "$tip" key Escape
wait_gone '^Porada dnia$' || fail "Esc does not close the tip of the day"
pass "the tip of the day follows the splash"
clock=90x19+323+12
check_shape "$win" "$SRC/res/SKIN_MASK.png" "built-in skin" "$clock"
cp "$E2E_TMP/win.png" "$SHOTS/table.png"
save_shot "$SHOTS/table.png" table.png

# The clock ticks: the TIMETEXT area changes.
changed=0
for _ in $(seq $((E2E_WAIT * 4))); do
  sleep 0.25
  window_shot "$win" "$E2E_TMP/later.png"
  convert "$SHOTS/table.png" -crop "$clock" +repage "$E2E_TMP/c1.png"
  convert "$E2E_TMP/later.png" -crop "$clock" +repage "$E2E_TMP/c2.png"
  [ "$(differing_pixels "$E2E_TMP/c1.png" "$E2E_TMP/c2.png")" -gt 0 ] && { changed=1; break; }
done
[ "$changed" = 1 ] || fail "the clock does not change"
rest=$(differing_pixels "$SHOTS/table.png" "$E2E_TMP/later.png" "$clock")
[ "$rest" -eq 0 ] || fail "$rest pixels outside the clock changed"
pass "the clock ticks and nothing else changes"

# Esc with a fresh profile asks first; "Nie" keeps the table, "Tak" ends the run.
xdotool windowfocus --sync "$win" key Escape
quit=$(wait_window '^Zakończ$') || fail "Esc does not open the quit prompt"
xdotool windowfocus --sync "$quit" key Escape
wait_gone '^Zakończ$' || fail "the quit prompt stays after no"
wait_window '^Orbita$' >/dev/null || fail "answering no closed the table"
kill -0 "$pid" 2>/dev/null || fail "answering no ended the program"
xdotool windowfocus --sync "$win" key Escape
quit=$(wait_window '^Zakończ$') || fail "Esc does not open the quit prompt again"
xdotool windowfocus --sync "$quit" key Return
wait_exit "$pid" || fail "answering yes does not end the program"
pass "Esc opens the quit prompt; no keeps the window, yes ends the run"

# --- The launcher in the style stored in DetailsOrder -------------------------
set_profile StartupMode=dword:00000001 StartupTip=dword:00000000 ExitPrompt=dword:00000000
names=(duze male lista raport)
for order in 0 1 2 3; do
  set_profile "DetailsOrder=dword:0000000$order"
  start_orbita
  pid=$LAST_PID
  menu=$(wait_window '^Orbita [0-9]') || fail "DetailsOrder $order: no launcher"
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  settled_shot "$menu" "$SHOTS/launcher-$order.png" "186x21+$((WIDTH - 198))+$((HEIGHT - 35))"
  save_shot "$SHOTS/launcher-$order.png" "launcher-${names[$order]}.png"
  LAUNCHER_SIZE=${GEOMETRY%%+*}
  xdotool windowfocus --sync "$menu" key Escape
  wait_exit "$pid" || fail "DetailsOrder $order: Esc with ExitPrompt 0 does not close the launcher"
  [ "$(reg_value 'Software\Orbita\Administrator' DetailsOrder)" = "dword:0000000$order" ] \
    || fail "DetailsOrder $order is not kept on closing"
done
IFS=x read -r lw lh <<<"$LAUNCHER_SIZE"
clockhole="186x21+$((lw - 198))+$((lh - 35))"
for a in 0 1 2 3; do
  for b in 0 1 2 3; do
    [ "$a" -lt "$b" ] || continue
    [ "$(differing_pixels "$SHOTS/launcher-$a.png" "$SHOTS/launcher-$b.png" "$clockhole")" -gt 0 ] \
      || fail "the view styles $a and $b look alike"
  done
done
pass "the four view styles look different and each is kept in DetailsOrder"

# Choosing the report style from the view menu (F10, "&Szczegóły") stores it,
# and the next start shows the same picture as DetailsOrder 3.
set_profile DetailsOrder=dword:00000000
start_orbita
pid=$LAST_PID
menu=$(wait_window '^Orbita [0-9]') || fail "no launcher"
settled_shot "$menu" "$E2E_TMP/before-menu.png" "$clockhole"
# F10 opens the menu bar's first menu: a window of its own, then "s" chooses.
popups() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
shown=$(popups)
xdotool windowfocus --sync "$menu" key F10
for _ in $(seq $((E2E_WAIT * 10))); do [ "$(popups)" -gt "$shown" ] && break; sleep 0.1; done
[ "$(popups)" -gt "$shown" ] || fail "F10 opens no menu"
xdotool key s
for _ in $(seq $((E2E_WAIT * 10))); do [ "$(popups)" -le "$shown" ] && break; sleep 0.1; done
wait_picture_change "$menu" "$E2E_TMP/before-menu.png" "$E2E_TMP/after-menu.png" "$clockhole" \
  || fail "choosing the report style changes nothing"
xdotool windowfocus --sync "$menu" key Escape
wait_exit "$pid" || fail "the launcher did not close"
[ "$(reg_value 'Software\Orbita\Administrator' DetailsOrder)" = "dword:00000003" ] \
  || fail "the style chosen from the menu is not stored"
start_orbita
pid=$LAST_PID
menu=$(wait_window '^Orbita [0-9]') || fail "no launcher"
settled_shot "$menu" "$E2E_TMP/again.png" "$clockhole"
[ "$(differing_pixels "$SHOTS/launcher-3.png" "$E2E_TMP/again.png" "$clockhole")" -eq 0 ] \
  || fail "the launcher did not reopen in the report style"
xdotool windowfocus --sync "$menu" key Escape
wait_exit "$pid" || fail "the launcher did not close"
pass "the style chosen in the menu is stored and the launcher reopens in it"

# --- The skin package Niebieski ----------------------------------------------
set_profile StartupMode=dword:00000000 UseSkin=dword:00000001 'SkinFile="Niebieski.obs"'
start_orbita
pid=$LAST_PID
win=$(wait_window '^Orbita$') || fail "no main window with the skin package"
[ "$(window_size "$win")" = 630x423 ] || fail "the skinned window is $(window_size "$win")"
skin_dir=$XDG_RUNTIME_DIR/orbita/ORB_SKIN
[ -f "$skin_dir/ORBSKIN.INI" ] || fail "the package is not unpacked into $skin_dir"
# The splash goes first.
for _ in $(seq $((E2E_WAIT * 10))); do [ -z "$(windows_of_size "$pid" 600x180)" ] && break; sleep 0.1; done
check_shape "$win" "$SRC/content/KARNACJE/Niebieski/MASKA.PNG" "skin Niebieski" "$clock"
cp "$E2E_TMP/win.png" "$SHOTS/table-niebieski.png"
save_shot "$SHOTS/table-niebieski.png" niebieski.png
# The package's picture, not the built-in one: compare a plain spot of the
# normal picture (the window's top band, away from the texts).
convert "$SRC/content/KARNACJE/Niebieski/GLOWNY.PNG" -crop 40x8+200+40 +repage "$E2E_TMP/expect.png"
convert "$SHOTS/table-niebieski.png" -crop 40x8+200+40 +repage "$E2E_TMP/got.png"
[ "$(differing_pixels "$E2E_TMP/expect.png" "$E2E_TMP/got.png")" -eq 0 ] || fail "the window does not show the package's picture"
[ "$(differing_pixels "$SHOTS/table.png" "$SHOTS/table-niebieski.png" "$clock")" -gt 10000 ] \
  || fail "the package looks like the built-in skin"
pass "UseSkin 1 with Niebieski.obs shows the package"
xdotool windowfocus --sync "$win" key Escape
wait_exit "$pid" || fail "Esc with ExitPrompt 0 does not end the run"
[ -e "$skin_dir" ] && fail "the folder ORB_SKIN is left after closing"
pass "the temporary folder ORB_SKIN is gone after closing"
