#!/bin/sh
# Builds the Debian package (scripts/package-deb.sh), installs it on this
# machine with apt-get, and runs the installed program as a user who has
# never run it: `nobody`, with a new, empty home. The usage text (in English
# and in Portuguese), the version, a small script and the radio search's
# first prompt must come out, the user's configuration must be made in that
# home, a missing MBROLA voice must be told, the HTML manual and its launcher
# must be installed, and the package is removed again at the end, whatever
# happened: nothing the program made in the home may then point to a file
# that is gone. Needs root; skipped otherwise.
# Run by scripts/test.sh (KALDORIN_SKIP_DEB=1 leaves it out).
set -eu
cd "$(dirname "$0")/.."

if [ "$(id -u)" != 0 ]; then
    echo "test-deb: skipped: installing the package needs root"
    exit 0
fi
if dpkg-query -W -f='${Status}' kaldorin 2>/dev/null | grep -q 'install ok installed'; then
    echo "test-deb: skipped: a kaldorin package is installed already, and is left alone"
    exit 0
fi

scripts/package-deb.sh
VERSION=$(sed -n 's/^project(kaldorin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
work=$(mktemp -d)
cleanup() {
    apt-get remove -y -qq kaldorin >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ./dist/kaldorin_*.deb >/dev/null

fail() {
    echo "test-deb: FAILED: $1" >&2
    for f in "$work"/out "$work"/speech.log; do
        [ ! -f "$f" ] || { echo "--- $f" >&2; cat "$f" >&2; }
    done
    exit 1
}

# Runs the installed program as nobody with the home $work/home: HOME and a
# plain PATH only, as after a login; keys from $work/keys.
home=$work/home
mkdir -p "$home"
: > "$work/speech.log"
chown nobody "$home" "$work/speech.log"
chmod 755 "$work"
LANG_OF_RUN=C.UTF-8
as_user() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env -i HOME="$home" PATH=/usr/bin:/bin LANG=$LANG_OF_RUN SDL_AUDIODRIVER=dummy \
        timeout 60 /usr/bin/kaldorin "$@" < "$work/keys" > "$work/out" 2>&1
}

: > "$work/keys"
as_user --help || fail "--help ended with $?"
grep -q '^usage: kaldorin' "$work/out" || fail "--help did not print the usage in English"
LANG_OF_RUN=pt_BR.UTF-8 as_user --help || fail "--help ended with $?"
grep -q '^uso: kaldorin' "$work/out" || fail "--help did not print the usage in Portuguese"
as_user --version || fail "--version ended with $?"
[ "$(cat "$work/out")" = "kaldorin $VERSION" ] || fail "--version did not print the version"

printf 'seja p params\nescreve "Olá, " p\n' > "$work/ola.kal"
chmod 644 "$work/ola.kal"
as_user --headless --speech-log "$work/speech.log" "$work/ola.kal" mundo || fail "the script ended with $?"
grep -q '^Olá, 1 mundo$' "$work/out" || fail "the script's line was not written"
grep -q '^say Olá, 1 mundo$' "$work/speech.log" || fail "the script's line was not spoken"
[ -f "$home/.config/Talven/Talven.ini" ] || fail "no configuration was made in the user's home"
[ -d "$home/.local/share/talven/drives/c/zelquora/temp" ] || fail "the radio search's folder was not made"

# The radio search: its first prompt is a recording found in /usr/share;
# an empty search ends it.
printf '\r' > "$work/keys"
as_user --headless --speech-log "$work/speech.log" || fail "the radio search ended with $?"
grep -q -i 'wave .*entre_com_os_dados_para_a_pesquisa_de_radios' "$work/speech.log" ||
    fail "the radio search's prompt was not played"
[ -s "$home/.local/share/talven/drives/c/zelquora/som/entre_com_os_dados_para_a_pesquisa_de_radios.wav" ] ||
    fail "the radio search's prompts are not in the user's drive"

# The manual: the HTML guide and reference, in Brazilian Portuguese, with a
# table of contents, and the launcher that opens it; the manual pages name
# only files that are there.
for page in guia referencia; do
    grep -q '<html lang="pt-BR">' "/usr/share/doc/kaldorin/$page.html" || fail "$page.html is not installed"
    grep -q '<nav aria-labelledby="sumario">' "/usr/share/doc/kaldorin/$page.html" ||
        fail "$page.html has no table of contents"
done
grep -q '^Exec=xdg-open /usr/share/doc/kaldorin/guia.html$' /usr/share/applications/kaldorin-manual.desktop ||
    fail "the manual's launcher is not installed"
grep -q '^Exec=kaldorin --window$' /usr/share/applications/kaldorin.desktop || fail "the launcher does not open the window"
for man in /usr/share/man/man1/kaldorin.1.gz /usr/share/man/pt_BR/man1/kaldorin.1.gz; do
    for named in $(zcat "$man" | sed 's/\\-/-/g' | grep -o '/usr/share/[A-Za-z0-9_./-]*' | sort -u); do
        [ -e "${named%.}" ] || fail "$man names $named, which is not installed"
    done
done

# The Orvan voice chosen, but its MBROLA voice missing (a name no package
# has): the installed program says why and the recorded voice speaks.
sed -i -e 's/^SAPI=.*/SAPI=S/' -e 's/^TIPOSAPI=.*/TIPOSAPI=3/' -e 's/^MBROLA_DB=.*/MBROLA_DB=nenhuma/' \
    "$home/.config/Talven/Talven.ini"
chown nobody "$home/.config/Talven/Talven.ini"
: > "$work/keys"
as_user --headless "$work/ola.kal" || fail "the script with the Orvan voice ended with $?"
grep -q '^Voz Orvan indisponível: a voz do mbrola não foi encontrada: .*Fala a voz gravada\.$' "$work/out" ||
    fail "the missing MBROLA voice was not told"

apt-get remove -y -qq kaldorin >/dev/null
[ ! -e /usr/bin/kaldorin ] || fail "the program is still there after the package was removed"
dangling=$(find "$home" -xtype l)
[ -z "$dangling" ] || fail "links left dangling in the user's home: $dangling"
[ -s "$home/.local/share/talven/drives/c/zelquora/som/pronto.wav" ] || fail "the user's prompts went with the package"
echo "test-deb: the package installs, runs for a new user and is removed"
