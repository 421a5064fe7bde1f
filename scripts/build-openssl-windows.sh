#!/bin/sh
# Cross-builds the TLS library's two DLLs (libcrypto-3.dll, libssl-3.dll) for
# 32-bit Windows from Debian's own source package, into
#   build-openssl-win32/dll/
# which the Windows package ships beside kaldorin.exe (7_net/ssl_api_loaded.cpp
# loads them by those names). The result is kept: a second run that finds
# both DLLs built from the same source version does nothing. Needs the
# source lines that scripts/install-deps-windows.sh adds (run as root once).
#
#   scripts/build-openssl-windows.sh            build (or reuse) the DLLs
#   scripts/build-openssl-windows.sh --version  the source version it builds
# KALDORIN_OPENSSL_JOBS sets make's jobs (default: one per core).
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
CACHE="$ROOT/build-openssl-win32"
PREFIX=i686-w64-mingw32-
OUT="$CACHE/dll"

# The source version apt would fetch now (from the deb-src lines).
version=$(apt-cache showsrc openssl 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1)
if [ -z "$version" ]; then
    echo "build-openssl-windows: no source package of openssl is known to apt (run scripts/install-deps-windows.sh)" >&2
    exit 1
fi
[ "${1:-}" != --version ] || { echo "$version"; exit 0; }

if [ -f "$OUT/libcrypto-3.dll" ] && [ -f "$OUT/libssl-3.dll" ] && [ "$(cat "$OUT/VERSION" 2>/dev/null)" = "$version" ]; then
    echo "build-openssl-windows: $OUT has $version already"
    exit 0
fi

mkdir -p "$CACHE"
SRC="$CACHE/src-$version"
if [ ! -f "$SRC/Configure" ]; then
    rm -rf "$CACHE/fetch"
    mkdir -p "$CACHE/fetch"
    # Debian's source package, its signature checked by dpkg-source against
    # apt's verified index; the unpacked tree is moved into place whole.
    (cd "$CACHE/fetch" && apt-get source -qq -o APT::Sandbox::User=root "openssl=$version" >/dev/null)
    tree=$(find "$CACHE/fetch" -mindepth 1 -maxdepth 1 -type d -name 'openssl-*' | head -n 1)
    [ -n "$tree" ] && [ -f "$tree/Configure" ] || { echo "build-openssl-windows: no source tree unpacked" >&2; exit 1; }
    rm -rf "$SRC"
    mv "$tree" "$SRC"
    rm -rf "$CACHE/fetch"
fi

start=$(date +%s)
# No assembler (the cross assembler's syntax differs), no tests, engines or
# loadable modules; of its make targets, the two libraries only. The folder
# where the library looks for its own configuration and certificates is the
# under the program's own folder, so that whoever could plant a configuration
# there could as well replace the program; kaldorin gives the library
# cacert.pem beside kaldorin.exe itself (7_net/tls.cpp).
(
    cd "$SRC"
    [ ! -f Makefile ] || make -s clean >/dev/null 2>&1 || true
    ./Configure mingw no-asm no-tests no-engine no-module no-legacy \
        --cross-compile-prefix="$PREFIX" --prefix=/kaldorin-openssl \
        '--openssldir=C:/ferlan/kaldorin/ssl' >/dev/null
    make -s -j"${KALDORIN_OPENSSL_JOBS:-$(nproc)}" build_libs >/dev/null 2>"$CACHE/build.log" || { tail -n 40 "$CACHE/build.log" >&2; exit 1; }
)
rm -rf "$OUT"
mkdir -p "$OUT"
for dll in libcrypto-3.dll libssl-3.dll; do
    "${PREFIX}strip" -o "$OUT/$dll" "$SRC/$dll"
done
cp "$SRC/LICENSE.txt" "$OUT/LICENSE-openssl.txt"
echo "$version" > "$OUT/VERSION"
echo "build-openssl-windows: $version built in $(( $(date +%s) - start )) s into $OUT"
