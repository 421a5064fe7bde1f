#!/bin/sh
# Installs what the Windows build, its package and its tests need on Debian
# 12 (run as root): mingw-w64 with the POSIX thread model for both Windows
# architectures, 32-bit Wine (wine32 of the i386 architecture) to run the
# 32-bit program we ship, Xvfb for the tests that open windows, zip and NSIS
# for the package and its installer, and the source package of the TLS
# library, whose DLLs scripts/build-openssl-windows.sh cross-builds.
# 64-bit Wine stays: when a mirror cannot give wine32 (its i386 index out of
# step with the amd64 one), scripts/test-windows.sh tests the 64-bit build
# instead and says so.
set -eu
export DEBIAN_FRONTEND=noninteractive
APT_OPTS="-o Acquire::Retries=3"

PKGS="g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
 gcc-mingw-w64-x86-64-posix wine wine64 xvfb xauth zip nsis dpkg-dev"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# The index of every configured source, read as apt reads them: the mirror
# and release of the Debian lines, for the source line added below.
debian_line() {
    apt-get indextargets --no-release-info --format '$(REPO_URI) $(RELEASE) $(COMPONENT) $(TARGET_OF)' 2>/dev/null |
        awk '$4 == "deb" && $3 == "main" && ($2 == "bookworm" || $2 == "stable") { print $1, $2; exit }'
}

# The TLS library's source package is in main; its source lines are added
# in a file of our own, for the same mirror, rather than by editing the
# system's.
add_sources() {
    if apt-get indextargets --no-release-info --format '$(TARGET_OF) $(COMPONENT)' 2>/dev/null |
            grep -q '^deb-src main$'; then
        return 1
    fi
    set -- $(debian_line)
    uri=${1:-http://deb.debian.org/debian/}
    release=${2:-bookworm}
    {
        echo "# Added by kaldorin's scripts/install-deps-windows.sh: the TLS library's source, built for Windows."
        echo "Types: deb-src"
        echo "URIs: $uri"
        echo "Suites: $release"
        echo "Components: main"
        if [ -f /usr/share/keyrings/debian-archive-keyring.gpg ]; then
            echo "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
        fi
    } > /etc/apt/sources.list.d/kaldorin-src.sources
}

# An update that leaves one index behind (a mirror half synced) still
# updated the others: what can be installed is tried all the same.
update() { apt-get update -qq $APT_OPTS || echo "install-deps-windows: apt-get update reported an error; going on" >&2; }

refresh=""
dpkg --print-foreign-architectures | grep -qx i386 || { dpkg --add-architecture i386; refresh=1; }
add_sources && refresh=1
missing=""
for p in $PKGS; do installed "$p" || missing="$missing $p"; done
[ -z "$missing" ] && [ -z "$refresh" ] || update
[ -z "$missing" ] || apt-get install -y -qq $APT_OPTS --no-install-recommends $missing

if ! installed wine32:i386; then
    [ -n "$refresh$missing" ] || update
    if ! apt-get install -y -qq $APT_OPTS --no-install-recommends wine32:i386; then
        echo "install-deps-windows: wine32:i386 could not be installed; the Windows tests run the 64-bit build" >&2
        # The i386 architecture goes again while no package of it is
        # installed: its broken index would fail every later apt-get update.
        if ! dpkg-query -W -f='${Architecture}\n' 2>/dev/null | grep -qx i386; then
            dpkg --remove-architecture i386 && apt-get update -qq $APT_OPTS || true
        fi
    fi
fi
