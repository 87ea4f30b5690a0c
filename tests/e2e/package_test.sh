# The Debian package: built from a Release build of the game alone, clean under
# lintian, installed with dpkg, started from / in the X server, its desktop
# entry, metadata and manual page valid, and removed without a trace. Skipped
# (77) when it may not install packages.
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
source "$(dirname "$0")/launch.sh"

installed=0
trap 'if [ "$installed" = 1 ]; then $sudo dpkg --purge halvanne >/dev/null; fi; cleanup' EXIT

# The game alone, in its own Release build next to the tests' build.
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$("$root/tools/make-deb.sh" "$(dirname "$RUN_DIR")/package" 2>"$WORK/build.log") ||
    fail "the package did not build: $(tail -n 20 "$WORK/build.log")"
[ "$(basename "$deb")" = "halvanne_1.0.0_amd64.deb" ] || fail "the package is $deb"
[ "$(dpkg-deb -f "$deb" Section)" = "games" ] || fail "not in section games"
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libsdl1.2debian* ]] || fail "Depends misses SDL: $depends"
[[ "$depends" != *fonts-dejavu-core* ]] || fail "depends on fonts-dejavu-core with a font of its own"
lintian --fail-on error "$deb" >"$WORK/lintian" 2>&1 || fail "lintian: $(cat "$WORK/lintian")"

$sudo dpkg -i "$deb" >"$WORK/dpkg.log" 2>&1 || fail "dpkg -i: $(cat "$WORK/dpkg.log")"
installed=1
files=$(dpkg -L halvanne)
[ -f /usr/share/games/halvanne/00_Starmap_Truetype.ttf ] && [ ! -L /usr/share/games/halvanne/00_Starmap_Truetype.ttf ] ||
    fail "the font is not a file of the data folder"

HALVANNE=/usr/games/halvanne
play_from_root

out=$(desktop-file-validate /usr/share/applications/halvanne.desktop 2>&1) ||
    fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --strict /usr/share/metainfo/*.metainfo.xml 2>&1) ||
    fail "appstreamcli: $out"
out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l \
    /usr/share/man/man6/halvanne.6.gz 2>&1 >/dev/null)
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
