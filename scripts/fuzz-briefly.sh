#!/bin/sh
# scripts/fuzz-briefly.sh BUILD SECONDS TARGET...: runs each fuzz target
# BUILD/fuzz_TARGET for SECONDS from its seeds in fuzz/corpus/TARGET (with
# fuzz/TARGET.dict when there is one). What it finds new goes to a scratch
# folder, never into the tree; a crash, a leak or an input slower than 10 s
# fails the run, its input kept as BUILD/fuzz-crashes/TARGET-*.
set -eu
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
mkdir -p "$build/fuzz-crashes"
for target in "$@"; do
    scratch=$(mktemp -d)
    dict=""
    [ ! -f "fuzz/$target.dict" ] || dict="-dict=fuzz/$target.dict"
    log="$build/fuzz-$target.log"
    # shellcheck disable=SC2086  # $dict is one word or none
    if ! "$build/fuzz_$target" "$scratch" "fuzz/corpus/$target" $dict -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/fuzz-crashes/$target-" > "$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz-briefly: fuzz_$target failed; its input is in $build/fuzz-crashes/" >&2
        rm -rf "$scratch"
        exit 1
    fi
    if ! grep -q '^Done' "$log"; then
        tail -n 20 "$log" >&2
        echo "fuzz-briefly: fuzz_$target did not run" >&2
        rm -rf "$scratch"
        exit 1
    fi
    echo "fuzz_$target: $(grep '^Done' "$log" | tail -n 1), $(ls "$scratch" | wc -l) new inputs, no fault"
    rm -rf "$scratch"
done
