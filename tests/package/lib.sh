# Shared by the package scripts: a work folder, removed at the end after what
# a chroot in it may have left mounted is unmounted (never crossed), and fail.
set -euo pipefail
work=$(mktemp -d)
trap '{ findmnt -n -l -o TARGET | grep "^$work/" | sort -r | xargs -r umount -l; } || true; rm -rf --one-file-system "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
