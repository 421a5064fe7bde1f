#!/bin/sh
# Builds the 32-bit Windows program and packs dist/kaldorin-windows.zip, laid
# out as drive C: expects it (unzip it at C:\):
#   ferlan\kaldorin\kaldorin.exe    the program (static run-time, no DLLs)
#   ferlan\som\, ferlan\orvantts\   recordings, diphone pieces, Orvan's files
#   zelquora\                       the Zelquora application's sounds
#   Talven.ini                      the default settings: copy it into the
#                                   Windows folder (or %APPDATA%\Talven)
# The data is what scripts/setup.sh generated into the drives folder.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=build-win32
DRIVES=${TALVEN_DRIVES:-$HOME/.local/share/talven/drives}
OUT="$ROOT/dist/kaldorin-windows.zip"

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKALDORIN_WERROR=ON -DKALDORIN_TESTS=OFF -DKALDORIN_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target kaldorin

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
mkdir -p "$STAGE/ferlan/kaldorin"
i686-w64-mingw32-strip -o "$STAGE/ferlan/kaldorin/kaldorin.exe" "$BUILD/kaldorin.exe"
for d in som orvantts; do
    src=$(find_ci "$FERLAN" "$d")
    [ -d "$src" ] && cp -R "$src" "$STAGE/ferlan/$d"
done
ZEL=$(find_ci "$C" zelquora)
if [ -d "$ZEL" ]; then
    mkdir -p "$STAGE/zelquora"
    src=$(find_ci "$ZEL" som)
    [ -d "$src" ] && cp -R "$src" "$STAGE/zelquora/som"
fi
# Windows reads the settings file with CR LF line ends.
sed 's/$/\r/' data/Talven.ini > "$STAGE/Talven.ini"

mkdir -p "$(dirname "$OUT")"
rm -f "$OUT"
(cd "$STAGE" && zip -q -r -9 "$OUT" .)
echo "package-windows: $OUT ($(du -k "$OUT" | cut -f1) KiB; kaldorin.exe $(du -k "$STAGE/ferlan/kaldorin/kaldorin.exe" | cut -f1) KiB)"
