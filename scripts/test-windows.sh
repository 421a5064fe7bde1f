#!/bin/sh
# The Windows tests of the program we ship: builds the 32-bit program and
# its unit and script tests (cmake/mingw32.cmake) and runs them under 32-bit
# Wine, then the smoke test of kaldorin.exe (files, a started program, a
# download from a local server, speech into a wave file, and a run in its
# own window on a virtual display); then makes the package and its
# installer (scripts/package-windows.sh) and installs it silently into a
# fresh Wine prefix, where the installed program runs a script, fetches
# over https and runs the radio search through the shipped downloader
# (tests/e2e/windows_install.py). Expects scripts/setup.sh to have run.
#
# Where wine32 could not be installed (scripts/install-deps-windows.sh says
# so), the same is done with the 64-bit build under 64-bit Wine, and the
# installer is made for 64-bit Windows for its test only.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)

if [ -x /usr/lib/wine/wine ] && [ "${KALDORIN_WINDOWS_ARCH:-32}" = 32 ]; then
    ARCH=32 BUILD=build-win32 WINE=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32
    [ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
    export WINEARCH=win32
else
    echo "test-windows: no 32-bit Wine here; testing the 64-bit build of the same sources" >&2
    ARCH=64 BUILD=build-win64 WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    export WINEARCH=win64
fi
export WINE

# A Wine prefix of our own, made once: nothing of the user's Wine is touched.
export WINEPREFIX="$ROOT/$BUILD/wine"
export WINEDEBUG=-all
# No menu entries, no .NET or Gecko installers, no sound driver (the tests
# use a capture device or a wave file).
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winealsa.drv=d;winepulse.drv=d"

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw$ARCH.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DKALDORIN_WERROR=ON -DKALDORIN_BENCH=OFF >/dev/null
start=$(date +%s)
cmake --build "$BUILD" -j"$(nproc)"
echo "test-windows: $BUILD built in $(( $(date +%s) - start )) s"

# A virtual display for the window, started here and stopped by its id.
XVFB_PID=""
WINESERVER_STARTED=""
cleanup() {
    [ -z "$WINESERVER_STARTED" ] || "$WINESERVER" -k 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
for n in 97 98 99 96 95; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    break
done

# The prefix is made (or brought up to date) before the tests use it, so
# that its first start is not counted against a test's time.
"$WINE" wineboot -i >/dev/null 2>&1 || true
WINESERVER_STARTED=1

# A test program that fails is run once more with Wine's own errors shown:
# Wine has been seen to end a program at its start, before it wrote a line,
# on one machine and not on another; a real failure fails twice.
if ! ctest --test-dir "$BUILD" --output-on-failure; then
    echo "test-windows: running the failed test programs again, with Wine's errors" >&2
    WINEDEBUG=err+all ctest --test-dir "$BUILD" --output-on-failure --rerun-failed
fi
python3 tests/e2e/windows_smoke.py "$BUILD/kaldorin.exe"
"$WINESERVER" -k 2>/dev/null || true

# The package and its installer, installed into a fresh prefix of its own.
if [ "$ARCH" = 32 ]; then
    KALDORIN_WINDOWS_BUILD="$BUILD" scripts/package-windows.sh
    SETUP="$ROOT/dist/kaldorin-setup.exe"
else
    KALDORIN_WINDOWS_BUILD="$BUILD" KALDORIN_PACKAGE_ARCH=64 KALDORIN_PACKAGE_OUT="$ROOT/$BUILD/dist" \
        scripts/package-windows.sh
    SETUP="$ROOT/$BUILD/dist/kaldorin-setup.exe"
fi
export WINEPREFIX="$ROOT/$BUILD/wine-install"
rm -rf "$WINEPREFIX"
"$WINE" wineboot -i >/dev/null 2>&1 || true
python3 tests/e2e/windows_install.py "$SETUP"
