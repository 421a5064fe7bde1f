#!/bin/sh
# Sets everything up on a fresh Debian 12 machine (as root): the packages,
# the build, and the installed data (configuration, recordings, voices).
# Running it again is cheap: each step skips what is already done.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)

scripts/install-deps.sh
# The Windows cross build's tools (scripts/test-windows.sh, package-windows.sh).
scripts/install-deps-windows.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALDORIN_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"

# Data steps, in name order: each one installs one kind of data under the
# drives folder (see README). They run with ROOT and BUILD set.
export ROOT BUILD="$ROOT/build"
for step in scripts/setup.d/*.sh; do
    [ -f "$step" ] || continue
    echo "== $(basename "$step")"
    sh "$step"
done
