#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Formats the C++ sources with clang-format-14 and the root's .clang-format.
#   scripts/format.sh           rewrites every file that is not formatted
#   scripts/format.sh --check   changes nothing; lists the files that are not formatted and fails
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [[ "${1:-}" == "--check" ]]; then
  unformatted=()
  for file in "${files[@]}"; do
    clang-format-14 --dry-run -Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
  done
  if [[ ${#unformatted[@]} -gt 0 ]]; then
    echo "Not formatted (run scripts/format.sh):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
  fi
  echo "${#files[@]} files formatted"
else
  clang-format-14 -i "${files[@]}"
fi
