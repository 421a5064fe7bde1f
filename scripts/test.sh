#!/bin/sh
# Runs every test: the normal build (warnings are errors), then the whole
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
# Expects scripts/setup.sh to have run.
#
# scripts/test.sh --quick: the run to repeat while working. Builds what the
# unit and script tests need in build/ (configuring it first when it is not
# there) and runs those tests, leaving out the slow cases that
# tests/slow_tests.txt names, and fails when another case took over 2 s
# (scripts/check_test_times.py); no end-to-end, Windows, fuzz or sanitizer
# runs.
set -eu
cd "$(dirname "$0")/.."

case "${1:-}" in
    "") ;;
    --quick)
        python3 scripts/check_layers.py
        [ -f build/CMakeCache.txt ] || cmake -S . -B build -DKALDORIN_WERROR=ON >/dev/null
        cmake --build build -j"$(nproc)" --target test_programs
        # The slow cases as one negative GoogleTest filter (A:B:C).
        slow=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' tests/slow_tests.txt | paste -sd: -)
        # Each test program reports its cases' times; a case over 2 s that
        # the slow list does not name fails the run.
        rm -rf build/quick-times
        GTEST_FILTER="-$slow" GTEST_OUTPUT="xml:$PWD/build/quick-times/" \
            ctest --test-dir build --output-on-failure -j"$(nproc)" -L '^(unit|script)$'
        python3 scripts/check_test_times.py build/quick-times
        exit ;;
    *)
        echo "usage: scripts/test.sh [--quick]" >&2
        exit 2 ;;
esac

# Each stage's time, printed at the end (also when a stage fails), so that
# the log's last line tells where the run's minutes went.
STARTED=$(date +%s)
LAST=$STARTED
TIMES=""
[ -z "${KALDORIN_SETUP_SECONDS:-}" ] || TIMES="set-up $KALDORIN_SETUP_SECONDS s, "
stage_done() {
    now=$(date +%s)
    TIMES="$TIMES$1 $((now - LAST)) s, "
    LAST=$now
}
trap 'echo "test.sh stages: ${TIMES}in all $(($(date +%s) - STARTED)) s"' EXIT

# The layer order first: it needs no build and fails fast.
python3 scripts/check_layers.py

# The TLS library's DLLs for the Windows package take minutes of one core to
# build the first time: they are built now, on one core while the Linux
# tests leave it idle, and waited for before the Windows stage (which
# fails at once, saying why, where 32-bit Wine cannot run).
OPENSSL_PID=""
OPENSSL_LOG=build/openssl-windows.log
if [ "${KALDORIN_SKIP_WINDOWS:-0}" != 1 ] && scripts/win32-tree.sh ready 2>/dev/null; then
    KALDORIN_OPENSSL_JOBS=1 nice scripts/build-openssl-windows.sh > "$OPENSSL_LOG" 2>&1 &
    OPENSSL_PID=$!
fi

ctest --test-dir build --output-on-failure -j"$(nproc)"
stage_done tests

# The Debian package: built, installed, run by a new user with an empty
# home, and removed (scripts/test-deb.sh; about a minute, skipped when not
# root). KALDORIN_SKIP_DEB=1 leaves it out.
if [ "${KALDORIN_SKIP_DEB:-0}" != 1 ]; then
    scripts/test-deb.sh
    stage_done package
fi

# The 32-bit Windows build's tests under 32-bit Wine, once (there is no
# sanitizer build of them). KALDORIN_SKIP_WINDOWS=1 leaves them out.
if [ "${KALDORIN_SKIP_WINDOWS:-0}" != 1 ]; then
    if [ -n "$OPENSSL_PID" ] && ! wait "$OPENSSL_PID"; then
        cat "$OPENSSL_LOG" >&2
        exit 1
    fi
    [ -z "$OPENSSL_PID" ] || cat "$OPENSSL_LOG"
    scripts/test-windows.sh
    stage_done windows
fi

# The whole suite again under AddressSanitizer and UBSan, built with clang,
# which also builds the fuzz targets, so that they keep building, and runs
# those of the language server, the script check and the interpreter (whose
# scripts run both ways, decoded and through the handlers, and must agree)
# for 30 s each (the others are run by hand, see fuzz/).
if [ "${KALDORIN_SKIP_SANITIZERS:-0}" != 1 ]; then
    CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKALDORIN_WERROR=ON \
        -DKALDORIN_SANITIZE=ON -DKALDORIN_BENCH=OFF >/dev/null
    cmake --build build-asan -j"$(nproc)"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
    scripts/fuzz-briefly.sh build-asan 30 language_server script_check execute_line
    stage_done sanitizers
fi
