#!/bin/sh
# The main job: builds the three plug-in binaries and shows the Linux plug-in
# as a host sees it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
for target in linux win64 win32; do
  "$root/scripts/build.sh" "$target" -DLUMAVOX_TESTS=OFF
done
echo
"$root/build/linux/lumavox-info" "$root/build/linux/Lumavox.so"
echo
echo "Plug-ins: build/linux/Lumavox.so, build/win64/Lumavox.dll, build/win32/Lumavox.dll"
