#!/bin/sh
# Installs a desktop launcher for the program, so that it can be started from
# the desktop's menu; it opens the console as a window of its own. APPDIR
# chooses another folder (tests install into a temporary one); BUILD is the
# folder that holds the built program.
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
BUILD=${BUILD:-$ROOT/build}
APPDIR=${APPDIR:-/usr/local/share/applications}
mkdir -p "$APPDIR"
# A path with characters that a desktop entry would read as field codes or
# quotes is not written into one.
case "$BUILD" in
    *[\"\`\$\\%\ \|]*) echo "70-desktop: the build folder's path cannot go into a launcher: $BUILD" >&2; exit 1 ;;
esac
# The package's launcher (data/kaldorin.desktop), which finds the program
# on PATH, here starts the one in the build folder.
sed "s|^Exec=kaldorin |Exec=$BUILD/kaldorin |" "$ROOT/data/kaldorin.desktop" > "$APPDIR/kaldorin.desktop.tmp"
mv "$APPDIR/kaldorin.desktop.tmp" "$APPDIR/kaldorin.desktop"
command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database -q "$APPDIR" 2>/dev/null || true
