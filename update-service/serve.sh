#!/usr/bin/env bash
# Starts the update service of Orbita in the foreground: nginx answers the
# program's queries on ADDRESS:PORT from a folder made by
# `orbita-tool service publish FOLDER`. Runs without privileges; stop it with
# Ctrl+C (or SIGTERM / SIGQUIT to the printed process).
#
# Usage: serve.sh FOLDER PORT
# Environment:
#   ORBITA_SERVICE_LISTEN  the address to listen on (default 127.0.0.1)
#   ORBITA_SERVICE_RUNDIR  where the configuration, pid, logs (access.log,
#                          starts.log) and temporary files go
#                          (default FOLDER/.nginx)
#   ORBITA_SERVICE_USER    started as root only: the user and group of the
#                          worker (default "nobody nogroup"); the folder
#                          must be readable by them
#   ORBITA_SERVICE_RATE    the most bytes per second sent on one connection,
#                          nginx's size syntax (e.g. 512k); 0, the default,
#                          is no limit
#   NGINX                  the nginx executable (default: nginx on PATH, or
#                          /usr/sbin/nginx)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

fail() {
  echo "serve.sh: $*" >&2
  exit 2
}

[ $# -eq 2 ] || fail "usage: serve.sh FOLDER PORT"
[ -d "$1" ] || fail "no such folder: $1"
root="$(cd "$1" && pwd)"
port="$2"
[[ "$port" =~ ^[0-9]{1,5}$ ]] && [ "$port" -ge 1 ] && [ "$port" -le 65535 ] \
  || fail "the port must be a number from 1 to 65535: $port"
listen="${ORBITA_SERVICE_LISTEN:-127.0.0.1}"
address_pattern='^[][0-9A-Za-z.:-]+$'
[[ "$listen" =~ $address_pattern ]] || fail "not an address: $listen"
rate="${ORBITA_SERVICE_RATE:-0}"
[[ "$rate" =~ ^[0-9]{1,9}[kKmM]?$ ]] || fail "the rate must be a number of bytes per second (k or m allowed): $rate"
rundir="${ORBITA_SERVICE_RUNDIR:-$root/.nginx}"
mkdir -p "$rundir/tmp"
rundir="$(cd "$rundir" && pwd)"

# The paths go into the configuration in double quotes: characters that
# nginx would read as syntax or as a variable are refused.
for path in "$root" "$rundir"; do
  case "$path" in
  *[\"\'\\\$\;{}]* | *[[:cntrl:]]*) fail "the path cannot be served by nginx (quote, \$, ; or braces): $path" ;;
  esac
done

nginx="${NGINX:-$(command -v nginx || echo /usr/sbin/nginx)}"
[ -x "$nginx" ] || fail "nginx is not installed (Debian: apt-get install nginx)"

user=""
if [ "$(id -u)" -eq 0 ]; then
  user="user ${ORBITA_SERVICE_USER:-nobody nogroup};"
fi

template="$(<"$here/nginx.conf.in")"
conf="${template//@USER@/"$user"}"
conf="${conf//@RUN@/"$rundir"}"
conf="${conf//@ROOT@/"$root"}"
conf="${conf//@LISTEN@/"$listen"}"
conf="${conf//@PORT@/"$port"}"
conf="${conf//@RATE@/"$rate"}"
printf '%s\n' "$conf" >"$rundir/nginx.conf"

echo "serve.sh: serving $root on http://$listen:$port/support_orb3 (logs in $rundir)" >&2
exec "$nginx" -p "$rundir" -c "$rundir/nginx.conf" -e stderr
