# cmake --install under any prefix and any umask: the Debian games layout
# below the prefix, every folder and file readable by all and writable by the
# owner alone, the launcher naming the prefix's paths, and the compressed
# files without a name or a time of their own (gzip -n), so that every install
# gives the same bytes. Usage: install_test.sh BUILD_DIR
source "$(dirname "$0")/package/lib.sh"
build=$1

for mask in 0002 0077; do
    prefix=$work/$mask
    (umask "$mask" && cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1) ||
        fail "cmake --install: $(cat "$work/install.log")"
    for path in games/halvanne lib/games/halvanne/halvanne share/games/halvanne/00_Starmap_Truetype.ttf \
        share/applications/halvanne.desktop share/metainfo/io.github.halvanne.halvanne.metainfo.xml \
        share/icons/hicolor/256x256/apps/halvanne.png share/man/man6/halvanne.6.gz \
        share/doc/halvanne/changelog.gz share/doc/halvanne/copyright; do
        [ -f "$prefix/$path" ] || fail "umask $mask: no $path"
    done
    modes=$(cd "$prefix" && find . -printf '%y %m %p\n' | sort -k3)
    wrong=$(awk '$1 == "d" && $2 != 755 || $1 == "f" && $2 != 644 && $2 != 755' <<<"$modes")
    [ -z "$wrong" ] || fail "umask $mask: modes $wrong"
    [ "$(awk '$2 == 755 && $1 == "f" { print $3 }' <<<"$modes" | tr '\n' ' ')" = \
        "./games/halvanne ./lib/games/halvanne/halvanne " ] || fail "umask $mask: executables $modes"
    grep -qx "data='$prefix/share/games/halvanne'" "$prefix/games/halvanne" || fail "the launcher's data folder"
    grep -qx "Exec=$prefix/games/halvanne" "$prefix/share/applications/halvanne.desktop" ||
        fail "the desktop entry's Exec line"
    for gz in share/man/man6/halvanne.6.gz share/doc/halvanne/changelog.gz; do
        # Bytes 4 to 8 of a gzip file: its flags (bit 3: a name follows) and time.
        header=$(od -An -tx1 -j3 -N5 "$prefix/$gz" | tr -d ' \n')
        [ "$header" = 0000000000 ] || fail "$gz keeps a name or a time: $header"
    done
done
# The files that do not name the prefix are the same bytes from both installs.
sums() {
    (cd "$1" && find . -type f ! -path ./games/halvanne ! -path ./share/applications/halvanne.desktop \
        -exec sha256sum {} + | sort -k2)
}
differ=$(diff <(sums "$work/0002") <(sums "$work/0077")) || fail "the two installs differ: $differ"
echo "install test passed"
