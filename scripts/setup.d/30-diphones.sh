#!/bin/sh
# Builds the recorded voice's database (DIFONES2.IND, DIFONES2.DIF) from
# MBROLA's Brazilian voice into the diphone folder that the installed
# Talven.ini names (TRADUTOR/DIRDIFONES), with the translator's rules and
# exceptions beside it, and makes sure TRADUTOR/dirLetras and DIRDIFONES are
# set. Takes a few seconds, so it simply runs again each time.
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
BUILD=${BUILD:-$ROOT/build}
"$BUILD/build_diphones" --install "$ROOT/data"
