# The Debian packages rebuild bit for bit: tools/make-deb.sh built them once;
# it builds the source and binary packages again under another umask, time
# zone and locale; reprotest builds the binary packages twice more from the
# source package, the second time under every variation it can make here
# (time, time zone, locale, umask, build path, environment, PATH, HOME, file
# order, host and domain name, kernel version, CPU count and ASLR); all the
# builds must agree. reprotest's
# user_group variation is left out: it needs other users, and on Debian 12
# sudo refuses the "sudo -h localhost" that reprotest runs them with. The host
# and domain name need a user namespace, the file order a FUSE device: where
# the system gives none (a chroot), that variation is left out, and said so.
# Usage: reproducible_test.sh PACKAGE_DIR (where tools/make-deb.sh left the packages)
source "$(dirname "$0")/lib.sh"
results=$1

root=$(cd "$(dirname "$0")/../.." && pwd)
(umask 0077 && TZ=Pacific/Kiritimati LC_ALL=fr_FR.UTF-8 "$root/tools/make-deb.sh" "$work/again") \
    >/dev/null 2>"$work/build.log" || fail "the second build: $(tail -n 20 "$work/build.log")"
for file in halvanne_1.0.0.dsc halvanne_1.0.0.tar.xz halvanne_1.0.0_amd64.deb halvanne-dbgsym_1.0.0_amd64.deb; do
    cmp "$results/$file" "$work/again/$file" || fail "tools/make-deb.sh made another $file"
done

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
