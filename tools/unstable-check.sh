#!/usr/bin/env bash
# Checks the package on a newer Debian than this system, in a chroot made by
# debootstrap (the buildd variant) from the mirror of this system's apt
# sources and kept between runs: the source package builds there with
# dpkg-buildpackage without a compiler warning, our own build with warnings as
# errors (tests and benchmarks included) compiles, that release's lintian finds
# neither error nor warning, and the installed package opens its window under
# Xvfb (debian/tests/window). Not part of the test suite. Needs root and the
# system lock:
#   flock /tmp/halvanne-system.lock tools/unstable-check.sh [sid|trixie] [CHROOT]
# The chroot is /var/tmp/halvanne-pkg/SUITE unless named.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
suite=${1:-sid}
chroot=$(realpath -m "${2:-/var/tmp/halvanne-pkg/$suite}")
[ "$(id -u)" -eq 0 ] || { echo "tools/unstable-check.sh: a chroot needs root" >&2; exit 1; }
fail() {
    echo "FAIL: $*"
    exit 1
}
# Unmounts what is mounted below the chroot, deepest first, a stale mount of
# an interrupted run included.
unmount() {
    { findmnt -n -l -o TARGET | grep "^$chroot/" | sort -r | xargs -r umount -l; } || true
}
unmount
trap unmount EXIT

if [ ! -x "$chroot/usr/bin/apt-get" ]; then
    "$root/tools/install-deps.sh" clean-system >&2
    mirror=$("$root/tools/debian-mirror.sh")
    rm -rf --one-file-system "$chroot.new"
    mkdir -p "$(dirname "$chroot")"
    debootstrap --variant=buildd "$suite" "$chroot.new" "$mirror" >"$chroot.debootstrap.log" 2>&1 ||
        fail "debootstrap: $(tail -n 20 "$chroot.debootstrap.log")"
    mv "$chroot.new" "$chroot"
fi
# The mirror's unstable may carry a Release file past its Valid-Until date:
# this chroot alone takes it.
case "$suite" in
sid | unstable) echo 'Acquire::Check-Valid-Until "false";' >"$chroot/etc/apt/apt.conf.d/99valid-until" ;;
esac
mount -t proc proc "$chroot/proc"
mount -t sysfs sysfs "$chroot/sys"
mount --bind /dev "$chroot/dev"
mount --bind /dev/pts "$chroot/dev/pts"
mount -t tmpfs shm "$chroot/dev/shm"
cp /etc/resolv.conf "$chroot/etc/resolv.conf"

# The files git tracks, with their uncommitted changes.
version=$(cd "$root" && dpkg-parsechangelog -S Version)
rm -rf --one-file-system "$chroot/build"
mkdir -p "$chroot/build/halvanne-$version"
tree=$(git -C "$root" stash create)
git -C "$root" -c tar.umask=022 archive "${tree:-HEAD}" | tar -x -C "$chroot/build/halvanne-$version"

log=$chroot/build/check.log
echo "Checking in $chroot (log: $log)"
chroot "$chroot" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 VERSION="$version" /bin/bash -e -o pipefail -c '
    step() { echo "== $*"; }
    cd /build/halvanne-$VERSION
    step "Debian $(cat /etc/debian_version), $(g++ --version | head -n 1)"
    apt-get -q update && apt-get -q -y dist-upgrade
    apt-get -q -y --no-install-recommends build-dep ./
    step dpkg-buildpackage
    DEB_BUILD_OPTIONS=parallel=2 dpkg-buildpackage --no-sign 2>&1 | tee ../build.log
    if grep -E "(warning|error):" ../build.log; then step "FAIL: the build warns"; exit 1; fi
    step lintian
    apt-get -q -y --no-install-recommends install lintian appstream desktop-file-utils
    lintian --version
    lintian --fail-on error,warning --display-info --pedantic --show-overrides ../halvanne_${VERSION}_amd64.changes ||
        { step "FAIL: lintian"; exit 1; }
    step "the installed game in an X server"
    apt-get -q -y --no-install-recommends install ../halvanne_${VERSION}_amd64.deb \
        x11-utils xauth xdotool xvfb
    appstreamcli validate --no-net /usr/share/metainfo/*halvanne*.xml
    sh debian/tests/window
    apt-get -q -y purge halvanne
    # Last, so that a warning of the tests leaves the package checked.
    step "the build with warnings as errors, the tests and benchmarks included"
    apt-get -q -y --no-install-recommends install libgtest-dev
    cmake -S . -B /build/werror -DHALVANNE_WERROR=ON >/dev/null
    if ! cmake --build /build/werror -j2 -- -k >../werror.log 2>&1; then
        grep -E -A3 "(warning|error):" ../werror.log
        step "FAIL: the build with warnings as errors"
        exit 1
    fi
    step "passed"' >"$log" 2>&1 || fail "$(tail -n 40 "$log")"
grep -E '^(== |window |the game |E: |W: |I: |P: |O: )|lintian v|Validation' "$log"
