#!/usr/bin/env bash
# Builds and runs every benchmark (median of repetitions). Not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
for b in build/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
done
