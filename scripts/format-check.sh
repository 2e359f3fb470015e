#!/usr/bin/env bash
# Fails when a C++ file of the repository is not formatted as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.h' '*.cpp')
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/korvane-format.log; then
  head -n 40 /tmp/korvane-format.log >&2
  echo "format-check: run clang-format -i on the files above" >&2
  exit 1
fi
echo "format-check: ${#files[@]} files formatted as .clang-format says"
