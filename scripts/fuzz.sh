#!/usr/bin/env bash
# Runs one libFuzzer target under ASan/UBSan: scripts/fuzz.sh NAME SECONDS
# Each target has its own input size limit (libFuzzer would otherwise take
# it from the largest seed), and an input that runs longer than 10 s counts
# as a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?name of fuzz/fuzz_NAME.cpp}; seconds=${2:-600}
case "$name" in
  archive) max_len=65536 ;;       # a directory and a few members
  decoders) max_len=65536 ;;      # compressed streams
  page) max_len=65536 ;;          # a whole help page with tables and pictures
  html|layout) max_len=32768 ;;   # markup
  skin_definition) max_len=16384 ;;
  ini|reg_file) max_len=16384 ;;  # sectioned text, settings backups
  table_widths) max_len=4096 ;;   # numbers for one table
  formula) max_len=2048 ;;        # a chemical formula (at most 1000 characters are read)
  *) max_len=16384 ;;
esac
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBITA_WITH_QT=OFF -DORBITA_SANITIZE=ON -DORBITA_BUILD_FUZZ=ON -DORBITA_BUILD_BENCH=OFF -DORBITA_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_$name"
mkdir -p "fuzz-out/$name"
seeds=(); [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
exec "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
  -print_final_stats=1 "fuzz-out/$name" "${seeds[@]}"
