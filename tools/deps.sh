#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the demo need, but only
# those that are missing, so that later runs cost nothing. dpkg-dev computes the
# package's dependencies, librsvg2-bin renders the icon's PNG sizes and
# desktop-file-utils checks the desktop entry.
set -e
PKGS="cmake ninja-build g++ pkg-config clang-14 libclang-rt-14-dev
qt6-base-dev qt6-serialport-dev qt6-tools-dev libqt6opengl6-dev libgl-dev
libgtest-dev libgmock-dev libbenchmark-dev libeigen3-dev
xvfb xauth python3
dpkg-dev librsvg2-bin desktop-file-utils"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
