#!/usr/bin/env bash
# Installs what is missing, builds Orbita and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
Orbita is built in build/program/. There is no display here; start it under Xvfb:
  Xvfb :99 -screen 0 1280x800x24 & DISPLAY=:99 build/program/orbita
MSG
  exit 0
fi
exec build/program/orbita "$@"
