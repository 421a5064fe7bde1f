#!/bin/sh
# Installs what the Windows build and its tests need on Debian 12 (run as
# root): mingw-w64 with the POSIX thread model for both Windows
# architectures, Wine, Xvfb for the tests that open windows, and zip for the
# package. The program ships as a 32-bit .exe; the tests run a 64-bit build
# of the same sources under 64-bit Wine, since Wine's 32-bit side needs a
# kernel that runs 32-bit Linux programs, which not every machine has.
set -eu
export DEBIAN_FRONTEND=noninteractive

PKGS="g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
 gcc-mingw-w64-x86-64-posix wine wine64 xvfb xauth zip"

missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
if [ -n "$missing" ]; then
    apt-get update -qq -o Acquire::Retries=3
    apt-get install -y -qq -o Acquire::Retries=3 --no-install-recommends $missing
fi
