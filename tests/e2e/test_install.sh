#!/usr/bin/env bash
# The program's own installer and uninstaller, driven with the keyboard under
# a private X server with a fresh HOME: the built program installs itself into
# a temporary folder, the installed program starts from there (with
# ORBITA_PROGRAM_DIR unset), the partial removal keeps the settings, the full
# removal takes the installed files, shortcuts and settings but leaves a file
# the user put into the folder, and nothing else in HOME changes.
#
# With ORBITA_SCREENSHOT_DIR set, the wizard's pages are saved there
# (install-<page>.png) and the uninstaller's window (uninstall.png).
source "$(dirname "$0")/lib.sh"
unset ORBITA_PROGRAM_DIR XDG_DATA_HOME XDG_CONFIG_HOME

start_xvfb
shot() {
  [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] || return 0
  settled_shot "$1" "$ORBITA_SCREENSHOT_DIR/$2"
}

# The built program folder, copied so that the installer runs from a folder
# of its own.
source_dir=$E2E_TMP/source
cp -r "$ORBITA_BUILT_PROGRAM_DIR" "$source_dir"
target=$E2E_TMP/programs/Orbita
apps=$HOME/.local/share/applications

# The profile: no tip of the day and no quit question when the installed
# program starts.
cat >"$E2E_TMP/profile.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Orbita\Administrator]
"StartupTip"=dword:00000000
"ExitPrompt"=dword:00000000
REG
"$ORBITA_TOOL" settings import "$E2E_TMP/profile.reg" --yes >/dev/null || fail "the profile could not be prepared"

listing() { (cd "$HOME" && find . \( -type f -o -type l \) -not -path './.cache/*' | LC_ALL=C sort); }
listing >"$E2E_TMP/home-before.txt"

uninstall_entry() {
  "$ORBITA_TOOL" settings export "$E2E_TMP/entry.reg" \
    'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\UnInstall\Orbita' >/dev/null 2>&1 \
    && grep -q '"UninstallString"=' "$E2E_TMP/entry.reg"
}

# The window ID offers the window manager its icon in both sizes.
expect_icon() {
  local sizes
  sizes=$(xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -u | tr '\n' ' ')
  [ "$sizes" = "Icon (16 x 16) Icon (32 x 32) " ] || fail "$2 has no icon in both sizes (found: ${sizes:-none})"
}

# Walks the wizard with Enter, ticking the licence box and the desktop
# shortcut with their keys, into $target; screenshots with a suffix.
install_program() {
  local pictures=$1 installer_pid wizard
  "$source_dir/orbita" /INSTALL >"$E2E_TMP/orbita.install.$RANDOM.log" 2>&1 &
  installer_pid=$!
  E2E_PIDS+=("$installer_pid")
  wizard=$(wait_window '^Instalator programu Orbita') || fail "no installer window"
  expect_icon "$wizard" "the installer's window"
  xdotool windowfocus --sync "$wizard"
  settled_shot "$wizard" "$E2E_TMP/page.png"
  # Each key is followed by a wait until the page has changed and settled.
  page_key() {
    xdotool key "$1"
    wait_picture_change "$wizard" "$E2E_TMP/page.png" "$E2E_TMP/next.png" || fail "$1 changed nothing"
    mv "$E2E_TMP/next.png" "$E2E_TMP/page.png"
    [ "$pictures" = yes ] && [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && cp "$E2E_TMP/page.png" "$ORBITA_SCREENSHOT_DIR/$2"
    return 0
  }
  [ "$pictures" = yes ] && [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && cp "$E2E_TMP/page.png" "$ORBITA_SCREENSHOT_DIR/install-welcome.png"
  page_key Return install-licence-unticked.png
  page_key alt+r install-licence.png
  page_key Return install-folder-proposed.png
  xdotool type --delay 5 "$target"
  settled_shot "$wizard" "$E2E_TMP/page.png"
  page_key Return install-shortcuts-empty.png
  page_key alt+u install-shortcuts.png
  page_key Return install-mode.png
  page_key Return install-access.png
  page_key Return install-ready.png
  xdotool key Return
  # The uninstall entry is the installation's last but one write (the
  # removal deletes it).
  for _ in $(seq $((E2E_WAIT * 10))); do
    uninstall_entry && break
    sleep 0.1
  done
  wait_picture_change "$wizard" "$E2E_TMP/page.png" "$E2E_TMP/next.png" || fail "the copy showed nothing"
  sleep 1.5
  settled_shot "$wizard" "$E2E_TMP/page.png"
  [ "$pictures" = yes ] && [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && cp "$E2E_TMP/page.png" "$ORBITA_SCREENSHOT_DIR/install-done.png"
  INSTALLER_PID=$installer_pid
}

install_program yes
[ -x "$target/orbita" ] || fail "the program was not installed"
[ -f "$target/ORBITA.DAT" ] || fail "the data package was not installed"
cmp -s "$source_dir/ORBITA.DAT" "$target/ORBITA.DAT" || fail "the data package differs"
ls "$target/KARNACJE/"*.obs >/dev/null 2>&1 || fail "the shipped skins were not installed"
[ -f "$apps/orbita/Orbita.desktop" ] || fail "no program group"
[ -f "$apps/orbita/Odinstalowanie.desktop" ] || fail "no uninstall entry in the group"
grep -q "^Exec=.*$target/orbita" "$apps/orbita/Orbita.desktop" || fail "the group does not start the installed program"
[ -n "$(find "$HOME" -maxdepth 2 -name Orbita.desktop -not -path "$apps/*")" ] || fail "no desktop shortcut"
[ "$(reg_value 'Software\Orbita' InstallPath)" = "\"$target\"" ] || fail "InstallPath: $(reg_value 'Software\Orbita' InstallPath)"
pass "installed into $target"

# Closing the last page starts the installed program.
xdotool key Return # Enter does nothing on the last page
sleep 0.3
kill -0 "$INSTALLER_PID" 2>/dev/null || fail "Enter closed the last page"
xdotool key Escape
wait_exit "$INSTALLER_PID" || fail "the installer did not end"
table=$(wait_window '^Orbita$') || fail "the installed program did not start"
app_pid=$(xdotool getwindowpid "$table")
E2E_PIDS+=("$app_pid")
[ "$(readlink "/proc/$app_pid/exe")" = "$target/orbita" ] || fail "the program runs from $(readlink "/proc/$app_pid/exe")"
tr '\0' '\n' <"/proc/$app_pid/environ" | grep -q '^ORBITA_PROGRAM_DIR=' && fail "ORBITA_PROGRAM_DIR was set"
pass "the installed program runs from the installation"
kill "$app_pid"
for _ in $(seq $((E2E_WAIT * 10))); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the installed program did not end"

# Removes with the uninstaller: $1 is "slim" or "full".
uninstall_program() {
  local scope=$1 window result
  "$target/orbita" /UNINSTALL >"$E2E_TMP/orbita.uninstall.$RANDOM.log" 2>&1 &
  E2E_PIDS+=("$!")
  window=$(wait_window '^Odinstalowanie programu Orbita') || fail "no uninstaller window"
  expect_icon "$window" "the uninstaller's window"
  [ "$scope" = slim ] && shot "$window" uninstall.png
  xdotool windowfocus --sync "$window"
  [ "$scope" = full ] && xdotool key alt+w
  xdotool key Return
  wait_window '^Odinstalowanie programu$' >/dev/null || fail "no confirmation"
  xdotool key alt+t
  result=$(wait_window '^Rezultat odinstalowania$') || fail "the removal did not report"
  xdotool windowfocus --sync "$result" key Return
  wait_gone '^Rezultat odinstalowania$' || fail "the result stayed"
  wait_gone '^Odinstalowanie programu' || fail "the uninstaller stayed"
}

uninstall_program slim
for f in orbita ORBITA.DAT INTRO.WAV; do [ -e "$target/$f" ] && fail "/SLIM left $f"; done
ls "$target/KARNACJE/"*.obs >/dev/null 2>&1 || fail "/SLIM removed the skins"
[ -e "$apps/orbita" ] && fail "/SLIM left the program group"
uninstall_entry && fail "/SLIM left the uninstall entry"
[ "$(reg_value 'Software\Orbita\Administrator' StartupTip)" = "dword:00000000" ] || fail "/SLIM lost the settings"
[ -e "${XDG_RUNTIME_DIR}/orbita/REMOVEME" ] && fail "the removal copy stayed"
pass "partial removal kept the settings and the skins"

install_program no
[ -x "$target/orbita" ] || fail "the second installation failed"
# Closing with "Uruchom program teraz" cleared starts nothing.
xdotool key alt+u Escape
wait_exit "$INSTALLER_PID" || fail "the installer did not end"
[ -z "$(xdotool search --onlyvisible --name '^Orbita$' 2>/dev/null)" ] || fail "the program started"
echo "moje notatki" >"$target/notatki ucznia.txt"
uninstall_program full
[ -f "$target/notatki ucznia.txt" ] || fail "/FULL removed the user's file"
leftover=$(cd "$target" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
[ "$leftover" = "./notatki ucznia.txt " ] || fail "/FULL left: $leftover"
[ -e "$apps/orbita" ] && fail "/FULL left the program group"
[ -n "$(find "$HOME" -name Orbita.desktop)" ] && fail "/FULL left a shortcut"
[ -z "$(reg_value 'Software\Orbita\Administrator' StartupTip)" ] || fail "/FULL left the settings"
pass "full removal took the installation and kept the user's file"

listing >"$E2E_TMP/home-after.txt"
diff -u "$E2E_TMP/home-before.txt" "$E2E_TMP/home-after.txt" || fail "files in HOME changed"
pass "nothing else in HOME changed"
