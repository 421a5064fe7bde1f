#!/bin/sh
# Installs what the program and its tests need on Debian 12 (run as root).
# MBROLA is in contrib and its voices in non-free, so those components are
# added for bookworm first.
set -eu
export DEBIAN_FRONTEND=noninteractive

add_components() {
    for f in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
        [ -f "$f" ] || continue
        if [ "${f##*.}" = "sources" ]; then
            grep -q '^Components:.*non-free' "$f" ||
                sed -i 's/^Components: main$/Components: main contrib non-free non-free-firmware/' "$f"
        else
            grep -q 'contrib' "$f" ||
                sed -i -E 's/^(deb .* bookworm[^ ]*) main$/\1 main contrib non-free non-free-firmware/' "$f"
        fi
    done
    # A machine whose sources list lacks the components entirely still gets them.
    if ! grep -rqs 'contrib' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        echo 'deb http://deb.debian.org/debian bookworm main contrib non-free' \
            > /etc/apt/sources.list.d/kaldorin-extra.list
    fi
}

PKGS="build-essential cmake pkg-config clang libgtest-dev libgmock-dev libbenchmark-dev
 libssl-dev openssl libsdl2-dev libespeak-ng-dev espeak-ng libspeechd-dev speech-dispatcher
 speech-dispatcher-espeak-ng mbrola mbrola-br3 wget ccache wbrazilian sox perl tcl
 libx11-dev libxtst-dev libbrlapi-dev python3 util-linux tmux curl"

missing=""
for p in $PKGS; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
if [ -n "$missing" ]; then
    add_components
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
fi
