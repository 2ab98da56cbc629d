#!/usr/bin/env bash
# The update centre from the periodic table (F5) against a loopback stand-in
# of the update service (tests/windows/update/update_test_server.py): the
# choice page; Tab, Space on the skin button gives the list (a package on
# disk grey); Ctrl+A and Alt+P start the downloads; Esc during the slow one
# cancels it with the connection error (Enter closes the box), and the
# window is back on the choice page; Esc closes it.
#
# With ORBITA_SCREENSHOT_DIR set, the three pages are saved there
# (update-wybor.png, update-skladnik.png, update-postep.png).
source "$(dirname "$0")/lib.sh"
: "${ORBITA_SOURCE_DIR:?the source folder}"
start_xvfb
make_program_dir

service=$E2E_TMP/service
mkdir -p "$service/KARNACJE" "$ORBITA_PROGRAM_DIR/KARNACJE"
printf 'Amarant.obs\r\nNiebieski.obs\r\nWolny.obs\r\n../zly.obs\r\n' >"$service/skory.txt"
head -c 3000 /dev/zero >"$service/KARNACJE/Amarant.obs"
head -c 400000 /dev/zero >"$service/KARNACJE/Wolny.obs" # about 20 s at the server's pace
echo "old" >"$ORBITA_PROGRAM_DIR/KARNACJE/Niebieski.obs"
coproc SERVER { exec python3 "$ORBITA_SOURCE_DIR/tests/windows/update/update_test_server.py" "$service"; }
E2E_PIDS+=("$SERVER_PID")
read -r _ port <&"${SERVER[0]}"
export ORBITA_E2E_UPDATE_URL=http://127.0.0.1:$port/support_orb3
export ORBITA_UPDATE_URL=$ORBITA_E2E_UPDATE_URL

start_quiet_table
save_shot() { [ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && settled_shot "$update" "$ORBITA_SCREENSHOT_DIR/$1"; return 0; }

xdotool windowfocus --sync "$table" key F5
update=$(wait_window '^Centrum aktualizacji$') || fail "F5 opened no update centre"
pass "F5: Centrum aktualizacji ($(window_size "$update"))"
sleep 0.5
save_shot update-wybor.png

xdotool windowfocus --sync "$update" key Tab space
sleep 2
save_shot update-skladnik.png
[ -e "$ORBITA_PROGRAM_DIR/KARNACJE/Amarant.obs" ] && fail "a package arrived before any download"

xdotool windowfocus --sync "$update" key ctrl+a alt+p
for _ in $(seq 100); do [ -e "$ORBITA_PROGRAM_DIR/KARNACJE/Amarant.obs" ] && break; sleep 0.1; done
cmp -s "$service/KARNACJE/Amarant.obs" "$ORBITA_PROGRAM_DIR/KARNACJE/Amarant.obs" || fail "Amarant.obs was not stored"
pass "Ctrl+A, Alt+P: Amarant.obs stored"
[ "$(cat "$ORBITA_PROGRAM_DIR/KARNACJE/Niebieski.obs")" = "old" ] || fail "Niebieski.obs was replaced"
pass "the package on disk is kept"
sleep 1
# The progress page moves on all the time: a plain picture, not a settled one.
[ -n "${ORBITA_SCREENSHOT_DIR:-}" ] && window_shot "$update" "$ORBITA_SCREENSHOT_DIR/update-postep.png"

xdotool windowfocus --sync "$update" key Escape
box=$(wait_window '^Połączenie zerwane$') || fail "Esc during the download showed no connection error"
pass "Esc cancels the download: Połączenie zerwane"
xdotool windowfocus --sync "$box" key Return
wait_gone '^Połączenie zerwane$' || fail "Enter left the message open"
[ -e "$ORBITA_PROGRAM_DIR/KARNACJE/Wolny.obs" ] && fail "the cancelled package was stored"
[ -e "$XDG_RUNTIME_DIR/orbita/ORBFILE.TMP" ] && fail "the partial download stayed behind"
pass "the cancelled package is neither stored nor left behind"

xdotool windowfocus --sync "$update" key Escape
wait_gone '^Centrum aktualizacji$' || fail "Esc left the update centre open"
pass "Esc closes the update centre"
kill "$app" 2>/dev/null || true
