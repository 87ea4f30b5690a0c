# The Debian packages: the source and binary packages that tools/make-deb.sh
# built (the e2e_package_build test), without an error or a warning from lintian; the
# autopkgtest tests of debian/tests run on this system (the installed game in
# an X server), which installs the package; the package's own desktop entry,
# AppStream metadata and manual page valid; and the package removed without a
# trace. Skipped (77) when it may not install packages.
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if ! sudo -n true 2>/dev/null; then
        echo "SKIP: installing the package needs root or sudo without a password"
        exit 77
    fi
    sudo="sudo -n"
fi
if dpkg-query -W -f='${Status}' halvanne 2>/dev/null | grep -q 'ok installed'; then
    echo "SKIP: a halvanne package is already installed (remove it with dpkg --purge halvanne)"
    exit 77
fi
source "$(dirname "$0")/lib.sh"

installed=0
trap 'if [ "$installed" = 1 ]; then $sudo dpkg --purge halvanne >/dev/null 2>&1; fi; cleanup' EXIT

root=$(cd "$(dirname "$0")/../.." && pwd)
results=$(dirname "$RUN_DIR")/package
deb=$results/halvanne_1.0.0_amd64.deb
[ -f "$deb" ] || fail "no $deb: the e2e_package_build test makes it"
[ "$(dpkg-deb -f "$deb" Section)" = "games" ] || fail "not in section games"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libsdl1.2debian* ]] || fail "Depends misses SDL: $depends"
[[ "$depends" != *fonts-dejavu-core* ]] || fail "depends on fonts-dejavu-core with a font of its own"
# The .changes file names the source package and both binary packages.
lintian --fail-on error,warning "$results/halvanne_1.0.0_amd64.changes" >"$WORK/lintian" 2>&1 ||
    fail "lintian: $(cat "$WORK/lintian")"
# The copyright file carries the font's licence word for word.
awk '/^License: Bitstream-Vera$/ { on = 1; next } on && !/^ / { exit }
     on { sub(/^ /, ""); if ($0 == ".") $0 = ""; print }' "$root/debian/copyright" |
    diff - "$root/FONT-LICENSE" >"$WORK/licence" || fail "debian/copyright's font licence: $(cat "$WORK/licence")"

# autopkgtest installs the package with apt, which may pull in missing
# dependencies, and leaves it installed.
installed=1
$sudo autopkgtest "$deb" "$results/halvanne_1.0.0.dsc" -- null >"$WORK/autopkgtest" 2>&1 ||
    fail "autopkgtest: $(grep -v '^(Reading database' "$WORK/autopkgtest" | tail -n 30)"
[ "$(dpkg-query -W -f='${Status} ${Version}' halvanne)" = "install ok installed 1.0.0" ] ||
    fail "autopkgtest did not install the package"
files=$(dpkg -L halvanne)
[ -f /usr/share/games/halvanne/00_Starmap_Truetype.ttf ] && [ ! -L /usr/share/games/halvanne/00_Starmap_Truetype.ttf ] ||
    fail "the font is not a file of the data folder"

# own NAME PATTERN: sets NAME to the one file of the package whose path
# matches PATTERN; only the package's own files are checked, never the system's.
own() {
    local found
    found=$(grep -E "$2" <<<"$files")
    [ "$(grep -c . <<<"$found")" = 1 ] || fail "the package does not hold one file like $2: $found"
    printf -v "$1" '%s' "$found"
}
own desktop '^/usr/share/applications/[^/]+\.desktop$'
own metainfo '^/usr/share/metainfo/[^/]+\.metainfo\.xml$'
own manual '^/usr/share/man/man6/[^/]+\.6\.gz$'
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
# A warning or an error fails, an info does not: Debian 12's appstream 0.16
# does not know the <developer> tag that appstream 1.0 asks for.
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$manual" 2>&1 >/dev/null)
[ -z "$out" ] || fail "man: $out"

$sudo dpkg --purge halvanne >"$WORK/dpkg.log" 2>&1 || fail "dpkg --purge: $(cat "$WORK/dpkg.log")"
installed=0
while read -r path; do
    # Shared folders such as /usr/share stay; the package's own go.
    if [ -L "$path" ] || [ -e "$path" ]; then
        if [ ! -d "$path" ] || [[ "$path" == *halvanne* ]]; then
            fail "$path is left after dpkg --purge"
        fi
    fi
done <<<"$files"
echo "package test passed"
