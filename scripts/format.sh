#!/usr/bin/env bash
# Formats the project's C++ sources with .clang-format (protocol/ has its own).
#   scripts/format.sh           rewrite the files in place
#   scripts/format.sh --check   list files that would change, exit 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=$(command -v clang-format || command -v clang-format-14)
mapfile -t files < <(git ls-files '*.cpp' '*.h' | grep -v '^build')
if [ "${1:-}" = "--check" ]; then
  changed=0
  for f in "${files[@]}"; do
    if ! "$clang_format" --style=file "$f" | cmp -s - "$f"; then
      echo "$f"
      changed=1
    fi
  done
  exit $changed
fi
"$clang_format" --style=file -i "${files[@]}"
