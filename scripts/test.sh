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

# Tests that read ../shared/fixtures skip when that folder is not beside the
# clone; their message starts with this text, counted from each ctest log.
missing_shared="skipped: ../shared/fixtures is not beside this clone"
skipped_for_shared=0
report_skips() {
  if [ "$skipped_for_shared" -gt 0 ]; then
    echo "$skipped_for_shared tests skipped: ../shared/fixtures is not beside this clone"
  fi
}
trap report_skips EXIT
# run_ctest DIR [environment...]: every test of the build in DIR.
run_ctest() {
  local dir=$1 status=0 found
  shift
  (cd "$dir" && env "$@" ctest --output-on-failure -j"$jobs") || status=$?
  found=$(grep -c -F "$missing_shared" "$dir/Testing/Temporary/LastTest.log" || true)
  skipped_for_shared=$((skipped_for_shared + found))
  return "$status"
}

bash scripts/build.sh
run_ctest build

CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITA_WITH_QT=OFF -DORBITA_SANITIZE=ON -DORBITA_BUILD_FUZZ=ON -DORBITA_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
run_ctest build-asan ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
