#!/usr/bin/env bash
# Builds the Debian package orbita_<version>_amd64.deb from a build of the
# program and checks it with lintian. Without an argument the build is a
# Release build without tests or benchmarks in build-package/; a build folder
# that is already configured (e.g. build/) is used as it is configured.
# Usage: bash scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh lintian
dir=${1:-build-package}
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORBITA_BUILD_CONTENT=ON \
    -DORBITA_BUILD_TESTS=OFF -DORBITA_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$dir"
(cd "$dir" && cpack -G DEB)
deb=$(ls -t "$dir"/orbita_*.deb | head -n 1)
# Errors fail the build; warnings are printed.
lintian --fail-on error "$deb"
echo "Built $deb"
echo "Install it with:  sudo apt-get install $(realpath "$deb")"
