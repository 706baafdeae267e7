#!/bin/sh
# Runs the host tests against the 32-bit DLL, build/win32/Lumavox.dll, the way
# a 32-bit Windows host loads it: under Debian's 32-bit wine (wine32:i386),
# whose i386 programs run through qemu-user (qemu-i386-static, registered
# with binfmt_misc for the length of the run). Not part of scripts/run-tests.sh:
# it needs root for its packages and the registration, and takes minutes.
#   scripts/run-win32-host-tests.sh [gtest options...]
# The first run creates a 32-bit wine prefix in build/win32 (under qemu about
# ten minutes); each run after that takes about a minute.
# LUMAVOX_WIN32_NATIVE=1 runs the i386 programs natively instead, on kernels
# that can (quicker; without it the run goes through qemu even there).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win32"
start=$(date +%s)

# Packages: the cross toolchains (install-deps.sh), then the i386 side.
"$root/scripts/install-deps.sh"
need=""
dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null | grep -q "install ok installed" ||
  need="$need qemu-user-static"
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" ||
  need="$need wine32:i386"
if [ -n "$need" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:"
    echo "  dpkg --add-architecture i386 && apt-get update && apt-get install -y$need"
    exit 1
  fi
  echo "Installing:$need"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq $need >/dev/null
fi

# i386 programs through qemu: a binfmt_misc entry of our own, removed again
# on the way out (an entry that someone else registered stays as it was).
binfmt=/proc/sys/fs/binfmt_misc
entry=lumavox-qemu-i386
registered=""
cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wineserver -k 2>/dev/null || true
  fi
  if [ -n "$registered" ]; then echo -1 > "$binfmt/$entry" || true; fi
}
trap cleanup EXIT
if [ "${LUMAVOX_WIN32_NATIVE:-0}" = 1 ]; then
  echo "i386 programs: run natively by the kernel"
else
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/$entry" ]; then
    # The ELF header of an i386 executable or shared object (as Debian's qemu
    # packages register it); F: qemu is opened now, so it is found in any
    # mount namespace.
    printf '%s' ":$entry:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:/usr/bin/qemu-i386-static:F" \
      > "$binfmt/register"
    registered=yes
  fi
  echo "i386 programs: $(sed -n 's/^interpreter //p' "$binfmt/$entry") (binfmt_misc entry $entry)"
  # Wine lays out most of the 4 GiB of a 32-bit process itself; qemu must
  # reserve that much guest address space up front for it.
  export QEMU_RESERVED_VA=0xf0000000
fi

"$root/scripts/build.sh" win32 -DLUMAVOX_WERROR=ON -DLUMAVOX_TESTS=ON -DLUMAVOX_WIN32_HOST_TESTS=ON
(cd "$build" && ctest --output-on-failure)

export WINEPREFIX="$build/wineprefix32" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
# /usr/lib/wine/wine is the 32-bit loader (wine64 is the other one).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating the 32-bit wine prefix $WINEPREFIX (under qemu about ten minutes)"
  prefixStart=$(date +%s)
  /usr/lib/wine/wine wineboot --init
  # wineboot leaves the desktop and device processes behind, which under qemu
  # never end by themselves: end the server, which saves the registry.
  /usr/lib/wine/wineserver -k || true
  echo "prefix created in $(( $(date +%s) - prefixStart )) s"
fi
cd "$build"
testsStart=$(date +%s)
/usr/lib/wine/wine tests/lumavox_host_tests.exe "$@" ./Lumavox.dll
echo "Win32 host tests passed in $(( $(date +%s) - testsStart )) s" \
  "(whole script $(( $(date +%s) - start )) s)"
