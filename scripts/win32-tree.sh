#!/bin/sh
# The i386 Debian tree in which the 32-bit Windows program runs under 32-bit
# Wine. wine32 of the i386 architecture cannot be installed beside the amd64
# system on every mirror (an i386 index out of step with the amd64 one), so
# it lives in a tree of its own, made with debootstrap from the main index
# only: everything in it is i386 and consistent, and the host's packages
# are not touched. Only Wine is inside; the build, the test programs' driver
# (ctest, python3) and the display stay on the host.
#
#   win32-tree.sh make [MIRROR]  makes the tree, or brings a made one up to
#                                date (cheap: a stamp names what is in it)
#   win32-tree.sh ready          says in one line why the tree cannot be used
#                                here (not root, no debootstrap, not made);
#                                exits with 3 where the kernel runs no 32-bit
#                                x86 programs at all, 1 for the other reasons
#   win32-tree.sh mount ROOT [FOLDER...]
#                                mounts what a run needs: /proc, a fresh
#                                devpts, tmpfs on /dev/shm and /tmp, the
#                                host's X sockets, ROOT (the clone) read-write
#                                and each FOLDER read-only, each at its own
#                                path; run it in a mount namespace of its own
#                                (unshare --mount), so that nothing reaches
#                                the host's mounts
#   win32-tree.sh unmount        undoes every mount under the tree; fails if
#                                one is left
#   win32-tree.sh run PROGRAM [ARG...]
#                                runs PROGRAM (wine, wineserver) inside the
#                                mounted tree, in the current folder, with the
#                                current environment
#
# KALDORIN_WIN32_TREE names the tree (default /var/cache/kaldorin/win32-tree:
# it can be made again at any time).
set -eu
TREE=$(realpath -m "${KALDORIN_WIN32_TREE:-/var/cache/kaldorin/win32-tree}")
# What is installed in the tree; a change here installs again on the next
# make. wine is the wrapper that starts wine32's loader.
PACKAGES="wine32 wine"
STAMP="$TREE/.kaldorin-tree"
export DEBIAN_FRONTEND=noninteractive

say() { echo "win32-tree: $*" >&2; }

# The mount points under the tree, deepest first.
mounted() {
    awk -v t="$TREE" '$5 == t || index($5, t "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

# Whether this kernel runs 32-bit x86 programs (some virtual machines run
# 64-bit code only): a 93-byte i386 program that exits with 0 is tried.
runs_i386() {
    probe=$(mktemp)
    python3 - "$probe" <<'PY'
import struct, sys
code = bytes.fromhex("b801000000" "31db" "cd80")  # exit(0) through int 0x80
base, size = 0x08048000, 52 + 32 + len(code)
elf = b"\x7fELF\x01\x01\x01" + bytes(9)
elf += struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0)
elf += struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], "wb").write(elf + code)
PY
    chmod +x "$probe"
    ok=0
    "$probe" 2>/dev/null || ok=1
    rm -f "$probe"
    return $ok
}

ready() {
    if [ "$(id -u)" != 0 ]; then
        say "needs root (debootstrap, chroot and mounts); the 32-bit Windows program cannot be run here"
        return 1
    fi
    if ! runs_i386; then
        say "this kernel runs no 32-bit x86 programs (IA-32 emulation off), so no 32-bit Wine; the 32-bit Windows program cannot be run here"
        return 3
    fi
    if [ ! -f "$STAMP" ] || [ "$(cat "$STAMP")" != "$PACKAGES" ]; then
        if command -v debootstrap >/dev/null 2>&1; then
            say "no i386 tree with 32-bit Wine at $TREE (scripts/install-deps-windows.sh makes it)"
        else
            say "no debootstrap, so no i386 tree with 32-bit Wine at $TREE (scripts/install-deps-windows.sh installs both)"
        fi
        return 1
    fi
}

# The host's apt settings that the tree's apt also needs to reach the same
# mirror: a proxy, and the mirror's dates (a snapshot's Release files are
# past their validity).
apt_settings() {
    for key in Acquire::http::Proxy Acquire::https::Proxy Acquire::Check-Valid-Until Acquire::Check-Date; do
        value=$(apt-config dump "$key" 2>/dev/null | awk -v k="$key" '$1 == k { print $2 }')
        [ -z "$value" ] || echo "$key $value"
    done
}

make_tree() {
    mirror=${1:-http://deb.debian.org/debian/}
    if [ "$(id -u)" != 0 ] || ! runs_i386; then
        # ready says why, and its status (3: no 32-bit programs) is ours.
        status=1
        ready || status=$?
        return "$status"
    fi
    [ "$(cat "$STAMP" 2>/dev/null)" != "$PACKAGES" ] || return 0
    if [ -n "$(mounted)" ]; then
        say "something is mounted under $TREE; not touching it"
        return 1
    fi
    start=$(date +%s)
    if [ ! -x "$TREE/usr/bin/apt-get" ] || [ ! -f "$TREE/.kaldorin-base" ]; then
        # A half-made tree (an interrupted debootstrap) is made again.
        rm -rf --one-file-system "$TREE"
        mkdir -p "$TREE"
        proxy=$(apt-config dump Acquire::http::Proxy 2>/dev/null | awk '$1 == "Acquire::http::Proxy" { print $2 }' | tr -d '";')
        http_proxy=${http_proxy:-$proxy} debootstrap --arch=i386 --variant=minbase bookworm "$TREE" "$mirror" \
            > "$TREE.log" 2>&1 || { tail -20 "$TREE.log" >&2; say "debootstrap failed (log: $TREE.log)"; return 1; }
        apt_settings > "$TREE/etc/apt/apt.conf.d/90kaldorin-host"
        printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' > "$TREE/etc/hosts"
        : > "$TREE/.kaldorin-base"
    fi
    # apt inside wants /proc; the mount is made in a namespace of its own,
    # so that it goes with the command whatever happens.
    unshare --mount --propagation private sh -c '
        set -e
        mount -t proc proc "$1/proc"
        chroot "$1" apt-get install -y -qq --no-install-recommends $2 ||
            { chroot "$1" apt-get update -qq && chroot "$1" apt-get install -y -qq --no-install-recommends $2; }
        chroot "$1" apt-get clean' sh "$TREE" "$PACKAGES" > "$TREE.log" 2>&1 ||
        { tail -20 "$TREE.log" >&2; say "installing $PACKAGES in the tree failed (log: $TREE.log)"; return 1; }
    echo "$PACKAGES" > "$STAMP"
    say "i386 tree with $PACKAGES made at $TREE in $(( $(date +%s) - start )) s"
}

# The folder PATH inside the tree, made when missing; a path that a link
# leads out of the tree is refused (a mount there would land on the host's).
point() {
    mkdir -p "$TREE$1"
    case $(realpath "$TREE$1") in
        "$TREE$1") ;;
        *) say "$TREE$1 leads elsewhere; not mounting there"
           return 1 ;;
    esac
}

# Binds SOURCE at the same path inside the tree.
bind() {
    point "$1"
    mount --bind "$1" "$TREE$1"
    [ "${2:-}" != ro ] || mount -o remount,bind,ro "$TREE$1"
}

mount_tree() {
    root=$1
    shift
    ready
    for p in /proc /dev/pts /dev/shm /tmp; do point "$p"; done
    mount -t proc proc "$TREE/proc"
    mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$TREE/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$TREE/dev/shm"
    # A /tmp of the run's own: Wine's server sockets go with it.
    mount -t tmpfs -o mode=1777 tmpfs "$TREE/tmp"
    if [ -d /tmp/.X11-unix ]; then
        bind /tmp/.X11-unix ro
    fi
    bind "$root"
    for folder in "$@"; do
        [ ! -d "$folder" ] || bind "$folder" ro
    done
}

unmount_tree() {
    for point in $(mounted); do
        umount "$point" 2>/dev/null || umount -l "$point" || true
    done
    left=$(mounted)
    if [ -n "$left" ]; then
        say "still mounted: $left"
        return 1
    fi
}

run() {
    if [ ! -e "$TREE/proc/self" ] || [ ! -d "$TREE$PWD" ]; then
        say "the tree is not mounted for a run in $PWD (scripts/test-windows.sh mounts it)"
        return 1
    fi
    exec chroot "$TREE" /usr/bin/env -C "$PWD" "$@"
}

cmd=${1:-}
[ $# = 0 ] || shift
case "$cmd" in
    make) make_tree "$@" ;;
    ready) ready ;;
    mount) mount_tree "$@" ;;
    unmount) unmount_tree ;;
    run) run "$@" ;;
    *) echo "usage: win32-tree.sh make [MIRROR] | ready | mount ROOT [FOLDER...] | unmount | run PROGRAM [ARG...]" >&2
       exit 2 ;;
esac
