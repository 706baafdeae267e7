#!/bin/sh
# Installs the Debian packages the project needs, when some are missing.
# As root it installs them; otherwise it prints the apt-get line to run.
# alsa-utils is only for its spoken test recordings in /usr/share/sounds/alsa,
# the real recording of the analysis benchmark.
set -eu
packages="cmake make g++ git clang clang-format libclang-rt-14-dev
  xvfb libx11-dev libxext-dev libxtst-dev fonts-dejavu-core
  googletest libgtest-dev libbenchmark-dev libfftw3-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64
  libstb-dev libsndfile1-dev
  alsa-utils"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:"
  echo "  apt-get install -y$missing"
  exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq $missing >/dev/null
