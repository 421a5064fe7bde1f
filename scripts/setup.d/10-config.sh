#!/bin/sh
# Creates the drives folder and installs the default configuration file as
# C:\windows\Talven.ini (<drives>/c/windows/Talven.ini). A Talven.ini that is
# already there, in any letter case, is never replaced: it holds the user's
# settings.
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
DRIVES=${TALVEN_DRIVES:-$HOME/.local/share/talven/drives}

# The entry of folder $1 named $2 in any letter case, or $1/$2 when none.
find_ci() {
    found=$(ls -A "$1" 2>/dev/null | grep -i -x -F -m 1 "$2" || true)
    echo "$1/${found:-$2}"
}

mkdir -p "$DRIVES"
C=$(find_ci "$DRIVES" c)
if [ -n "${TALVEN_WINDIR:-}" ]; then
    WINDIR=$TALVEN_WINDIR
else
    WINDIR=$(find_ci "$C" windows)
fi
mkdir -p "$WINDIR"

INI=$(find_ci "$WINDIR" Talven.ini)
if [ -e "$INI" ]; then
    echo "configuration kept: $INI"
    exit 0
fi
tmp="$WINDIR/.Talven.ini.$$"
cp "$ROOT/data/Talven.ini" "$tmp"
chmod 644 "$tmp"
mv "$tmp" "$WINDIR/Talven.ini"
echo "configuration installed: $WINDIR/Talven.ini"
