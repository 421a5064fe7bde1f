#!/bin/sh
# Builds the Debian package dist/kaldorin_<version>_amd64.deb from the
# program already built in build/ (scripts/setup.sh builds it).
#
# The package is put together with dpkg-deb rather than dpkg-buildpackage or
# CPack: dpkg-buildpackage would build the whole program again from a clean
# tree (many minutes on two cores), while the build is already there and
# tested; CPack's DEB generator cannot render the voice data, which needs the
# built tools, and fills in dependencies for the program only, while the
# modules' libraries must be Recommends and Suggests. Here `cmake --install`
# stages the program, its modules, the default configuration, the manual
# pages and the launcher (the install() rules of CMakeLists.txt), the voice
# data is rendered with the built tools, dpkg-shlibdeps names the libraries
# of each file, and dpkg-deb packs the tree, owned by root.
#
# The rendered data is kept in build/deb-data, so a second run renders
# nothing; the staged tree is build/deb-root. lintian checks the package
# when it is installed, and an error of lintian fails the script.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build
umask 022

for tool in kaldorin render_recordings build_diphones; do
    if [ ! -x "$BUILD/$tool" ]; then
        echo "package-deb: $BUILD/$tool is missing: run scripts/setup.sh first" >&2
        exit 1
    fi
done
# The HTML guide and reference are made by the build (the target
# manual_pages, with python3-markdown).
cmake --build "$BUILD" --target manual_pages >/dev/null 2>&1 || true
for page in guia referencia; do
    if [ ! -s "$BUILD/manual/$page.html" ]; then
        echo "package-deb: $BUILD/manual/$page.html is missing: install python3-markdown (scripts/install-deps.sh) and configure again" >&2
        exit 1
    fi
done

VERSION=$(sed -n 's/^project(kaldorin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-1
ARCH=$(dpkg --print-architecture)
STAGE=$BUILD/deb-root
SHARE=$STAGE/usr/share/kaldorin
DOC=$STAGE/usr/share/doc/kaldorin
OUT=$ROOT/dist/kaldorin_${VERSION}_${ARCH}.deb

# --- The voice data, rendered into build/deb-data/share ----------------------
# The tools put their output where the Talven.ini they read names, so they
# are given one of their own, pointing into the cache, in a private drives
# folder and configuration folder.
render_data() {
    data=$BUILD/deb-data
    mkdir -p "$data/config/Talven" "$data/drives" "$data/share/zelquora/som"
    sed -e "s|^DIRLETRAS=.*|DIRLETRAS=$data/share/som/letras|" \
        -e "s|^DIRDIFONES=.*|DIRDIFONES=$data/share/som/difones|" \
        -e "s|^DIR=c:.*|DIR=$data/share/orvantts/|" \
        data/Talven.ini > "$data/config/Talven/Talven.ini"
    (
        export XDG_CONFIG_HOME="$data/config" TALVEN_DRIVES="$data/drives" HOME="$data"
        "$BUILD/render_recordings" --install "$ROOT/data" >/dev/null
        "$BUILD/build_diphones" --install "$ROOT/data" >/dev/null
        ROOT=$ROOT sh scripts/setup.d/40-orvan.sh >/dev/null
        "$BUILD/render_recordings" "$data/share/zelquora/som" data/zelquora/prompts.tsv >/dev/null
    )
    for need in som/letras/_65.wav som/difones/DIFONES2.IND orvantts/portug.dfn zelquora/som/pronto.wav; do
        if [ ! -s "$data/share/$need" ]; then
            echo "package-deb: the voice data was not made ($need is missing)" >&2
            exit 1
        fi
    done
}

# --- The staged tree -----------------------------------------------------------
stage_files() {
    rm -rf "$STAGE"
    DESTDIR=$STAGE cmake --install "$BUILD" --prefix /usr --strip >/dev/null
    cp -R "$BUILD/deb-data/share/." "$SHARE/"
    mkdir -p "$DOC" "$STAGE/usr/share/lintian/overrides"
    # Manual pages and the changelog are compressed, without a time stamp.
    find "$STAGE/usr/share/man" -name '*.1' -exec gzip -9n {} +
    cp scripts/debian/copyright "$DOC/copyright"
    gzip -9nc scripts/debian/changelog > "$DOC/changelog.Debian.gz"
    cp scripts/debian/lintian-overrides "$STAGE/usr/share/lintian/overrides/kaldorin"
    chmod -R u+rwX,go+rX,go-w "$STAGE"
}

# --- Dependencies --------------------------------------------------------------
# The libraries that dpkg-shlibdeps finds for the files, as one list.
libraries_of() {
    (cd "$TMP" && dpkg-shlibdeps -O -e"$@" 2>/dev/null) | sed 's/^shlibs:Depends=//'
}

# The entries of list $1 whose packages are not in list $2.
without() {
    printf '%s\n' "$1" | tr ',' '\n' | sed 's/^ *//' | while read -r entry; do
        [ -n "$entry" ] || continue
        name=${entry%% *}
        printf '%s\n' "$2" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -q -x -F "$name" || printf '%s\n' "$entry"
    done | sort -u | paste -sd, - | sed 's/,/, /g'
}

# Modules whose services most users want (sound, speech, the window, braille,
# the desktop) give Recommends; pictures and MIDI give Suggests. The program
# itself needs only the C and C++ run-time libraries. wget fetches the radio
# search's pages, mpv plays the stations, OpenSSL makes secure connections,
# MBROLA with its Brazilian voice speaks for Orvan, xdg-open (xdg-utils) opens
# the manual's launcher in the browser.
write_control() {
    mkdir -p "$TMP/debian" "$STAGE/DEBIAN"
    printf 'Source: kaldorin\n\nPackage: kaldorin\nArchitecture: any\n' > "$TMP/debian/control"
    lib=$STAGE/usr/lib/kaldorin
    depends=$(libraries_of "$STAGE/usr/bin/kaldorin")
    recommended=""
    suggested=""
    for m in alsa audio window braille x11 atspi speechd espeak; do
        [ ! -f "$lib/kaldorin-$m.so" ] || recommended="$recommended $lib/kaldorin-$m.so"
    done
    for m in jpeg fluidsynth sequencer; do
        [ ! -f "$lib/kaldorin-$m.so" ] || suggested="$suggested $lib/kaldorin-$m.so"
    done
    # shellcheck disable=SC2086
    recommends=$(without "$(libraries_of $recommended)" "$depends")
    # shellcheck disable=SC2086
    suggests=$(without "$(libraries_of $suggested)" "$depends, $recommends")
    size=$(du -sk --exclude=DEBIAN "$STAGE" | cut -f1)
    cat > "$STAGE/DEBIAN/control" <<CONTROL
Package: kaldorin
Version: $VERSION
Architecture: $ARCH
Maintainer: kaldorin maintainers <maintainers@users.noreply.c-seed-4064ab00.example>
Installed-Size: $size
Depends: $depends
Recommends: $recommends, mbrola, mbrola-br3, wget, mpv, libssl3, xdg-utils
Suggests: $suggests, fluid-soundfont-gm
Section: non-free/sound
Priority: optional
Description: speaking script runner for blind and low-vision users
 kaldorin runs scripts of KALDORIN, a small line-oriented language with
 Portuguese command words, and the Zelquora radio search when no script is
 given. Everything written to the console is also spoken in Brazilian
 Portuguese, every key is echoed by voice and a key press cuts any sound
 short. It has a speaking line editor, screen review, a text viewer,
 braille display support, a magnified window for low vision, network and
 desktop automation commands.
 .
 The recorded voice data in this package is made with MBROLA's Brazilian
 voice, whose terms forbid selling it.
CONTROL
    (cd "$STAGE" && find usr -type f -exec md5sum {} + | sort -k2) > "$STAGE/DEBIAN/md5sums"
    chmod 644 "$STAGE/DEBIAN/control" "$STAGE/DEBIAN/md5sums"
}

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
render_data
stage_files
write_control
mkdir -p dist
rm -f dist/kaldorin_*_"$ARCH".deb
dpkg-deb --root-owner-group -Zxz --build "$STAGE" "$OUT" >/dev/null
echo "package-deb: $OUT"
if command -v lintian >/dev/null 2>&1; then
    # Errors fail the package; warnings are shown (each is fixed or overridden).
    # (its notice that it runs as root is left out)
    status=0
    lintian --fail-on error "$OUT" > "$TMP/lintian.txt" 2>&1 || status=$?
    grep -v '^running with root privileges' "$TMP/lintian.txt" || true
    [ "$status" = 0 ] || { echo "package-deb: lintian found errors" >&2; exit 1; }
else
    echo "package-deb: lintian is not installed; the package was not checked" >&2
fi
