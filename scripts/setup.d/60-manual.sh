#!/bin/sh
# Installs the manual pages where man finds them: the English one in MANDIR,
# the Brazilian Portuguese one in MANDIR/../pt_BR/man1 (read with
# LANG=pt_BR.UTF-8). MANDIR chooses another folder (tests install into a
# temporary one).
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
MANDIR=${MANDIR:-/usr/local/share/man/man1}
mkdir -p "$MANDIR"
cp "$ROOT/docs/kaldorin.1" "$MANDIR/kaldorin.1.tmp"
mv "$MANDIR/kaldorin.1.tmp" "$MANDIR/kaldorin.1"
PT=$(dirname "$MANDIR")/pt_BR/man1
mkdir -p "$PT"
cp "$ROOT/docs/pt_BR/kaldorin.1" "$PT/kaldorin.1.tmp"
mv "$PT/kaldorin.1.tmp" "$PT/kaldorin.1"
command -v mandb >/dev/null 2>&1 && mandb -q "$(dirname "$MANDIR")" >/dev/null 2>&1 || true
