# piuparts installs, removes and purges the package in a new chroot of this
# system's release (Debian 12 or 13) that it builds with debootstrap from the
# mirror of this system's apt sources, and finds nothing left behind. Needs
# root; skipped (77) otherwise, or when the apt sources name no mirror of it.
# Usage: piuparts_test.sh PACKAGE_DIR (where tools/make-deb.sh left the packages)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
results=$1
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: piuparts needs root"
    exit 77
fi
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
mirror=$("$root/tools/debian-mirror.sh" "$suite") || { echo "SKIP: no mirror of this release in the apt sources"; exit 77; }
# piuparts unmounts what it mounted in its chroot, and lib.sh what a killed
# run left mounted.
source "$(dirname "$0")/lib.sh"

piuparts --distribution="$suite" --mirror="$mirror main" --tmpdir="$work" "$results/halvanne_1.0.0_amd64.deb" >"$work/piuparts" 2>&1 ||
    fail "piuparts: $(grep -v ' DEBUG: ' "$work/piuparts" | tail -n 40)"
grep -E 'INFO: (PASS|Installation)' "$work/piuparts" | cut -d' ' -f2-
echo "piuparts test passed"
