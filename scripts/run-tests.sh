#!/bin/sh
# Every test: the Linux build (unit tests and the host tests against
# Lumavox.so), the Win64 build (host tests against Lumavox.dll under wine64),
# the static checks of the Win32 DLL, and the source formatting.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
start=$(date +%s)

"$root/scripts/check-format.sh"
for target in linux win64 win32; do
  "$root/scripts/build.sh" "$target" -DLUMAVOX_WERROR=ON -DLUMAVOX_TESTS=ON
  (cd "$root/build/$target" && ctest --output-on-failure)
done
echo "all tests passed in $(( $(date +%s) - start )) s"
