#!/bin/sh
# The main job: builds the three plug-in binaries and the render tool, then
# plays the built-in demo phrase through the Linux plug-in into demo.wav
# (and a picture of it, demo.png), in the current folder.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
for target in linux win64 win32; do
  "$root/scripts/build.sh" "$target" -DLUMAVOX_TESTS=OFF
done
echo
"$root/build/linux/lumavox-render" -o demo.wav --spectrogram demo.png "$@"
echo
echo "Plug-ins: build/linux/Lumavox.so, build/win64/Lumavox.dll, build/win32/Lumavox.dll"
