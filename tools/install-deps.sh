#!/usr/bin/env bash
# Installs the Debian packages that are missing, with apt-get (through sudo
# when not root). Usage: tools/install-deps.sh play|package|test
set -euo pipefail

packages=(cmake g++ make pkg-config libx11-dev
          libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev libsdl-gfx1.2-dev)
# Building the Debian package (tools/make-deb.sh), and checking it.
package_tools=(dpkg-dev file)
package_checks=(lintian desktop-file-utils appstream man-db)
if [ "${1:-play}" = "package" ]; then
    packages+=("${package_tools[@]}")
fi
if [ "${1:-play}" = "test" ]; then
    # sdl12-compat (SDL 1.2 over SDL 2) installs beside the classic library.
    packages+=(libgtest-dev xvfb xauth xdotool imagemagick sox valgrind procps libsdl1.2-compat)
    packages+=("${package_tools[@]}" "${package_checks[@]}")
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
