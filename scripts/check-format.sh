#!/bin/sh
# Fails when a source file of ours differs from what clang-format makes of it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
files=$(git ls-files '*.h' '*.cpp' 2>/dev/null || find . -name '*.h' -o -name '*.cpp')
[ -n "$files" ] || exit 0
# shellcheck disable=SC2086
if ! clang-format --dry-run --Werror $files; then
  echo "Formatting differs; run: clang-format -i \$(git ls-files '*.h' '*.cpp')"
  exit 1
fi
echo "formatting ok"
