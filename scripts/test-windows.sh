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
# 32-bit Wine runs in an i386 Debian tree of its own (scripts/win32-tree.sh,
# made by scripts/install-deps-windows.sh), with this clone and the
# installed data mounted into it at their own paths. The mounts are made in
# a mount namespace of this run's own and undone when it ends, however it
# ends. Where the tree cannot be used (not root, no tree, a kernel without
# 32-bit programs), this says why in one line and fails, with one
# exception: a kernel that runs no 32-bit x86 programs at all (IA-32
# emulation off in some virtual machines) cannot run 32-bit Wine by any
# route short of full emulation, so there the 64-bit build of the same
# sources is tested instead (scripts/test-windows64.sh), and the log says
# so on its first line.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
TREE_SH="$ROOT/scripts/win32-tree.sh"

ready=0
"$TREE_SH" ready || ready=$?
case $ready in
    0) ;;
    3) echo "test-windows: NOT the shipped 32-bit program: this kernel cannot run it; testing the 64-bit build of the same sources instead" >&2
       exec "$ROOT/scripts/test-windows64.sh" ;;
    *) exit 1 ;;
esac
# Everything below runs in a mount namespace of its own: the tree's mounts
# never reach the host's, and a second run beside this one has its own.
if [ -z "${KALDORIN_WIN32_NAMESPACE:-}" ]; then
    KALDORIN_WIN32_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$@"
fi

BUILD=build-win32
export WINE="$ROOT/scripts/wine32.sh" WINEARCH=win32 WINEDEBUG=-all
# No menu entries, no .NET or Gecko installers, no sound driver (the tests
# use a capture device or a wave file).
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d;winealsa.drv=d;winepulse.drv=d"
DRIVES=${TALVEN_DRIVES:-$HOME/.local/share/talven/drives}

cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release \
    -DKALDORIN_WERROR=ON -DKALDORIN_BENCH=OFF >/dev/null
start=$(date +%s)
cmake --build "$BUILD" -j"$(nproc)"
echo "test-windows: $BUILD built in $(( $(date +%s) - start )) s"

# What each program to be run is, as file(1) says; a 64-bit program where
# the 32-bit one should be fails the run.
check_programs() {
    for exe in "$@"; do
        what=$(file -b "$exe")
        echo "test-windows: $(basename "$exe"): $what"
        case "$what" in
            "PE32 executable"*"Intel 80386"*) ;;
            *) echo "test-windows: $exe is not a 32-bit Windows program" >&2
               return 1 ;;
        esac
    done
}
check_programs "$BUILD"/*.exe

XVFB_PID=""
cleanup() {
    "$TREE_SH" run wineserver -k 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    "$TREE_SH" unmount || exit 1
    echo "test-windows: the i386 tree's mounts are undone"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A virtual display for the windows, on the host; its socket folder is
# mounted into the tree below.
for n in 97 98 99 96 95; do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    break
done
[ -d /tmp/.X11-unix ] || { mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix; }

# Temporary folders of the tests are inside the clone, which the tree sees.
export TMPDIR="$ROOT/$BUILD/tmp"
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"
# The clone read-write; the installed data and the MBROLA voice that tests
# read at their own paths, read-only.
"$TREE_SH" mount "$ROOT" "$DRIVES" /usr/share/mbrola

# A fresh prefix, made before the tests use it so that its first start is
# not counted against a test's time.
export WINEPREFIX="$ROOT/$BUILD/wine"
rm -rf "$WINEPREFIX"
start=$(date +%s)
"$WINE" wineboot -i >/dev/null 2>&1 || true
echo "test-windows: Wine prefix made in $(( $(date +%s) - start )) s"

# A test program that fails is run once more with Wine's own errors shown:
# Wine has been seen to end a program at its start, before it wrote a line,
# on one machine and not on another; a real failure fails twice.
if ! ctest --test-dir "$BUILD" --output-on-failure; then
    echo "test-windows: running the failed test programs again, with Wine's errors" >&2
    WINEDEBUG=err+all ctest --test-dir "$BUILD" --output-on-failure --rerun-failed
fi
python3 tests/e2e/windows_smoke.py "$BUILD/kaldorin.exe"
"$TREE_SH" run wineserver -k 2>/dev/null || true

# The package and its installer, installed into a fresh prefix of its own.
KALDORIN_WINDOWS_BUILD="$BUILD" scripts/package-windows.sh
check_programs dist/kaldorin-setup.exe build-openssl-win32/dll/*.dll
export WINEPREFIX="$ROOT/$BUILD/wine-install"
rm -rf "$WINEPREFIX"
"$WINE" wineboot -i >/dev/null 2>&1 || true
python3 tests/e2e/windows_install.py "$ROOT/dist/kaldorin-setup.exe"
