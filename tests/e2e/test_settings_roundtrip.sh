#!/usr/bin/env bash
# Accounts and settings from one start to the next, all by the keyboard:
#  - the Administrator sets his password and creates "Ania" (created,
#    deleted and created again before OK: the account must exist);
#  - the password is stored only as a hash: no file of the configuration
#    holds it in plain text;
#  - the next start shows the login window; a wrong password gives its
#    message and logs nobody in; Ania logs in without a password;
#  - Ania has a profile of her own (her tip of the day shows, the
#    Administrator's is off); she chooses the compact mode, switches skins on
#    and chooses one (the mode question, answered No, keeps the compact mode);
#  - the Administrator's profile is byte for byte what it was;
#  - Ania's backup, a changed value, and the restore bringing it back; a line
#    of the backup aimed at the Administrator's profile is skipped;
#  - ticking the program group makes its three .desktop entries, each valid
#    for desktop-file-validate (when installed); clearing it removes them.
# HOME and the XDG folders are private to the run.
source "$(dirname "$0")/lib.sh"
export XDG_DATA_HOME=$E2E_TMP/data XDG_CONFIG_HOME=$E2E_TMP/xdg-config
export XDG_CACHE_HOME=$E2E_TMP/cache XDG_STATE_HOME=$E2E_TMP/state
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
start_xvfb
make_program_dir
mkdir -p "$ORBITA_PROGRAM_DIR/KARNACJE"
cp "$ORBITA_BUILT_PROGRAM_DIR/KARNACJE/Niebieski.obs" "$ORBITA_PROGRAM_DIR/KARNACJE/"
cp "$ORBITA_BUILT_PROGRAM_DIR/KARNACJE/Niebieski.obs" "$ORBITA_PROGRAM_DIR/KARNACJE/Zielony.obs"
admin='Software\Orbita\Administrator'
ania='Software\Orbita\Ania'
secret='Tajne-Haslo7'

# The text of the message box titled TITLE (copied with Ctrl+C from the box);
# the box stays open.
box_text() {
  local id text
  id=$(wait_window "^$1\$") || return 1
  printf '' | xclip -selection clipboard -i
  for _ in $(seq $((E2E_WAIT * 5))); do
    xdotool windowfocus --sync "$id" key ctrl+c 2>/dev/null || true
    text=$(xclip -o -selection clipboard 2>/dev/null || true)
    [ -n "$text" ] && { printf '%s\n' "$text"; return 0; }
    sleep 0.2
  done
  return 1
}

# Opens the settings window from the periodic table at node N of the tree.
open_settings_at() {
  local node=$1
  xdotool windowfocus --sync "$table" key F11
  settings=$(wait_window '^Ustawienia$') || fail "F11 opened no settings window"
  xdotool windowfocus --sync "$settings" key Home
  for _ in $(seq "$node"); do xdotool key Down; done
  sleep 0.3
}

# The names of the visible windows, for a failure's message.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    printf '"%s" ' "$(xdotool getwindowname "$id" 2>/dev/null)"
  done
}

confirm_settings() {
  xdotool key Return
  wait_gone '^Ustawienia$' 10 || fail "Enter did not confirm the settings window (windows: $(visible_windows))"
}

# OK while Ania has the compact mode and skins on: the mode question comes
# first, answered No.
confirm_settings_answering_no() {
  xdotool key Return
  wait_window '^Zmiana trybu uruchamiania$' >/dev/null || fail "OK asked no mode question"
  xdotool key alt+n
  wait_gone '^Ustawienia$' 10 || fail "the settings window stayed (windows: $(visible_windows))"
}

# The whole profile of KEY as the export writes it.
profile_dump() {
  "$ORBITA_TOOL" settings export "$E2E_TMP/dump.reg" "HKEY_CURRENT_USER\\$1" >/dev/null 2>&1 \
    || { echo "the key $1 could not be exported" >&2; return 1; }
  tr -d '\r' <"$E2E_TMP/dump.reg"
}

quit_program() {
  kill -TERM "$1"
  wait_exit "$1" || fail "the program did not end"
}

# --- The Administrator: a password, and the account Ania ---------------------
start_quiet_table
open_settings_at 6
xdotool key alt+h
xdotool type --delay 20 "$secret"
xdotool key alt+w
xdotool type --delay 20 "$secret"
# From the password box back to the new account's box (the disabled
# "Utwórz" is passed over); the focus stays there after "Utwórz".
xdotool key alt+h shift+Tab
xdotool type --delay 20 "Ania"
xdotool key alt+z
sleep 0.3
# Delete it again (the list's last entry) and create it once more before OK;
# after "Usuń" the focus is back in the list.
xdotool key shift+Tab End
sleep 0.2
xdotool key alt+u
sleep 0.3
xdotool key Tab
xdotool type --delay 20 "Ania"
xdotool key alt+z
sleep 0.3
confirm_settings
stored=$(reg_value "$admin" Password)
case "$stored" in '"$argon2id$'*) ;; *) fail "the Administrator's password is stored as '$stored', not as a hash" ;; esac
accounts=$(profile_dump 'Software\Orbita') || fail "the settings could not be exported"
grep -qxF "[HKEY_CURRENT_USER\\$ania]" <<<"$accounts" \
  || fail "the account Ania (created, deleted and created again before OK) does not exist"
pass "Administrator: password stored as an Argon2id hash; Ania exists after delete and create again"

[ -s "$ORBITA_CONFIG_DIR/registry.db" ] || fail "no registry.db in $ORBITA_CONFIG_DIR"
hits=$(grep -rlaF "$secret" "$ORBITA_CONFIG_DIR" || true)
[ -z "$hits" ] || fail "the password is readable in: $hits"
pass "no file of the configuration holds the password in plain text"

quit_program "$app"
profile_dump "$admin" >"$E2E_TMP/admin-before.reg" || fail "no Administrator's profile"

# --- The next start: the login window ----------------------------------------
start_orbita
app=$LAST_PID
login=$(wait_window '^Logowanie do programu Orbita$') || fail "a password set, yet no login window"
[ "$(reg_value 'Software\Orbita' User)" = '""' ] || fail "an account is current before any login"
xdotool windowfocus --sync "$login"
xdotool type --delay 20 "zle-haslo"
xdotool key Return
text=$(box_text 'Nieprawidłowe hasło') || fail "a wrong password gives no message box"
grep -qF 'Wprowadziłeś nieprawidłowe hasło użytkownika' <<<"$text" \
  || fail "the wrong password's message reads: $text"
xdotool key Return
wait_gone '^Nieprawidłowe hasło$' || fail "the message box did not close"
wait_window '^Logowanie do programu Orbita$' >/dev/null || fail "the login window closed after a wrong password"
[ "$(reg_value 'Software\Orbita' User)" = '""' ] || fail "a wrong password logged someone in"
pass "wrong password: 'Nieprawidłowe hasło' says 'Wprowadziłeś nieprawidłowe hasło użytkownika', nobody logged in"

# Ania: the account list follows the password box; she has no password.
xdotool windowfocus --sync "$login" key ctrl+a BackSpace Tab Down
sleep 0.3
xdotool key Return
table=$(wait_window '^Orbita$') || fail "Ania's login opened no periodic table"
[ "$(reg_value 'Software\Orbita' User)" = '"Ania"' ] || fail "User is not Ania after her login"
# Her profile is her own: the tip of the day, off for the Administrator,
# shows for her.
tip=$(wait_window '^Porada dnia$') || fail "Ania's fresh profile shows no tip of the day"
xdotool windowfocus --sync "$tip" key Escape
wait_gone '^Porada dnia$' || fail "the tip of the day did not close"
pass "Ania logged in (no password), User = Ania, her own profile (tip of the day shown)"

# --- Ania's start-up mode and skin ---------------------------------------------
open_settings_at 0
xdotool key alt+k
sleep 0.2
confirm_settings
[ "$(reg_value "$ania" StartupMode)" = "dword:00000001" ] || fail "Ania's StartupMode is not 1"
open_settings_at 4
xdotool key alt+w Tab End
sleep 0.3
xdotool key Return
text=$(box_text 'Zmiana trybu uruchamiania') || fail "a skin in compact mode asked no question"
grep -qF 'program musi być uruchomiony w trybie standardowym' <<<"$text" || fail "the mode question reads: $text"
xdotool key alt+n
wait_gone '^Ustawienia$' || fail "answering No did not close the settings window"
[ "$(reg_value "$ania" StartupMode)" = "dword:00000001" ] || fail "answering No changed the start-up mode"
[ "$(reg_value "$ania" UseSkin)" = "dword:00000001" ] || fail "Ania's UseSkin is not 1"
[ "$(reg_value "$ania" SkinFile)" = '"Zielony.obs"' ] || fail "Ania's SkinFile is '$(reg_value "$ania" SkinFile)'"
pass "Ania: StartupMode 1, UseSkin 1, SkinFile Zielony.obs (mode question answered No)"

profile_dump "$admin" >"$E2E_TMP/admin-after.reg" || fail "no Administrator's profile"
cmp -s "$E2E_TMP/admin-before.reg" "$E2E_TMP/admin-after.reg" \
  || fail "Ania's changes reached the Administrator's profile: $(diff "$E2E_TMP/admin-before.reg" "$E2E_TMP/admin-after.reg")"
pass "the Administrator's profile is unchanged"

# --- Backup, a change, restore ---------------------------------------------------
open_settings_at 7
xdotool key alt+r
text=$(box_text 'Kopia wykonana') || fail "the backup reported no success"
grep -qF 'Kopia ustawień została pomyślnie wykonana' <<<"$text" || fail "the backup report reads: $text"
xdotool key Return
wait_gone '^Kopia wykonana$' || fail "the backup report did not close"
xdotool key Escape
wait_gone '^Ustawienia$' || fail "Esc did not close the settings window"
backup=$ORBITA_PROGRAM_DIR/KOPIE/Ania.reg
[ -s "$backup" ] || fail "no backup file $backup"
grep -qF '"StartupMode"=dword:00000001' "$backup" || fail "the backup does not hold StartupMode 1"
pass "backup: KOPIE/Ania.reg written and reported"

open_settings_at 0
xdotool key alt+s
sleep 0.2
confirm_settings
[ "$(reg_value "$ania" StartupMode)" = "dword:00000000" ] || fail "the standard mode was not stored"

# A line of the backup aimed at another profile must not be applied.
printf '\r\n[HKEY_CURRENT_USER\\%s]\r\n"Password"=""\r\n' "$admin" >>"$backup"
open_settings_at 7
xdotool key alt+w alt+r
box_text 'Przywracanie ustawień' >/dev/null || fail "the restore asked no question"
xdotool key alt+t
wait_gone '^Przywracanie ustawień$' || fail "the restore question did not close"
text=$(box_text 'Kopia przywrócona') || fail "the restore reported no success (windows: $(visible_windows))"
grep -qF 'Ustawienia konta Ania zostały przywrócone' <<<"$text" || fail "the restore report reads: $text"
grep -qF 'Pominięto' <<<"$text" && grep -qF 'Administrator' <<<"$text" \
  || fail "the restore report names no skipped line: $text"
xdotool key Return
wait_gone '^Kopia przywrócona$' || fail "the restore report did not close"
xdotool key Escape
wait_gone '^Ustawienia$' || fail "Esc did not close the settings window"
[ "$(reg_value "$ania" StartupMode)" = "dword:00000001" ] || fail "the restore did not bring back StartupMode 1"
[ "$(reg_value "$admin" Password)" = "$stored" ] || fail "the restore rewrote the Administrator's password"
pass "restore: StartupMode back to 1; the line for the Administrator's profile skipped and reported"

# --- The program group as .desktop entries ------------------------------------------
group=$XDG_DATA_HOME/applications/orbita
open_settings_at 2
xdotool key alt+s
sleep 0.2
confirm_settings_answering_no
entries=("$group/Orbita.desktop" "$group/Odinstalowanie.desktop" "$group/Strona domowa.desktop")
for entry in "${entries[@]}"; do
  [ -f "$entry" ] || fail "ticking the program group did not make $entry"
done
[ "$(find "$group" -type f | wc -l)" -eq 3 ] || fail "the group holds other files: $(ls "$group")"
grep -qx 'Categories=Education;Science;Chemistry;' "$group/Orbita.desktop" || fail "Orbita.desktop has no menu categories"
grep -qx 'Type=Link' "$group/Strona domowa.desktop" || fail "Strona domowa.desktop is no link"
if command -v desktop-file-validate >/dev/null; then
  for entry in "${entries[@]}"; do
    out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate refuses $entry: $out"
  done
  pass "program group: three .desktop entries, each passes desktop-file-validate"
else
  echo "skip: desktop-file-validate is not installed; the entries are not validated"
  pass "program group: three .desktop entries"
fi

open_settings_at 2
xdotool key alt+s
sleep 0.2
confirm_settings_answering_no
for entry in "${entries[@]}"; do
  [ ! -e "$entry" ] || fail "clearing the program group left $entry"
done
[ ! -e "$group" ] || fail "clearing the program group left its folder: $(ls -A "$group")"
pass "clearing the program group removed its entries and folder"

quit_program "$app"
[ "$(reg_value 'Software\Orbita' User)" = '""' ] || fail "User is not empty after the run"
pass "run ended: User empty"
