#!/usr/bin/env bash
# Fails when a C++ file differs from what .clang-format would make of it, naming the files.
# Mend with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.hpp')
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [[ ${#bad[@]} -gt 0 ]]; then
  echo "Not formatted as .clang-format says (run clang-format -i on them):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
