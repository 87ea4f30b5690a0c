#!/usr/bin/env bash
# Builds the source package with dpkg-buildpackage in a clean Debian 12 system:
# a chroot made by debootstrap (the buildd variant: the essential packages and
# build-essential) from the mirror of this system's apt sources, which gets
# only the source package's Build-Depends (apt-get build-dep), and compares
# its package with this system's (tools/make-deb.sh). Needs root.
# Usage: tools/clean-build.sh [BUILD_DIR]   (build/clean by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/clean}")
[ "$(id -u)" -eq 0 ] || { echo "tools/clean-build.sh: a chroot needs root" >&2; exit 1; }
"$root/tools/install-deps.sh" clean-system >&2
mirror=$("$root/tools/debian-mirror.sh" bookworm)
# A work folder, unmounted and removed at the end, and fail.
source "$root/tests/package/lib.sh"
chroot=$work/chroot

deb=$("$root/tools/make-deb.sh" "$build" 2>"$work/build.log") ||
    fail "the package did not build: $(tail -n 20 "$work/build.log")"
results=$(dirname "$deb")
debootstrap --variant=buildd bookworm "$chroot" "$mirror" >"$work/debootstrap" 2>&1 ||
    fail "debootstrap: $(tail -n 20 "$work/debootstrap")"
mount -t proc proc "$chroot/proc"
cp /etc/resolv.conf "$chroot/etc/resolv.conf"
mkdir "$chroot/build"
cp "$results/halvanne_1.0.0.dsc" "$results/halvanne_1.0.0.tar.xz" "$chroot/build"
chroot "$chroot" /bin/sh -ec '
    export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
    cd /build
    dpkg-source -x halvanne_1.0.0.dsc source
    apt-get update
    apt-get build-dep -y --no-install-recommends ./source
    cd source
    dpkg-buildpackage --no-sign' >"$work/chroot.log" 2>&1 ||
    fail "the build in the chroot: $(tail -n 30 "$work/chroot.log")"
[ -f "$chroot/build/halvanne_1.0.0_amd64.deb" ] || fail "the chroot's build made no package"
# With the same versions of the build tools the package is the same bit for
# bit; Debian 12's point releases may change them.
if cmp -s "$chroot/build/halvanne_1.0.0_amd64.deb" "$deb"; then
    echo "the clean system's package is bit for bit this system's"
else
    echo "the clean system's package differs from this system's: build tools of other versions"
    diff <(dpkg -c "$deb" | awk '{print $1, $6}') <(dpkg -c "$chroot/build/halvanne_1.0.0_amd64.deb" | awk '{print $1, $6}') ||
        fail "and its files differ"
fi
echo "the source package builds in a clean Debian 12 system"
