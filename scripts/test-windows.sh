#!/bin/sh
# The Windows tests: builds the unit and script tests of the Windows back
# ends (64-bit, see cmake/mingw64.cmake) and runs them under Wine, then the
# smoke test of kaldorin.exe (files, a started program, a download from a
# local server, speech into a wave file, and a run in its own window on a
# virtual display). Expects scripts/setup.sh to have run.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=build-win64

# A Wine prefix of our own, made once: nothing of the user's Wine is touched.
export WINEPREFIX="$ROOT/$BUILD/wine"
export WINEDEBUG=-all
# No menu entries, no .NET or Gecko installers, no sound driver (the tests
# use a capture device or a wave file).
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winealsa.drv=d;winepulse.drv=d"
WINE=/usr/lib/wine/wine64
export WINE

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKALDORIN_WERROR=ON -DKALDORIN_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

# A virtual display for the window, started here and stopped by its id.
XVFB_PID=""
WINESERVER_STARTED=""
cleanup() {
    [ -z "$WINESERVER_STARTED" ] || /usr/lib/wine/wineserver64 -k 2>/dev/null || true
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
$WINE wineboot -i >/dev/null 2>&1 || true
WINESERVER_STARTED=1

# A test program that fails is run once more with Wine's own errors shown:
# Wine has been seen to end a program at its start, before it wrote a line,
# on one machine and not on another; a real failure fails twice.
if ! ctest --test-dir "$BUILD" --output-on-failure; then
    echo "test-windows: running the failed test programs again, with Wine's errors" >&2
    WINEDEBUG=err+all ctest --test-dir "$BUILD" --output-on-failure --rerun-failed
fi
python3 tests/e2e/windows_smoke.py "$BUILD/kaldorin.exe"
