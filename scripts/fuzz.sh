#!/usr/bin/env bash
# Runs one libFuzzer target under ASan/UBSan: scripts/fuzz.sh NAME SECONDS
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?name of fuzz/fuzz_NAME.cpp}; seconds=${2:-600}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITA_WITH_QT=OFF -DORBITA_SANITIZE=ON -DORBITA_BUILD_FUZZ=ON -DORBITA_BUILD_BENCH=OFF -DORBITA_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_$name"
mkdir -p "fuzz-out/$name"
seeds=(); [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
exec "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 "fuzz-out/$name" "${seeds[@]}"
