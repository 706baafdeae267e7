#!/bin/sh
# Runs the host tests against the 32-bit DLL, build/win32/Lumavox.dll, the way
# a 32-bit Windows host loads it, and the golden renders of the 32-bit
# compile: under Debian's 32-bit wine (wine32:i386), whose i386 programs run
# through qemu-user (qemu-i386-static, registered with binfmt_misc for the
# length of the run). Not part of scripts/run-tests.sh: it needs root for its
# packages and the registration, and takes minutes.
#   scripts/run-win32-host-tests.sh [gtest options for the host tests...]
# The first run creates a wine prefix in build/win32 (about four minutes);
# each run after that takes a few minutes.
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

# The prefix is a 64-bit one, as on the 64-bit Windows where 32-bit hosts
# run today: wine64 makes its 64-bit side natively and only the 32-bit part
# of its setup goes through qemu (about four minutes). A 32-bit-only prefix
# would be made wholly under qemu, where its many processes at once crash
# wineboot more often than not. The test program itself is a 32-bit process
# all the same, run by the 32-bit loader (wine32) through qemu.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
# No Mono or Gecko; and no debugger, which under qemu would hang on a crash
# instead of letting the run fail.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WINEARCH
ready="$WINEPREFIX/.lumavox-ready"
attempt=1
while [ ! -f "$ready" ]; do
  echo "creating the wine prefix $WINEPREFIX (attempt $attempt; about four minutes)"
  prefixStart=$(date +%s)
  rm -rf "$WINEPREFIX"
  if /usr/lib/wine/wine64 wineboot --init &&
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    # wineboot leaves the desktop and device processes behind: end the
    # server, which saves the registry.
    /usr/lib/wine/wineserver -k || true
    touch "$ready"
    echo "prefix created in $(( $(date +%s) - prefixStart )) s"
  else
    /usr/lib/wine/wineserver -k || true
    if [ "$attempt" -ge 3 ]; then
      echo "could not create the wine prefix in $attempt attempts" >&2
      exit 1
    fi
    attempt=$((attempt + 1))
  fi
done
cd "$build"
testsStart=$(date +%s)
# wine64 hands a 32-bit program to the 32-bit loader.
timeout 1800 /usr/lib/wine/wine64 tests/lumavox_host_tests.exe "$@" ./Lumavox.dll
# The 32-bit compile of the instrument plays the golden phrases.
timeout 1800 /usr/lib/wine/wine64 tests/lumavox_golden_tests.exe
echo "Win32 host and golden tests passed in $(( $(date +%s) - testsStart )) s" \
  "(whole script $(( $(date +%s) - start )) s)"
