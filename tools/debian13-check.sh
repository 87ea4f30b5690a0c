#!/usr/bin/env bash
# Runs the README's test command, ./test.sh, on a fresh Debian 13 "trixie"
# system: a clean git clone of this checkout's HEAD in a chroot made by
# debootstrap (the buildd variant) from the mirror of this system's apt
# sources, with /proc, /sys, /dev, /dev/pts and /dev/shm mounted. Fails when
# ./test.sh fails there. Needs root. CI runs it after ./test.sh (.ci/run).
#
# The system, with what `tools/install-deps.sh test` installs, is kept in
# CACHE (/var/cache/halvanne/trixie by default) and made again when it is
# missing, older than a week, or made from another mirror; the downloaded
# packages stay there too. Each run gets its own copy of it (an overlay,
# thrown away after the run), so every run starts from the same fresh system,
# where ./test.sh installs only what tools/install-deps.sh has added since.
# All mounts live in a mount namespace of their own and go with it, whatever
# ends the run.
# Usage: tools/debian13-check.sh [CACHE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=$(realpath -m "${1:-${HALVANNE_TRIXIE_CACHE:-/var/cache/halvanne/trixie}}")
[ "$(id -u)" -eq 0 ] || { echo "tools/debian13-check.sh: a chroot needs root" >&2; exit 1; }
"$root/tools/install-deps.sh" clean-system >&2
mirror=$("$root/tools/debian-mirror.sh")
start=$(date +%s)
mkdir -p "$cache/archives"
# What a run killed outright left behind (its mounts went with it).
find "$cache" -maxdepth 1 -name 'run.*' -mtime +1 -exec rm -rf --one-file-system {} +
work=$(mktemp -d "$cache/run.XXXXXX")
trap 'rm -rf --one-file-system "$work"' EXIT

# in_chroot DIR COMMAND [SYSTEM WORK]: runs COMMAND (sh) as root in the
# chroot DIR with the kernel's file systems mounted and the packages' cache
# shared. With SYSTEM and WORK, DIR is first made a copy of SYSTEM (an overlay
# that keeps the changes in WORK) and WORK/clone is its /build.
in_chroot() {
    unshare --mount --propagation private /bin/sh -ec '
        dir=$1
        if [ -n "$4" ]; then
            mount -t overlay overlay -o "lowerdir=$4,upperdir=$5/upper,workdir=$5/layer" "$dir"
            mkdir "$dir/build"
            mount --bind "$5/clone" "$dir/build"
        fi
        mount -t proc proc "$dir/proc"
        mount -t sysfs sysfs "$dir/sys"
        mount --rbind /dev "$dir/dev"
        mount -t tmpfs -o mode=1777 shm "$dir/dev/shm"
        mount --bind "$3" "$dir/var/cache/apt/archives"
        cp /etc/resolv.conf "$dir/etc/resolv.conf"
        exec chroot "$dir" /usr/bin/env -i HOME=/root \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/sh -ec "$2"' \
        sh "$1" "$2" "$cache/archives" "${3:-}" "${4:-}"
}

# The stored system, made again when stale.
stamp="trixie buildd $mirror"
system=$cache/system
if [ ! -f "$cache/stamp" ] || [ "$(cat "$cache/stamp")" != "$stamp" ] ||
    [ -n "$(find "$cache/stamp" -mtime +7)" ]; then
    echo "making the Debian 13 system in $system"
    rm -rf --one-file-system "$system" "$system.new" "$cache/stamp"
    debootstrap --variant=buildd --cache-dir="$cache/archives" trixie "$system.new" "$mirror" \
        >"$work/debootstrap.log" 2>&1 || { tail -n 20 "$work/debootstrap.log"; exit 1; }
    printf 'deb %s trixie main\ndeb %s trixie-updates main\n' "$mirror" "$mirror" \
        >"$system.new/etc/apt/sources.list"
    cp "$root/tools/install-deps.sh" "$system.new/tmp/"
    # A system's packages come from its own updated lists; the downloaded
    # files stay in the cache.
    in_chroot "$system.new" '/tmp/install-deps.sh test && rm /tmp/install-deps.sh' \
        >"$work/install.log" 2>&1 || { tail -n 20 "$work/install.log"; exit 1; }
    mv "$system.new" "$system"
    echo "$stamp" >"$cache/stamp"
    echo "the Debian 13 system is ready: $(($(date +%s) - start)) s"
fi

# This run's copy: the stored system under a layer that takes its changes.
mkdir "$work/upper" "$work/layer" "$work/root"
clone=$work/clone
git clone --quiet --no-hardlinks "$root" "$clone"
git -C "$clone" checkout --quiet --detach "$(git -C "$root" rev-parse HEAD)"
log=$cache/last-run.log
echo "./test.sh on Debian 13 (commit $(git -C "$root" rev-parse --short HEAD)); its output: $log"
status=0
in_chroot "$work/root" 'cd /build && timeout 3600 ./test.sh' "$system" "$work" >"$log" 2>&1 || status=$?
echo "time: $(($(date +%s) - start)) s"
if [ "$status" -ne 0 ]; then
    # CTest's part, with the output of each failed test; else the end.
    if grep -q '^Test project' "$log"; then sed -n '/^Test project/,$p' "$log"; else tail -n 40 "$log"; fi
    echo "FAIL: ./test.sh on Debian 13 ended with $status"
    exit 1
fi
grep -E '^[0-9]+% tests passed|Skipped' "$log" || true
echo "./test.sh passes on Debian 13"
