#!/bin/sh
# Installs the Orvan engine's data files where the configuration points
# (section ORVANTTS: DIR, BASE, MBROLA_DB): the rules, exceptions,
# abbreviations and prosody files from data/orvan, and the diphone list,
# which is made here by asking MBROLA which phoneme pairs the installed
# database really has. Idempotent: files are replaced by the same content.
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
DRIVES=${TALVEN_DRIVES:-$HOME/.local/share/talven/drives}

# The entry of folder $1 named $2 in any letter case, or $1/$2 when none.
find_ci() {
    found=$(ls -A "$1" 2>/dev/null | grep -i -x -F -m 1 "$2" || true)
    echo "$1/${found:-$2}"
}

# The configuration file the program reads: the user's, else the one in the
# Windows directory.
config_file() {
    user="${XDG_CONFIG_HOME:-$HOME/.config}/Talven/Talven.ini"
    if [ -f "$user" ]; then echo "$user"; return; fi
    win=${TALVEN_WINDIR:-$(find_ci "$(find_ci "$DRIVES" c)" windows)}
    find_ci "$win" Talven.ini
}

# Value of key $2 in section $1 of the configuration file, or "".
config_value() {
    [ -f "$CONFIG" ] || { echo ""; return; }
    tr -d '\r' < "$CONFIG" | awk -v sec="$1" -v key="$2" '
        BEGIN { s = toupper(sec); k = toupper(key) }
        /^[ \t]*\[/ { gsub(/^[ \t]*\[|\][ \t]*$/, ""); in_sec = (toupper($0) == s); next }
        in_sec {
            eq = index($0, "="); if (eq == 0) next
            name = substr($0, 1, eq - 1); gsub(/^[ \t]+|[ \t]+$/, "", name)
            if (toupper(name) == k) { v = substr($0, eq + 1); gsub(/^[ \t]+|[ \t]+$/, "", v); print v; exit }
        }'
}

# A Windows-style folder ("c:\a\b\", "\a\b") as a host path under the
# drives folder; a host path ("/a/b") stays as it is.
host_folder() {
    p=$(printf '%s' "$1" | tr '\\' '/')
    case "$p" in
        /*:*|[A-Za-z]:*) drive=$(printf '%s' "$p" | cut -c1 | tr 'A-Z' 'a-z'); rest=${p#??} ;;
        //*|/*) if [ -d "$(dirname "$p")" ] && [ "${1#\\}" = "$1" ]; then echo "${p%/}"; return; fi
                drive=c; rest=$p ;;
        *) drive=c; rest=/$p ;;
    esac
    dir=$(find_ci "$DRIVES" "$drive")
    old_ifs=$IFS; IFS=/
    for part in $rest; do
        [ -n "$part" ] && dir=$(find_ci "$dir" "$part")
    done
    IFS=$old_ifs
    echo "$dir"
}

CONFIG=$(config_file)
DB_NAME=$(config_value ORVANTTS MBROLA_DB); DB_NAME=${DB_NAME:-br4}
DIR=$(config_value ORVANTTS DIR); DIR=${DIR:-'\ferlan\orvantts\'}
BASE=$(config_value ORVANTTS BASE); BASE=${BASE:-portug}
DB_NAME=$(printf '%s' "$DB_NAME" | tr 'A-Z' 'a-z')
DB=/usr/share/mbrola/$DB_NAME/$DB_NAME
DEST=$(host_folder "$DIR")

mkdir -p "$DEST"
for ext in nrl exc abr pro; do
    cp "$ROOT/data/orvan/portug.$ext" "$DEST/.$BASE.$ext.$$"
    mv "$DEST/.$BASE.$ext.$$" "$DEST/$BASE.$ext"
done

# The diphone list: every pair of the voice's phonemes is synthesised once
# with unknown diphones ignored; MBROLA names each pair it lacks on its
# error output ("Warning: a-b unknown, ..."), and every other pair is kept.
PHONEMES="_ b k d g p t f v j s s2 x z m n nh l lh r r2 rr a @ am e ee em i im o oo om u um y w"
if [ ! -r "$DB" ] || ! command -v mbrola >/dev/null 2>&1; then
    echo "orvan: no MBROLA database $DB; diphone list not made" >&2
    exit 0
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for a in $PHONEMES; do
    for b in $PHONEMES; do
        printf '_ 20\n%s 40\n%s 40\n_ 20\n' "$a" "$b"
    done
done > "$tmp/pairs.pho"
echo "#" >> "$tmp/pairs.pho"
mbrola -e "$DB" "$tmp/pairs.pho" "$tmp/out.raw" 2> "$tmp/warnings.txt" || true
sed -n 's/^Warning: \([^ ]*\) unknown.*/\1/p' "$tmp/warnings.txt" | sort -u > "$tmp/missing.txt"
{
    echo "; Diphones of the MBROLA database $DB_NAME, found by synthesising every pair."
    for a in $PHONEMES; do
        for b in $PHONEMES; do
            echo "$a-$b"
        done
    done | grep -v -x -F -f "$tmp/missing.txt"
} > "$DEST/.$BASE.dfn.$$"
mv "$DEST/.$BASE.dfn.$$" "$DEST/$BASE.dfn"
echo "orvan: data files installed in $DEST ($(grep -c -- - "$DEST/$BASE.dfn") diphones, $(wc -l < "$tmp/missing.txt") missing)"
