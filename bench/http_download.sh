#!/usr/bin/env bash
# A 50 MB test package from the local update service (nginx on loopback)
# through THTTPGet into a file, against `curl -o` on the same file in the same
# run: several repetitions each, alternating, medians compared. The target is
# THTTPGet at 80 % or more of curl's speed. Not a pass/fail test.
#
# Usage: bench/http_download.sh [REPETITIONS]   (after a build in build/)
set -euo pipefail
cd "$(dirname "$0")/.."
reps="${1:-7}"
tool=build/program/orbita-tool
timer=build/bench/download_timer
[ -x "$tool" ] || tool="$(find build -name orbita-tool -type f -perm -u+x | head -1)"
[ -x "$timer" ] || { echo "build first: $timer is missing" >&2; exit 1; }
command -v curl >/dev/null || { echo "curl is not installed" >&2; exit 1; }

work="$(mktemp -d)"
chmod 755 "$work" # nginx's workers read it as "nobody" when started as root
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A test package of 50 MB (stored, incompressible) in a program folder.
mkdir -p "$work/program/TESTY"
python3 - "$work/program/TESTY/Duzy.obt" <<'PY'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_STORED) as archive:
    archive.writestr("TEST.TXT", "[Test]\r\n")
    archive.writestr("DANE.BIN", os.urandom(50 * 1024 * 1024 - 200))
PY
"$tool" service publish "$work/published" --from "$work/program" >/dev/null
port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
ORBITA_SERVICE_RUNDIR="$work/run" "$tool" service serve "$work/published" --port "$port" 2>"$work/serve.log" &
server=$!
for _ in $(seq 100); do
  curl -s -o /dev/null "http://127.0.0.1:$port/" && break
  sleep 0.1
done
url="http://127.0.0.1:$port/support_orb3?akcja=orbita&operacja=pobierz_test&parametr=Duzy.obt"
size="$(stat -c %s "$work/published/TESTY/Duzy.obt")"
export no_proxy='*'

curl_times=() get_times=() bare_times=()
for _ in $(seq "$reps"); do
  curl_times+=("$(curl -s -o "$work/curl.obt" -w '%{time_total}' "$url")")
  cmp -s "$work/curl.obt" "$work/published/TESTY/Duzy.obt" || { echo "curl's copy differs" >&2; exit 1; }
  read -r took events < <("$timer" "$url" "$work/get.obt" 1)
  cmp -s "$work/get.obt" "$work/published/TESTY/Duzy.obt" || { echo "THTTPGet's copy differs" >&2; exit 1; }
  get_times+=("$took")
  read -r took _ < <("$timer" "$url" "$work/bare.obt" 1 --no-progress)
  bare_times+=("$took")
done

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
mc="$(median "${curl_times[@]}")"
mg="$(median "${get_times[@]}")"
mb="$(median "${bare_times[@]}")"
echo "file: $size bytes, $reps repetitions each, alternating"
echo "curl -o:                      ${curl_times[*]}"
echo "THTTPGet (progress events):   ${get_times[*]}  ($events progress events)"
echo "THTTPGet (no progress):       ${bare_times[*]}"
awk -v s="$size" -v c="$mc" -v g="$mg" -v b="$mb" 'BEGIN {
  printf "median curl -o:               %.4f s  %7.1f MB/s\n", c, s / c / 1048576
  printf "median THTTPGet, progress:    %.4f s  %7.1f MB/s  %5.1f %% of curl\n", g, s / g / 1048576, 100 * c / g
  printf "median THTTPGet, no progress: %.4f s  %7.1f MB/s  %5.1f %% of curl\n", b, s / b / 1048576, 100 * c / b
}'
