# Helpers for end-to-end checks: a private X server, a fresh configuration and
# program folder, and waiting for windows. Sourced by tests/e2e/test_*.sh.
set -euo pipefail

: "${ORBITA_APP:?path of the orbita executable}"
: "${ORBITA_TOOL:?path of orbita-tool}"
: "${ORBITA_BUILT_PROGRAM_DIR:?program folder of the build}"

E2E_TMP=$(mktemp -d)
E2E_PIDS=()
export ORBITA_CONFIG_DIR=$E2E_TMP/config
export XDG_RUNTIME_DIR=$E2E_TMP/runtime
export HOME=$E2E_TMP/home
# The start notification goes to a closed port on loopback, never the network.
export ORBITA_UPDATE_URL=${ORBITA_E2E_UPDATE_URL:-http://127.0.0.1:9/support_orb3}
mkdir -p "$ORBITA_CONFIG_DIR" "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# Window titles hold Polish letters: xdotool reads and matches them only in a
# UTF-8 locale (a fresh server often has none set). C.UTF-8 is always there.
if [ "$(LC_ALL=${LC_ALL:-} locale charmap 2>/dev/null)" != "UTF-8" ]; then
  export LC_ALL=C.UTF-8
fi

cleanup() {
  for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$E2E_TMP"/orbita.*.log; do
    [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
  done
  exit 1
}
pass() { echo "ok: $*"; }

# A display of our own: the server's lock file must name our server, so that
# checks running side by side never share (or kill) one another's display.
start_xvfb() {
  local n
  for n in $(shuf -i 200-899 -n 40); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      if [ "$(tr -d '[:space:]' 2>/dev/null <"/tmp/.X$n-lock")" = "$XVFB_PID" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  fail "no X server could be started"
}

# A program folder of its own: the executable's folder is overridden.
make_program_dir() {
  export ORBITA_PROGRAM_DIR=$E2E_TMP/program
  mkdir -p "$ORBITA_PROGRAM_DIR"
  cp "$ORBITA_BUILT_PROGRAM_DIR/ORBITA.DAT" "$ORBITA_PROGRAM_DIR/"
}

# Starts orbita in the background; its pid is in $LAST_PID.
start_orbita() {
  "$ORBITA_APP" "$@" >"$E2E_TMP/orbita.$$.$RANDOM.log" 2>&1 &
  LAST_PID=$!
  E2E_PIDS+=("$LAST_PID")
}

# Every wait below polls for its condition; the limits are generous so that a
# slow machine under load passes, and only a wrong program waits them out.
E2E_WAIT=${E2E_WAIT:-60}

# Waits until a visible window whose name matches the regular expression
# exists; prints its id.
wait_window() {
  local pattern=$1 timeout=${2:-$E2E_WAIT} id
  for _ in $(seq $((timeout * 10))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until no visible window's name matches the regular expression.
wait_gone() {
  local pattern=$1 timeout=${2:-$E2E_WAIT}
  for _ in $(seq $((timeout * 10))); do
    xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Waits until the process ends; gives its exit code.
wait_exit() {
  local pid=$1 timeout=${2:-$E2E_WAIT}
  for _ in $(seq $((timeout * 10))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; return $?; }
    sleep 0.1
  done
  return 124
}

# The registry value NAME of KEY as the .reg export writes it ("text" or dword:...).
reg_value() {
  local key=$1 name=$2 file=$E2E_TMP/export.reg
  "$ORBITA_TOOL" settings export "$file" "HKEY_CURRENT_USER\\$key" >/dev/null 2>&1 || { echo ""; return 0; }
  awk -v key="[HKEY_CURRENT_USER\\$key]" -v name="\"$name\"" '
    { sub(/\r$/, "") }
    /^\[/ { inside = ($0 == key); next }
    inside && index($0, name "=") == 1 { print substr($0, length(name) + 2); exit }' "$file"
}

window_size() { xdotool getwindowgeometry "$1" | awk '/Geometry/ { print $2 }'; }

# The window's picture on the screen: window_shot ID FILE (sets GEOMETRY).
window_shot() {
  local id=$1 out=$2 X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -window root "$E2E_TMP/screen.png"
  convert "$E2E_TMP/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
  GEOMETRY="${WIDTH}x${HEIGHT}+${X}+${Y}"
}

# Number of pixels that differ between two pictures of one size, outside the
# rectangle given as WxH+X+Y (or everywhere when it is empty).
differing_pixels() {
  local a=$1 b=$2 hole=${3:-}
  local draw=()
  [ -n "$hole" ] && draw=(-fill black -draw "rectangle $(hole_corners "$hole")")
  convert "$a" "$b" -compose difference -composite -colorspace gray -threshold 0 "${draw[@]}" \
    -format '%[fx:round(mean*w*h)]' info:
}
hole_corners() { # WxH+X+Y -> "x0,y0 x1,y1"
  local w h x y
  IFS='x+' read -r w h x y <<<"$1"
  echo "$x,$y $((x + w - 1)),$((y + h - 1))"
}

# The window's picture once it is drawn and has stopped changing (outside the
# rectangle HOLE, e.g. a ticking clock): settled_shot ID FILE [HOLE]
settled_shot() {
  local id=$1 out=$2 hole=${3:-} previous=$E2E_TMP/settle.png
  window_shot "$id" "$previous"
  for _ in $(seq $((E2E_WAIT * 4))); do
    sleep 0.25
    window_shot "$id" "$out"
    if [ "$(convert "$out" -format '%k' info:)" -gt 1 ] \
      && [ "$(differing_pixels "$previous" "$out" "$hole")" -eq 0 ]; then
      return 0
    fi
    cp "$out" "$previous"
  done
  fail "the window $id did not settle"
}

# Waits until the window's picture differs from REF outside HOLE, then until
# it settles: wait_picture_change ID REF FILE [HOLE]
wait_picture_change() {
  local id=$1 ref=$2 out=$3 hole=${4:-}
  for _ in $(seq $((E2E_WAIT * 4))); do
    window_shot "$id" "$out"
    if [ "$(differing_pixels "$ref" "$out" "$hole")" -gt 0 ]; then
      settled_shot "$id" "$out" "$hole"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# Visible windows of the process PID that are W x H.
windows_of_size() {
  local pid=$1 size=$2 id
  for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    [ "$(window_size "$id")" = "$size" ] && echo "$id"
  done
  return 0
}

# The program started on a profile without the tip of the day and without
# the quit question, once the splash has gone: sets $app (its pid) and
# $table (the periodic table's window).
start_quiet_table() {
  cat >"$E2E_TMP/profile.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Orbita\Administrator]
"StartupTip"=dword:00000000
"ExitPrompt"=dword:00000000
REG
  "$ORBITA_TOOL" settings import "$E2E_TMP/profile.reg" --yes >/dev/null || fail "the profile could not be prepared"
  start_orbita
  app=$LAST_PID
  table=$(wait_window '^Orbita$') || fail "no periodic table"
  # The splash closes after about a second.
  for _ in $(seq $((E2E_WAIT * 10))); do [ -z "$(windows_of_size "$app" 600x180)" ] && break; sleep 0.1; done
}
