#!/usr/bin/env bash
# Fails when a C++ file of the project is not laid out by the committed
# .clang-format; `bash scripts/check-format.sh --fix` lays them out.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "Some files are not formatted; run: bash scripts/check-format.sh --fix" >&2
  exit 1
fi
echo "Formatting: ${#files[@]} files follow .clang-format."
