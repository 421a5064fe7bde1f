#!/bin/sh
# Installs what the Windows build, its package and its tests need on Debian
# 12 (run as root): mingw-w64 for 32-bit Windows with the POSIX thread
# model, Xvfb for the tests that open windows, zip and NSIS for the package
# and its installer, the source package of the TLS library, whose DLLs
# scripts/build-openssl-windows.sh cross-builds, and debootstrap, which
# makes the i386 tree where 32-bit Wine runs the program we ship
# (scripts/win32-tree.sh; the host gets no i386 architecture).
set -eu
export DEBIAN_FRONTEND=noninteractive
APT_OPTS="-o Acquire::Retries=3"

PKGS="g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix xvfb xauth zip nsis dpkg-dev debootstrap file"
FALLBACK_PKGS="g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64"

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
add_sources && refresh=1
missing=""
for p in $PKGS; do installed "$p" || missing="$missing $p"; done
[ -z "$missing" ] && [ -z "$refresh" ] || update
[ -z "$missing" ] || apt-get install -y -qq $APT_OPTS --no-install-recommends $missing

# The i386 tree with 32-bit Wine, from the same mirror's main index. Where
# it cannot be made, the set-up goes on and the Windows tests say why: a
# kernel that runs no 32-bit x86 programs gets the 64-bit cross build and
# 64-bit Wine instead (scripts/test-windows64.sh); otherwise they fail.
set -- $(debian_line)
status=0
"$(dirname "$0")/win32-tree.sh" make "${1:-http://deb.debian.org/debian/}" || status=$?
if [ "$status" = 3 ]; then
    echo "install-deps-windows: no 32-bit programs on this kernel; the Windows tests will run the 64-bit build" >&2
    missing=""
    for p in $FALLBACK_PKGS; do installed "$p" || missing="$missing $p"; done
    [ -z "$missing" ] || apt-get install -y -qq $APT_OPTS --no-install-recommends $missing
elif [ "$status" != 0 ]; then
    echo "install-deps-windows: no i386 tree with 32-bit Wine; scripts/test-windows.sh will fail" >&2
fi
