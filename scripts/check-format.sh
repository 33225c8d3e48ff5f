#!/usr/bin/env bash
# Fails when a tracked C++ source is not formatted with the project's .clang-format.
set -euo pipefail
clang_format=${1:-clang-format}
cd "$(dirname "$0")/.."
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "not a git work tree; format check skipped"
  exit 0
fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.cc' '*.hpp')
if [ ${#files[@]} -eq 0 ]; then
  exit 0
fi
"$clang_format" --dry-run --Werror "${files[@]}"
echo "formato correcto en ${#files[@]} archivos"
