#!/usr/bin/env bash
# The update centre against the real update service: `orbita-tool service
# publish` makes the folder, `orbita-tool service serve` runs nginx on a free
# loopback port (sending at most 1 MB/s per connection, so that a 6 MB
# package is cancelled mid-transfer), and the program, pointed at it with
# ORBITA_UPDATE_URL, is driven with xdotool from the periodic table (F5).
# Texts inside the window are read from the accessibility bus of a private
# session bus (accessible_text.py).
#
# Checked: the tests list and the skins list; downloads (a package on disk,
# grey, is skipped and kept byte for byte, the others arrive intact); the
# progress text "Skopiowano … KB z … KB"; Esc in mid-transfer (the
# connection error shown, the partial temporary file removed, nothing
# stored); the version check with the same version (no update), with a
# setup file whose digest does not match (saved, not started) and with a
# matching one (the package's "orbita" is started with /INSTALL from its
# unpacked folder and the program ends). The setup packages hold a stand-in
# "orbita" that only records how it was started: no installer ever runs.
# Two starts of the program give two start notifications in starts.log.
# Skipped (77) without nginx.
if ! command -v nginx >/dev/null 2>&1 && [ ! -x /usr/sbin/nginx ]; then
  echo "skipped: nginx is not installed"
  exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
source "$here/accessibility_bus.sh"
source "$here/lib.sh"
start_xvfb
make_program_dir

# Started as root, nginx's worker reads the published folder as "nobody".
chmod 755 "$E2E_TMP"
source_dir=$E2E_TMP/source
published=$E2E_TMP/published
run=$E2E_TMP/run
saved=$E2E_TMP/saved
mkdir -p "$source_dir" "$saved"
cp -r "$ORBITA_BUILT_PROGRAM_DIR/KARNACJE" "$ORBITA_BUILT_PROGRAM_DIR/TESTY" "$source_dir/"
first_skin=$(find "$source_dir/KARNACJE" -name '*.obs' | sort | head -n 1)
first_test=$(find "$source_dir/TESTY" -name '*.obt' | sort | head -n 1)
[ -n "$first_skin" ] && [ -n "$first_test" ] || fail "the build has no skin or test package"
# A large skin (a built one with 6 MB of noise stored beside it) and a copy
# of a test and of a skin under other names.
python3 - "$first_skin" "$source_dir/KARNACJE/Duzy.obs" <<'PY'
import os, shutil, sys, zipfile
shutil.copyfile(sys.argv[1], sys.argv[2])
with zipfile.ZipFile(sys.argv[2], "a") as package:
    package.writestr("SZUM.BIN", os.urandom(6 << 20), compress_type=zipfile.ZIP_STORED)
PY
cp "$first_test" "$source_dir/TESTY/Dodatkowy.obt"
cp "$first_skin" "$source_dir/KARNACJE/Amarant.obs"

# Setup packages: a program folder whose "orbita" is a stand-in carrying a
# version marker; the one of the running version and a newer one.
own_version=$("$ORBITA_TOOL" version "$ORBITA_APP")
[[ "$own_version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the program has no version: $own_version"
new_version=99.1.2.0
export ORBITA_E2E_SETUP_MARK=$E2E_TMP/installer-started
make_setup() { # make_setup VERSION ZIP
  python3 - "$1" "$2" "$ORBITA_BUILT_PROGRAM_DIR/ORBITA.DAT" <<'PY'
import sys, zipfile
version, target, data = sys.argv[1:]
stand_in = ("#!/bin/sh\n# ORBITA-FILEVERSION:%s\n" % version
            + 'printf "%s\\n" "$*" "$(pwd)" "$(ls)" >"$ORBITA_E2E_SETUP_MARK"\n')
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as package:
    package.writestr("orbita", stand_in)
    package.write(data, "ORBITA.DAT")
PY
}
make_setup "$own_version" "$E2E_TMP/same.zip"
make_setup "$new_version" "$E2E_TMP/new.zip"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
base=http://127.0.0.1:$port/support_orb3
publish() { # publish SETUP.zip
  "$ORBITA_TOOL" service publish "$published" --from "$source_dir" --setup "$1" --address "$base" \
    >"$E2E_TMP/publish.log" 2>&1 || { cat "$E2E_TMP/publish.log" >&2; fail "publish failed"; }
}
publish "$E2E_TMP/same.zip"
grep -qx 'Duzy.obs' "$published/skory.txt" || fail "the large skin was not published"
grep -qx 'Dodatkowy.obt' "$published/testy.txt" || fail "the extra test was not published"

ORBITA_SERVICE_RUNDIR=$run ORBITA_SERVICE_RATE=1m \
  "$ORBITA_TOOL" service serve "$published" --port "$port" >"$E2E_TMP/nginx.log" 2>&1 &
# The tool becomes nginx's master, which is asked to stop: killed outright it
# would leave its worker behind.
service_pid=$!
stop_service() {
  kill -TERM "$service_pid" 2>/dev/null || return 0
  wait "$service_pid" 2>/dev/null || true
}
trap 'stop_service; cleanup' EXIT
for _ in $(seq $((E2E_WAIT * 10))); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done
(exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { cat "$E2E_TMP/nginx.log" >&2; fail "nginx did not start"; }
pass "nginx serves $published on port $port"
export ORBITA_UPDATE_URL=$base

# One package of each kind is on disk already, with other bytes: grey.
mkdir -p "$ORBITA_PROGRAM_DIR/KARNACJE" "$ORBITA_PROGRAM_DIR/TESTY"
kept_skin=$(basename "$first_skin")
kept_test=$(basename "$first_test")
echo "old skin" >"$ORBITA_PROGRAM_DIR/KARNACJE/$kept_skin"
echo "old test" >"$ORBITA_PROGRAM_DIR/TESTY/$kept_test"
cp "$ORBITA_PROGRAM_DIR/KARNACJE/$kept_skin" "$E2E_TMP/kept_skin"
cp "$ORBITA_PROGRAM_DIR/TESTY/$kept_test" "$E2E_TMP/kept_test"

starts() { [ -f "$run/starts.log" ] && wc -l <"$run/starts.log" || echo 0; }
wait_starts() { # wait_starts N
  for _ in $(seq $((E2E_WAIT * 10))); do [ "$(starts)" -ge "$1" ] && break; sleep 0.1; done
  [ "$(starts)" -eq "$1" ] || fail "starts.log holds $(starts) notifications, not $1"
}

start_quiet_table
wait_starts 1
pass "the first start is counted once in starts.log"
xdotool windowfocus --sync "$table" key F5
update=$(wait_window '^Centrum aktualizacji$') || fail "F5 opened no update centre"

# Tests: Tab, Tab, Space on the test button; Ctrl+A ticks all but the grey.
xdotool windowfocus --sync "$update" key Tab Tab space
see '^Dodatkowy$' >/dev/null || fail "the tests list does not show Dodatkowy"
while read -r name; do
  see "^${name%.obt}\$" >/dev/null || fail "the tests list does not show ${name%.obt}"
done <"$published/testy.txt"
pass "the tests list: $(tr '\n' ' ' <"$published/testy.txt")"
xdotool windowfocus --sync "$update" key ctrl+a alt+p
box=$(wait_window '^Status aktualizacji$') || fail "the tests were not downloaded"
xdotool windowfocus --sync "$box" key Return
wait_gone '^Status aktualizacji$' || fail "Enter left the message open"
while read -r name; do
  [ "$name" = "$kept_test" ] && continue
  cmp -s "$published/TESTY/$name" "$ORBITA_PROGRAM_DIR/TESTY/$name" || fail "$name was not stored intact"
done <"$published/testy.txt"
cmp -s "$E2E_TMP/kept_test" "$ORBITA_PROGRAM_DIR/TESTY/$kept_test" || fail "$kept_test on disk was replaced"
pass "the tests are stored, $kept_test on disk is kept byte for byte"

# Skins: Tab, Space on the skin button; the download stops at Duzy.obs.
xdotool windowfocus --sync "$update" key Tab space
while read -r name; do
  see "^${name%.obs}\$" >/dev/null || fail "the skins list does not show ${name%.obs}"
done <"$published/skory.txt"
grep -qx Amarant.obs <(sed '/^Duzy.obs$/q' "$published/skory.txt") || fail "Amarant.obs is not listed before Duzy.obs"
pass "the skins list: $(tr '\n' ' ' <"$published/skory.txt")"
xdotool windowfocus --sync "$update" key ctrl+a alt+p
# "Skopiowano 1 234 KB z 6 300 KB": kilobytes grouped by threes with spaces.
total_kb=$(($(stat -c %s "$published/KARNACJE/Duzy.obs") / 1024))
grouped_total=$(sed -E ':a; s/([0-9])([0-9]{3})($| )/\1 \2\3/; ta' <<<"$total_kb")
progress=$(see "^Skopiowano [0-9 ]+ KB z $grouped_total KB\$") || fail "no progress text Skopiowano … KB z $grouped_total KB"
pass "progress: $progress"
partial=$XDG_RUNTIME_DIR/orbita/ORBFILE.TMP
[ -s "$partial" ] || fail "no partial download in $partial"
xdotool windowfocus --sync "$update" key Escape
box=$(wait_window '^Połączenie zerwane$') || fail "Esc in mid-transfer showed no connection error"
see '^Pobranie wybranych składników z serwera jest niemożliwe' >/dev/null || fail "the connection error has no text"
xdotool windowfocus --sync "$box" key Return
wait_gone '^Połączenie zerwane$' || fail "Enter left the message open"
[ -e "$partial" ] && fail "the partial download stayed behind"
[ -e "$ORBITA_PROGRAM_DIR/KARNACJE/Duzy.obs" ] && fail "the cancelled package was stored"
pass "Esc in mid-transfer: Połączenie zerwane, nothing stored or left behind"
while read -r name; do
  [ "$name" = Duzy.obs ] && break
  [ "$name" = "$kept_skin" ] && continue
  cmp -s "$published/KARNACJE/$name" "$ORBITA_PROGRAM_DIR/KARNACJE/$name" || fail "$name was not stored intact"
done <"$published/skory.txt"
cmp -s "$E2E_TMP/kept_skin" "$ORBITA_PROGRAM_DIR/KARNACJE/$kept_skin" || fail "$kept_skin on disk was replaced"
pass "the skins before Duzy are stored, $kept_skin on disk is kept byte for byte"

# The version check: the focus is back on the update button.
xdotool windowfocus --sync "$update" key space
box=$(wait_window '^Brak uaktualnienia$') || fail "the same version $own_version offered an update"
xdotool windowfocus --sync "$box" key Return
wait_gone '^Brak uaktualnienia$' || fail "Enter left the message open"
pass "version $own_version on the service: Brak uaktualnienia"

# download_setup NAME: Space on the update button, Yes to the new version,
# the setup file saved as $saved/NAME; leaves $box on the closing message.
download_setup() {
  xdotool windowfocus --sync "$update" key space
  box=$(wait_window '^Wykryto nową wersję programu$') || fail "version $new_version was not offered"
  xdotool windowfocus --sync "$box" key alt+t
  dialog=$(wait_window '^Zapisz pakiet instalacyjny$') || fail "no dialog for saving the setup file"
  xdotool windowfocus --sync "$dialog" key ctrl+a
  xdotool type --delay 5 "$saved/$1"
  xdotool key Return
  box=$(wait_window '^Pobranie zakończone$') || fail "the setup file was not downloaded"
}

publish "$E2E_TMP/new.zip"
setup_file=$published/orbita-${new_version%.*}.zip
[ -f "$setup_file" ] || fail "publish did not store $setup_file"
grep -q "sha256=$(sha256sum "$E2E_TMP/new.zip" | cut -d' ' -f1)" "$published/wersja.txt" \
  || fail "wersja.txt has no digest of the setup file"
# Other bytes under the published name: the digest does not match.
cp "$E2E_TMP/same.zip" "$setup_file"
download_setup zly.zip
see 'Suma kontrolna pobranego pliku nie zgadza się' >/dev/null || fail "the digest mismatch was not reported"
xdotool windowfocus --sync "$box" key Return
wait_gone '^Pobranie zakończone$' || fail "Enter left the message open"
cmp -s "$E2E_TMP/same.zip" "$saved/zly.zip" || fail "the mismatching setup file was not saved"
[ -e "$ORBITA_E2E_SETUP_MARK" ] && fail "a setup file with a wrong digest was started"
pass "digest mismatch: saved, not started"

publish "$E2E_TMP/new.zip"
download_setup dobry.zip
see 'Czy chcesz zakończyć działanie programu oraz uruchomić instalatora' >/dev/null \
  || fail "the matching setup file was not offered for starting"
xdotool windowfocus --sync "$box" key alt+t
wait_exit "$app" || fail "the program did not end to start the installer"
cmp -s "$E2E_TMP/new.zip" "$saved/dobry.zip" || fail "the setup file was not saved intact"
for _ in $(seq $((E2E_WAIT * 10))); do [ -s "$ORBITA_E2E_SETUP_MARK" ] && break; sleep 0.1; done
[ -s "$ORBITA_E2E_SETUP_MARK" ] || fail "the setup package's orbita was not started"
mapfile -t started <"$ORBITA_E2E_SETUP_MARK"
[ "${started[0]}" = /INSTALL ] || fail "the installer was started with '${started[0]}', not /INSTALL"
case "${started[1]}" in "$XDG_RUNTIME_DIR"/orbita/setup-*) ;; *) fail "the installer ran in ${started[1]}" ;; esac
printf '%s\n' "${started[@]:2}" | grep -qx ORBITA.DAT || fail "the setup package was not unpacked whole"
pass "version $new_version, digest matches: orbita /INSTALL started from ${started[1]}, the program ended"

# The second start: a second notification.
start_quiet_table
wait_starts 2
[ "$(grep -c 'operacja=uruchomienie' "$run/access.log")" -eq 2 ] || fail "access.log does not hold two starts"
pass "two starts: two lines in starts.log and access.log"
kill "$app" 2>/dev/null || true
