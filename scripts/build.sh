#!/usr/bin/env bash
# Configures and builds Orbita into build/ (program folder: build/program).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBITA_BUILD_CONTENT=ON >/dev/null
cmake --build build
