#!/bin/sh
# The Windows tests on a machine whose kernel runs no 32-bit x86 programs
# (some virtual machines run 64-bit code only), where 32-bit Wine cannot
# start: the 64-bit build of the same sources (cmake/mingw64.cmake) under
# 64-bit Wine, its unit and script tests, the smoke test of kaldorin.exe,
# and the installer made for 64-bit Windows for its test only, installed
# silently into a fresh prefix (tests/e2e/windows_install.py). Only the
# pointer size differs from the program we ship; scripts/test-windows.sh
# runs this where its 32-bit run cannot, and says so.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)

ARCH=64 BUILD=build-win64 WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win64 WINE

# A Wine prefix of our own, made once: nothing of the user's Wine is touched.
export WINEPREFIX="$ROOT/$BUILD/wine"
export WINEDEBUG=-all
# No menu entries, no .NET or Gecko installers, no sound driver (the tests
# use a capture device or a wave file).
# No debugger on a crash either: it would wait for a person, and the
# test would hang until its time-out instead of failing.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winealsa.drv=d;winepulse.drv=d;winedbg.exe=d"

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
KALDORIN_WINDOWS_BUILD="$BUILD" KALDORIN_PACKAGE_ARCH=64 KALDORIN_PACKAGE_OUT="$ROOT/$BUILD/dist" \
    scripts/package-windows.sh
SETUP="$ROOT/$BUILD/dist/kaldorin-setup.exe"
export WINEPREFIX="$ROOT/$BUILD/wine-install"
rm -rf "$WINEPREFIX"
"$WINE" wineboot -i >/dev/null 2>&1 || true
python3 tests/e2e/windows_install.py "$SETUP"
