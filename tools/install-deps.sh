#!/usr/bin/env bash
# Installs the Debian packages that are missing, with apt-get (through sudo
# when not root). Usage: tools/install-deps.sh play|package|test|clean-system
set -euo pipefail

packages=(cmake g++ make pkg-config libx11-dev
          libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev libsdl-gfx1.2-dev)
# Building the source and Debian packages (tools/make-deb.sh), and checking
# them as Debian does: lintian, the autopkgtest tests, reprotest's variations
# (disorderfs, faketime and locales-all give it the file order, the time and
# the locales to vary; diffoscope-minimal shows a difference), and piuparts.
package_tools=(build-essential dpkg-dev debhelper)
package_checks=(lintian desktop-file-utils appstream man-db autopkgtest x11-utils
                reprotest disorderfs faketime locales-all diffoscope-minimal piuparts debootstrap)
case "${1:-play}" in
play) ;;
package)
    packages+=("${package_tools[@]}")
    ;;
test)
    packages+=(libgtest-dev xvfb xauth xdotool imagemagick sox valgrind procps)
    packages+=("${package_tools[@]}" "${package_checks[@]}")
    ;;
clean-system)
    # tools/clean-build.sh: a build in a new Debian 12 chroot.
    packages=(debootstrap)
    ;;
*)
    echo "usage: tools/install-deps.sh play|package|test|clean-system" >&2
    exit 2
    ;;
esac

# Another apt-get or dpkg at work (an upgrade at boot, a second terminal) holds
# apt's locks: wait up to ten minutes for them instead of failing at once.
# apt-get install waits for dpkg's lock itself; apt-get update does not wait
# for the package lists' lock, so it is tried again while that lock is held.
# The package lists are updated once, before the first install.
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
wait_lock=(-o DPkg::Lock::Timeout=600)
updated=0
install_missing() {
    local missing=() package errors waited
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    errors=$(mktemp)
    for ((waited = 0; updated == 0; waited += 5)); do
        $sudo apt-get "${wait_lock[@]}" update 2>"$errors" && updated=1 && break
        cat "$errors" >&2
        if ! grep -q 'Could not get lock' "$errors" || [ "$waited" -ge 600 ]; then
            rm -f "$errors"
            exit 100
        fi
        echo "Waiting for the other apt-get to release the package lists..." >&2
        sleep 5
    done
    rm -f "$errors"
    # The recommended packages would be four times as much to fetch (on a bare
    # Debian 12 system, 750 MB instead of 157 MB) and no test needs them.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get "${wait_lock[@]}" install -y --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
# sdl12-compat (SDL 1.2 over SDL 2) installs beside the classic SDL 1.2 of
# Debian 12. Where the system's one SDL 1.2 is sdl12-compat already (Debian
# 13, whose libsdl1.2-compat is that same library; unstable, which has no such
# package) there is nothing to add.
if [ "${1:-play}" = test ] && ! grep -qs SDL12COMPAT /usr/lib/*/libSDL-1.2.so.0; then
    install_missing libsdl1.2-compat
fi
