#!/usr/bin/env bash
# Builds the source package and the Debian package halvanne_<version>_<arch>.deb
# with dpkg-buildpackage (unsigned) from a copy of the source, puts every result
# in the build directory, and prints the package's path.
# Usage: tools/make-deb.sh [BUILD_DIR]   (build/deb by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/deb}")
cd "$root"
tools/install-deps.sh package >&2

version=$(dpkg-parsechangelog -S Version)
work=$(mktemp -d "${TMPDIR:-/tmp}/halvanne-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
# dpkg-buildpackage writes its results beside the source, so the source is
# copied: the files git tracks, with their uncommitted changes, or, outside a
# git checkout, the whole tree but the build directories. The copy's modes,
# and so the source package's, are 0644 and 0755 whatever the umask.
umask 022
source="$work/halvanne-$version"
mkdir "$source"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    tree=$(git -C "$root" stash create)
    git -C "$root" -c tar.umask=022 archive "${tree:-HEAD}" | tar -x -C "$source"
else
    tar -c --exclude='./build*' . | tar -x --no-same-permissions -C "$source"
fi

(cd "$source" && DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage --no-sign >&2)

mkdir -p "$build"
rm -f "$build"/halvanne_* "$build"/halvanne-dbgsym_*
find "$work" -maxdepth 1 -type f -exec cp -p {} "$build" \;
ls "$build/halvanne_${version}_$(dpkg-architecture -q DEB_HOST_ARCH).deb"
