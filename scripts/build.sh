#!/bin/sh
# Configures and builds the project for one target:
#   scripts/build.sh TARGET [extra cmake options...]
# into build/TARGET under the source tree. TARGET is win64 or win32 for the
# Windows cross builds; any other name (linux, asan, tsan, ...) is a native
# build with its own folder.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1
shift
case "$target" in
  win64) toolchain="-DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-mingw-x86_64.cmake" ;;
  win32) toolchain="-DCMAKE_TOOLCHAIN_FILE=$root/cmake/toolchain-mingw-i686.cmake" ;;
  *) toolchain="" ;;
esac
dir="$root/build/$target"
mkdir -p "$dir"
start=$(date +%s)
# shellcheck disable=SC2086
cmake -S "$root" -B "$dir" $toolchain "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "built $target in $(( $(date +%s) - start )) s"
