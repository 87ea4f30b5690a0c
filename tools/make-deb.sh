#!/usr/bin/env bash
# Builds the Debian package halvanne_<version>_<arch>.deb from a Release build
# of the game alone, and prints its path.
# Usage: tools/make-deb.sh [BUILD_DIR]   (build/deb by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/deb}")
cd "$root"
tools/install-deps.sh package >&2
# Debian's hardening flags, as a package built by Debian's tools gets them
# (from the source's root, so that the flags stay the same from run to run).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHALVANNE_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >&2
cmake --build "$build" -j2 >&2
(cd "$build" && cpack -G DEB >&2)
ls "$build"/halvanne_*.deb
