#!/bin/sh
# Installs what the program and its tests need on Debian 12 (run as root).
set -eu
export DEBIAN_FRONTEND=noninteractive

# Components configured for the Debian release this machine follows
# ("bookworm", or "stable" on machines that name it so), as apt itself reads
# both the deb822 .sources files and the one-line sources.list format.
configured() {
    apt-get indextargets --no-release-info \
        --format '$(REPO_URI) $(RELEASE) $(COMPONENT) $(TARGET_OF)' 2>/dev/null |
        awk '$4 == "deb" && ($2 == "bookworm" || $2 == "stable")' | sort -u
}

# MBROLA is in contrib and its voices in non-free. A stock install lists only
# main (often with non-free-firmware); the missing components are added in a
# file of our own, for the same mirror, rather than by editing the system's.
add_components() {
    list=$(configured)
    need=""
    for c in contrib non-free; do
        printf '%s\n' "$list" | awk -v c="$c" '$3 == c { f = 1 } END { exit !f }' || need="$need $c"
    done
    [ -n "$need" ] || return 0
    uri=$(printf '%s\n' "$list" | awk '$1 ~ /^(https?|file|ftp):/ { print $1; exit }')
    release=$(printf '%s\n' "$list" | awk '$1 ~ /^(https?|file|ftp):/ { print $2; exit }')
    uri=${uri:-http://deb.debian.org/debian/}
    release=${release:-bookworm}
    echo "install-deps: adding${need} for $release from $uri"
    {
        echo "# Added by kaldorin's scripts/install-deps.sh: mbrola (contrib), mbrola-br3 (non-free)."
        echo "Types: deb"
        echo "URIs: $uri"
        echo "Suites: $release"
        echo "Components:$need"
        if [ -f /usr/share/keyrings/debian-archive-keyring.gpg ]; then
            echo "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
        fi
    } > /etc/apt/sources.list.d/kaldorin-extra.sources
}

# mpv plays the radio stations the report viewer opens.
# lintian checks the Debian package (scripts/package-deb.sh).
# python3-markdown renders the HTML guide and reference the package installs.
# clang with libclang-rt-dev (libFuzzer's run-time) builds the fuzz targets.
# llvm (its llvm-symbolizer) and libc6-dbg name the frames of sanitizer
# reports, inside the C library too: leak suppressions match those names.
PKGS="build-essential cmake pkg-config clang libgtest-dev libgmock-dev libbenchmark-dev
 libssl-dev openssl nlohmann-json3-dev libsdl2-dev libespeak-ng-dev espeak-ng libspeechd-dev speech-dispatcher
 speech-dispatcher-espeak-ng mbrola mbrola-br3 wget ccache wbrazilian sox perl lua5.4 tcl
 libx11-dev libxtst-dev libbrlapi-dev brltty python3 util-linux tmux curl pulseaudio pulseaudio-utils
 llvm libc6-dbg libclang-rt-dev
 xvfb openbox dbus-daemon at-spi2-core python3-gi gir1.2-gtk-3.0 libatspi2.0-dev
 mpv libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core libjpeg62-turbo-dev
 libfluidsynth-dev fluid-soundfont-gm libasound2-dev
 lintian python3-markdown"

missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
# brltty is here for the braille tests, which start a private one of their
# own. Its package would start the system service, which takes the machine's
# consoles: services are kept from starting while packages are installed,
# and the service is left disabled.
no_services() {
    [ ! -e /usr/sbin/policy-rc.d ] || return 0
    printf '#!/bin/sh\n# kaldorin install-deps: no service starts during the install.\nexit 101\n' > /usr/sbin/policy-rc.d
    chmod 755 /usr/sbin/policy-rc.d
    trap 'rm -f /usr/sbin/policy-rc.d' EXIT
}

if [ -n "$missing" ]; then
    add_components
    apt-get update -qq -o Acquire::Retries=3
    case " $missing " in *" brltty "*) no_services ;; esac
    apt-get install -y -qq -o Acquire::Retries=3 --no-install-recommends $missing
    case " $missing " in
        *" brltty "*) rm -f /etc/systemd/system/sysinit.target.wants/brltty.service \
                            /etc/systemd/system/multi-user.target.wants/brltty.service ;;
    esac
fi
