#!/bin/sh
# Installs the manual page where man finds it. MANDIR chooses another folder
# (tests install into a temporary one).
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
MANDIR=${MANDIR:-/usr/local/share/man/man1}
mkdir -p "$MANDIR"
cp "$ROOT/docs/kaldorin.1" "$MANDIR/kaldorin.1.tmp"
mv "$MANDIR/kaldorin.1.tmp" "$MANDIR/kaldorin.1"
command -v mandb >/dev/null 2>&1 && mandb -q "$(dirname "$MANDIR")" >/dev/null 2>&1 || true
