#!/bin/sh
# Runs the benchmarks that compare kaldorin with perl and lua5.4, and the
# start-up and screen review figures, on this machine, and writes what they
# printed as Markdown (default bench/RESULTS.md) with the date, the machine
# and the exact commands. Whole processes, programs in turns, medians.
#
# Usage: scripts/bench.sh [--rounds N] [--scale F] [--out FILE] [--also NAME=PROGRAM]...
#   --also times another kaldorin (an older build) beside this one.
#   BUILD=dir picks the build folder (default build).
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
ROUNDS=11
SCALE=1
OUT=bench/RESULTS.md
ALSO=""  # the --also words, for the heading
ALSO_N=0
while [ $# -gt 1 ]; do
    case "$1" in
        --rounds) ROUNDS=$2 ;;
        --scale) SCALE=$2 ;;
        --out) OUT=$2 ;;
        --also) ALSO_N=$((ALSO_N + 1)); eval "ALSO_$ALSO_N=\$2"; ALSO="$ALSO --also $2" ;;
        *) echo "bench.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
for tool in perl lua5.4; do
    command -v "$tool" >/dev/null 2>&1 || echo "bench.sh: $tool is not installed (scripts/install-deps.sh installs it); its rows are left out" >&2
done

[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" >/dev/null
cmake --build "$BUILD" -j2 --target kaldorin bench_peers bench_startup bench_screen_review >/dev/null

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
echo "== bench_peers --rounds $ROUNDS --scale $SCALE"
# The --also pairs, as the words of bench_peers' command.
set --
i=1
while [ "$i" -le "$ALSO_N" ]; do
    eval "set -- \"\$@\" --also \"\$ALSO_$i\""
    i=$((i + 1))
done
"$BUILD/bench_peers" --rounds "$ROUNDS" --scale "$SCALE" "$@" --markdown "$TMP/peers.md" | tee "$TMP/peers.txt"
echo "== bench_startup $ROUNDS"
"$BUILD/bench_startup" "$ROUNDS" | tee "$TMP/startup.txt"
echo "== bench_screen_review"
"$BUILD/bench_screen_review" | tee "$TMP/review.txt"

CPU=$(grep -m1 'model name' /proc/cpuinfo 2>/dev/null | sed 's/.*: //' || true)
{
    echo "# Benchmark results"
    echo
    echo "Run $(date -u '+%Y-%m-%d %H:%M UTC') by \`scripts/bench.sh --rounds $ROUNDS --scale $SCALE$ALSO\`"
    echo "at commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown), on $(nproc) processors"
    echo "(${CPU:-unknown}), load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
    echo "$(perl -e 'printf "perl %vd", $^V' 2>/dev/null || echo 'perl: not installed'),"
    echo "$(lua5.4 -v 2>/dev/null | cut -d' ' -f1-2 || echo 'lua5.4: not installed')."
    echo
    echo "Wall time of whole processes, each program's runs in turns with the others;"
    echo "the median of $ROUNDS runs, the fastest and slowest, and the median over"
    echo "kaldorin's (above 1: kaldorin is faster). Every program of a case prints"
    echo "the same result, checked before the timing."
    echo
    cat "$TMP/peers.md"
    echo
    echo "The exact commands (scripts in a temporary folder):"
    echo
    echo '```'
    grep '^    \$ ' "$TMP/peers.txt" | sed 's/^    //'
    echo '```'
    echo
    echo "Start-up (\`bench_startup $ROUNDS\`):"
    echo
    echo '```'
    cat "$TMP/startup.txt"
    echo '```'
    echo
    echo "Screen review (\`bench_screen_review\`):"
    echo
    echo '```'
    cat "$TMP/review.txt"
    echo '```'
} >"$OUT"
echo "== written to $OUT"
