# The Debian packages rebuild bit for bit: tools/make-deb.sh built them once,
# reprotest builds them twice more from the source package, the second time
# under every variation it can make here (time, time zone, locale, umask,
# build path, environment, PATH, HOME, file order, host and domain name,
# kernel version, CPU count and ASLR); the three builds must agree. reprotest's
# user_group variation is left out: it needs other users, and on Debian 12
# sudo refuses the "sudo -h localhost" that reprotest runs them with. The host
# and domain name need a user namespace, the file order a FUSE device: where
# the system gives none (a chroot), that variation is left out, and said so.
# Usage: reproducible_test.sh PACKAGE_DIR (where tools/make-deb.sh left the packages)
set -euo pipefail
results=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

variations=+all,-user_group
if ! unshare -r --uts true 2>/dev/null; then
    echo "no user namespace here: the host and domain name stay"
    variations+=,-domain_host
fi
if [ ! -c /dev/fuse ]; then
    echo "no /dev/fuse here: the file order stays"
    variations+=,-fileordering
fi
(cd "$results" && reprotest --variations="$variations" halvanne_1.0.0.dsc -- null) >"$work/reprotest" 2>&1 ||
    fail "reprotest: $(grep -v '^ \|^dh\|^dpkg' "$work/reprotest" | tail -n 40)"
grep -q '^Reproduction successful$' "$work/reprotest" || fail "reprotest did not say so: $(tail -n 20 "$work/reprotest")"
for package in halvanne halvanne-dbgsym; do
    file=${package}_1.0.0_amd64.deb
    sum=$(sed -n "s|^\([0-9a-f]\{64\}\)  \./$file\$|\1|p" "$work/reprotest")
    [ -n "$sum" ] || fail "reprotest built no $file"
    [ "$(sha256sum <"$results/$file" | cut -d' ' -f1)" = "$sum" ] ||
        fail "tools/make-deb.sh's $file differs from reprotest's"
    echo "$file: $sum"
done
echo "reproducible test passed"
