#!/usr/bin/env bash
# Installs what is missing, builds Orbita and runs the whole test suite:
# every test of the normal build, then the Qt-free tests and the fuzz seeds
# again under AddressSanitizer and UndefinedBehaviorSanitizer. The layout of
# the C++ code is checked against .clang-format first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
bash scripts/check-format.sh

bash scripts/build.sh
(cd build && ctest --output-on-failure -j"$jobs")

CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITA_WITH_QT=OFF -DORBITA_SANITIZE=ON -DORBITA_BUILD_FUZZ=ON -DORBITA_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")
