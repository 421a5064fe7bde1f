#!/bin/sh
# Builds the 32-bit Windows program and makes its package, in two forms with
# the same contents: dist/kaldorin-setup.exe, the installer (NSIS; /S
# installs silently; scripts/windows/kaldorin.nsi), and
# dist/kaldorin-windows.zip, to unzip at C:\ by hand. Laid out as drive C:
# expects it:
#   ferlan\kaldorin\kaldorin.exe    the program (static run-time, no DLLs of the compiler)
#   ferlan\kaldorin\kaldorinw.exe   the same for the shortcuts, with no console of its own
#   ferlan\kaldorin\wget.exe        the downloader of the radio search (9_app/wget_tool.h)
#   ferlan\kaldorin\libcrypto-3.dll, libssl-3.dll, LICENSE-openssl.txt
#                                   the TLS library, cross-built from Debian's
#                                   source (scripts/build-openssl-windows.sh)
#   ferlan\kaldorin\cacert.pem      the authorities https trusts (Debian's ca-certificates)
#   ferlan\kaldorin\guia.txt, referencia.txt  the user's guide and the
#                                   language's reference, in Portuguese (docs/pt_BR),
#                                   as text Notepad opens (UTF-8 with its mark, CR LF)
#   ferlan\som\, ferlan\orvantts\   recordings, diphone pieces, Orvan's files
#   ferlan\orvantts\br3\            MBROLA's Brazilian voice br3, with its licence
#   zelquora\som\                   the Zelquora application's sounds
#   Talven.ini                      the default settings, without the Linux notes: the
#                                   installer puts it into the Windows folder when none
#                                   is there; by hand, copy it there before the first run
# The data is what scripts/setup.sh generated into the drives folder.
#
# KALDORIN_WINDOWS_BUILD names the build folder (default build-win32; the
# Windows tests pass theirs). KALDORIN_PACKAGE_ARCH=64 packs a 64-bit build
# for the tests on a machine without 32-bit Wine: no TLS DLLs, and only the
# installer, into KALDORIN_PACKAGE_OUT.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
ARCH=${KALDORIN_PACKAGE_ARCH:-32}
if [ "$ARCH" = 64 ]; then
    PREFIX=x86_64-w64-mingw32 TARGET=amd64-unicode
else
    PREFIX=i686-w64-mingw32 TARGET=x86-unicode
fi
BUILD=${KALDORIN_WINDOWS_BUILD:-build-win$ARCH}
OUT=${KALDORIN_PACKAGE_OUT:-$ROOT/dist}
DRIVES=${TALVEN_DRIVES:-$HOME/.local/share/talven/drives}

# A build folder the tests configured is used as it is.
[ -f "$BUILD/CMakeCache.txt" ] ||
    cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw$ARCH.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DKALDORIN_WERROR=ON -DKALDORIN_TESTS=OFF -DKALDORIN_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target kaldorin kaldorinw kaldorin_wget
[ "$ARCH" = 64 ] || scripts/build-openssl-windows.sh

# The drive's folders in any letter case, as the program finds them.
find_ci() {
    found=$(ls -A "$1" 2>/dev/null | grep -i -x -F -m 1 "$2" || true)
    echo "$1/${found:-$2}"
}
C=$(find_ci "$DRIVES" c)
FERLAN=$(find_ci "$C" ferlan)
[ -d "$FERLAN" ] || { echo "package-windows: no data in $FERLAN (run scripts/setup.sh first)" >&2; exit 1; }

STAGE=$(mktemp -d "${TMPDIR:-/tmp}/kaldorin-package-XXXXXX")
trap 'rm -rf "$STAGE"' EXIT
PROGRAM="$STAGE/ferlan/kaldorin"
mkdir -p "$PROGRAM"
"$PREFIX-strip" -o "$PROGRAM/kaldorin.exe" "$BUILD/kaldorin.exe"
# The same program built for the window subsystem: the shortcuts start it,
# so no empty console opens beside its window.
"$PREFIX-strip" -o "$PROGRAM/kaldorinw.exe" "$BUILD/kaldorinw.exe"
"$PREFIX-strip" -o "$PROGRAM/wget.exe" "$BUILD/kaldorin_wget.exe"
if [ "$ARCH" = 32 ]; then
    cp build-openssl-win32/dll/libcrypto-3.dll build-openssl-win32/dll/libssl-3.dll \
        build-openssl-win32/dll/LICENSE-openssl.txt "$PROGRAM/"
fi
# Windows has no store of trusted authorities that the TLS library reads:
# Debian's goes beside the program, where 7_net/tls.cpp looks.
cp /etc/ssl/certs/ca-certificates.crt "$PROGRAM/cacert.pem"
# The guide names the reference by the name it has here.
as_notepad_text() { printf '\357\273\277'; sed -e 's/referencia\.md/referencia.txt/g' -e 's/$/\r/' "$1"; }
as_notepad_text docs/pt_BR/guia.md > "$PROGRAM/guia.txt"
as_notepad_text docs/pt_BR/referencia.md > "$PROGRAM/referencia.txt"
for d in som orvantts; do
    src=$(find_ci "$FERLAN" "$d")
    [ -d "$src" ] && cp -R "$src" "$STAGE/ferlan/$d"
done
# MBROLA's voice br3 (Debian's mbrola-br3), with its licence and notes.
if [ -f /usr/share/mbrola/br3/br3 ]; then
    mkdir -p "$STAGE/ferlan/orvantts/br3"
    cp /usr/share/mbrola/br3/br3 "$STAGE/ferlan/orvantts/br3/br3"
    sed 's/$/\r/' /usr/share/doc/mbrola-br3/copyright > "$STAGE/ferlan/orvantts/br3/LICENCA.txt"
    sed 's/$/\r/' /usr/share/doc/mbrola-br3/README.txt > "$STAGE/ferlan/orvantts/br3/LEIAME.txt"
else
    echo "package-windows: no /usr/share/mbrola/br3/br3 (package mbrola-br3); the voice is left out" >&2
fi
ZEL=$(find_ci "$C" zelquora)
mkdir -p "$STAGE/zelquora"
if [ -d "$ZEL" ]; then
    src=$(find_ci "$ZEL" som)
    [ -d "$src" ] && cp -R "$src" "$STAGE/zelquora/som"
fi
python3 scripts/windows/talven_ini.py data/Talven.ini "$STAGE/Talven.ini"

# The uninstaller removes exactly the files the package brings, then their
# folders when nothing else is left in them (deepest first).
LISTS="$STAGE.lists"
mkdir -p "$LISTS"
trap 'rm -rf "$STAGE" "$LISTS"' EXIT
nsis_path() { printf 'C:\\%s' "$(printf '%s' "$1" | sed -e 's|/|\\|g' -e 's/\$/$$/g')"; }
(
    cd "$STAGE"
    find ferlan zelquora -type f | sort | while read -r f; do printf '  Delete "%s"\n' "$(nsis_path "$f")"; done
    find ferlan zelquora -mindepth 1 -type d | sort -r | while read -r d; do printf '  RMDir "%s"\n' "$(nsis_path "$d")"; done
) > "$LISTS/uninstall.nsh"

mkdir -p "$OUT"
rm -f "$OUT/kaldorin-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$STAGE" -DOUT="$OUT/kaldorin-setup.exe" -DTARGET="$TARGET" \
    -DLISTS="$LISTS" scripts/windows/kaldorin.nsi
if [ "$ARCH" = 32 ]; then
    rm -f "$OUT/kaldorin-windows.zip"
    (cd "$STAGE" && zip -q -r -9 "$OUT/kaldorin-windows.zip" .)
    echo "package-windows: $OUT/kaldorin-windows.zip ($(du -k "$OUT/kaldorin-windows.zip" | cut -f1) KiB)"
fi
echo "package-windows: $OUT/kaldorin-setup.exe ($(du -k "$OUT/kaldorin-setup.exe" | cut -f1) KiB;" \
     "kaldorin.exe $(du -k "$PROGRAM/kaldorin.exe" | cut -f1) KiB)"
