#!/bin/sh
# The Zelquora radio search: its working folders C:\zelquora\temp and
# C:\zelquora\som, its recorded prompts, and the kaldorin command on PATH
# (the report viewer is started as "kaldorin --view").
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
BUILD=${BUILD:-$ROOT/build}
DRIVES=${TALVEN_DRIVES:-$HOME/.local/share/talven/drives}

find_ci() {
    found=$(ls -A "$1" 2>/dev/null | grep -i -x -F -m 1 "$2" || true)
    echo "$1/${found:-$2}"
}

C=$(find_ci "$DRIVES" c)
Z=$(find_ci "$C" zelquora)
mkdir -p "$(find_ci "$Z" temp)" "$(find_ci "$Z" som)"

if [ -w /usr/local/bin ]; then
    ln -sf "$BUILD/kaldorin" /usr/local/bin/kaldorin
fi

# The prompts, each saying its message (kept when already there).
"$BUILD/render_recordings" "$(find_ci "$Z" som)" "$ROOT/data/zelquora/prompts.tsv"
