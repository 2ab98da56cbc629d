#!/usr/bin/env bash
# The settings window from the main window (F11): it opens at the first page
# with the account's name; Down walks the tree through its eight pages; Esc
# closes it and keeps only the page; on "Główne", Alt+Z ticks "Zapamiętuj
# pozycje okien" and Enter confirms, which stores SaveWindowsPlacement = 1
# and nothing else of the page.
#
# The program folder holds the shipped skins, so the Karnacje page lists them.
# With ORBITA_SCREENSHOT_DIR set, every page's picture is saved there
# (settings-<page>.png).
source "$(dirname "$0")/lib.sh"
start_xvfb
make_program_dir
cp -r "$ORBITA_BUILT_PROGRAM_DIR/KARNACJE" "$ORBITA_PROGRAM_DIR/"
start_quiet_table
profile='Software\Orbita\Administrator'

xdotool windowfocus --sync "$table" key F11
settings=$(wait_window '^Ustawienia$') || fail "F11 opened no settings window"
pass "F11: Ustawienia ($(window_size "$settings"))"

pages=(program glowne integracja dzwieki karnacje narzedzia profil kopia)
for i in "${!pages[@]}"; do
  [ "$i" -gt 0 ] && xdotool key Down
  if [ -n "${ORBITA_SCREENSHOT_DIR:-}" ]; then
    sleep 0.3
    settled_shot "$settings" "$ORBITA_SCREENSHOT_DIR/settings-${pages[$i]}.png"
  fi
done
xdotool key Escape
wait_gone '^Ustawienia$' || fail "Esc did not close the settings window"
[ "$(reg_value "$profile" SetupTab)" = "dword:00000007" ] || fail "SetupTab is $(reg_value "$profile" SetupTab), not 7"
[ -z "$(reg_value "$profile" SaveWindowsPlacement)" ] || fail "Esc wrote SaveWindowsPlacement"
pass "Esc: closed on the last page, SetupTab = 7, nothing else written"

xdotool windowfocus --sync "$table" key F11
settings=$(wait_window '^Ustawienia$') || fail "F11 opened no settings window again"
xdotool key Home Down
sleep 0.3
xdotool key alt+z
sleep 0.3
xdotool key Return
wait_gone '^Ustawienia$' || fail "Enter did not confirm the settings window"
[ "$(reg_value "$profile" SaveWindowsPlacement)" = "dword:00000001" ] \
  || fail "SaveWindowsPlacement is '$(reg_value "$profile" SaveWindowsPlacement)', not 1"
[ "$(reg_value "$profile" SetupTab)" = "dword:00000001" ] || fail "SetupTab is not 1"
[ -z "$(reg_value "$profile" ShowHint)" ] || fail "an unchanged box was written"
pass "Alt+Z, Enter: SaveWindowsPlacement = 1, ShowHint not written, SetupTab = 1"
