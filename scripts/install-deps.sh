#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Orbita
# needs and that is not yet installed, and the extra packages named as
# arguments (scripts/package.sh asks for lintian). Needs root or sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format libclang-rt-14-dev
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n qt6-qpa-plugins
  libsqlite3-dev libsodium-dev zlib1g-dev libcurl4-openssl-dev libzip-dev libboost-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool xclip x11-utils imagemagick poppler-utils python3 desktop-file-utils
  dbus-daemon at-spi2-core python3-gi
  dpkg-dev file appstream
  hunspell hunspell-pl bodr
  nginx
  fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra fontconfig
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo first." >&2; exit 1; }
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
