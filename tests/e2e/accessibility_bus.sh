# Sourced first by the end-to-end scripts that read texts inside windows from
# the accessibility bus (accessible_text.py): the script runs again inside a
# private session bus, Qt offers its widgets on that bus, and see PATTERN
# prints the first accessible name or text matching PATTERN (within
# E2E_WAIT seconds). Skipped (77) without GObject's bindings for Python
# (python3-gi) or dbus-run-session. The system's Python has the bindings when
# another one comes first on PATH.
for python in python3 /usr/bin/python3 ""; do
  [ -n "$python" ] && "$python" -c 'import gi' 2>/dev/null && break
done
[ -n "$python" ] || { echo "skipped: python3-gi is not installed"; exit 77; }
if [ -z "${ORBITA_E2E_SESSION_BUS:-}" ]; then
  command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
  ORBITA_E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
accessibility_bus_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
see() { "$python" "$accessibility_bus_dir/accessible_text.py" "$1" "$E2E_WAIT"; }
