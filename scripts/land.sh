#!/bin/sh
# For developers working in a git worktree on a branch of their own: brings
# the branch onto main. Rebases onto main, builds everything with warnings as
# errors, runs the tests, and fast-forwards main. One landing at a time.
set -eu
BR=$(git rev-parse --abbrev-ref HEAD)
MAIN_DIR=${MAIN_DIR:-/work/main}
[ -z "$(git status --porcelain --untracked-files=no)" ] || { echo "commit your changes first"; exit 1; }
exec 9>/tmp/kaldorin-land.lock
flock 9
git rebase main
cmake -S . -B build -DKALDORIN_WERROR=ON >/dev/null
cmake --build build -j2
# The end-to-end test takes minutes; it runs in CI and before releases.
ctest --test-dir build --output-on-failure -j2 ${LAND_CTEST_ARGS:--E zelquora_e2e}
git -C "$MAIN_DIR" merge --ff-only "$BR"
echo "landed $BR on main"
