#!/bin/sh
# Installs what the build and the tests need on Debian 12, when missing.
# Runs as root, or through sudo.
set -eu

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES="cmake g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
  zlib1g-dev zip python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 wine32:i386 xvfb xauth imagemagick fp-utils"

missing=""
for package in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing
