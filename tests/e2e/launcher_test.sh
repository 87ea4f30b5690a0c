# The launcher of an installation (cmake --install into a temporary prefix):
# started from /, it runs the game in its data folder and passes its exit code
# and its lines through; a missing data folder, and a game that cannot open a
# sound device or find a display, each give one line of help and exit code 1,
# after whatever the libraries printed. Its options: --help, --version, and
# --scale, which sdl12-compat follows and the classic library cannot.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/launch.sh"

prefix=$WORK/prefix
cmake --install "$(dirname "$RUN_DIR")" --prefix "$prefix" >"$WORK/install.log" 2>&1 ||
    fail "cmake --install: $(tail -n 5 "$WORK/install.log")"
data=$prefix/share/games/halvanne
HALVANNE=$prefix/games/halvanne
# The launcher's temporary files go here, to see that it removes them.
export TMPDIR=$WORK/tmp
mkdir "$TMPDIR"

play_from_root
# Unscaled on sdl12-compat, with the launcher's choice of SDL 2's renderer.
LD_LIBRARY_PATH=$COMPAT_DIR ASAN_OPTIONS=detect_leaks=0 play_from_root

"$HALVANNE" --help >"$WORK/stdout" 2>"$WORK/stderr" || fail "--help failed"
grep -q '^Usage: halvanne .*--scale N' "$WORK/stdout" || fail "--help shows no usage"
[ "$(wc -l <"$WORK/stdout")" -le 24 ] || fail "--help takes more than a screen"
"$HALVANNE" --version | grep -qE '^halvanne [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version shows no version"
for scale in 0 5 x ""; do
    status=0
    "$HALVANNE" --scale $scale 2>"$WORK/stderr" || status=$?
    [ "$status" = 2 ] && [ "$(wc -l <"$WORK/stderr")" = 1 ] ||
        fail "--scale '$scale' was not refused with one line"
done

# window_size WINDOW: its width x height as the X server has it.
window_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }

# --scale 2: twice as large on sdl12-compat (whose leaks the leak sanitizer
# cannot name, so it checks none there); 640 x 480 and one line on the
# classic library.
LD_LIBRARY_PATH=$COMPAT_DIR ASAN_OPTIONS=detect_leaks=0 start_game / --scale 2
window=$(wait_window) || fail "no window at --scale 2 on sdl12-compat"
[ "$(window_size "$window")" = 1280x960 ] || fail "--scale 2 on sdl12-compat: $(window_size "$window")"
press Escape
expect_exit 0 "Escape at --scale 2 on sdl12-compat" quiet
if ! system_sdl_is_compat; then
    start_game / --scale 2
    window=$(wait_window) || fail "no window at --scale 2"
    [ "$(window_size "$window")" = 640x480 ] || fail "--scale 2 on the classic library: $(window_size "$window")"
    press Escape
    expect_exit 0 "Escape at --scale 2 on the classic library"
    grep -q 'stays 640 x 480' "$WORK/stderr" && [ "$(wc -l <"$WORK/stderr")" = 1 ] ||
        fail "expected one line saying the window stays 640 x 480"
fi

# ALSA's own lines when it finds no such device pass through; the help
# line follows them.
AUDIODEV=no_such_device SDL_AUDIODRIVER=alsa start_game /
expect_exit 1 "no such ALSA device"
grep -q '^ALSA lib' "$WORK/stderr" || fail "ALSA's lines did not pass through"
help=$(tail -n 1 "$WORK/stderr")
for hint in '^halvanne: could not open the window or the sound device' 'no desktop session' \
    'no free sound device' 'SDL_AUDIODRIVER=dummy'; do
    grep -q "$hint" <<<"$help" || fail "the help line after ALSA's lines lacks '$hint'"
done
[ -s "$WORK/stdout" ] && fail "the help went to standard output"

# No display at all, on both libraries: exit code 1 and the help line last.
display=$DISPLAY
unset DISPLAY
for library in "" "$COMPAT_DIR"; do
    LD_LIBRARY_PATH=$library ASAN_OPTIONS=detect_leaks=0 start_game /
    expect_exit 1 "no display (${library:-classic})"
    tail -n 1 "$WORK/stderr" | grep -q 'no desktop session' ||
        fail "no help line without a display (${library:-classic})"
done
export DISPLAY=$display

SDL_AUDIODRIVER=no_such_driver start_game /
expect_exit 1 "no sound device"
[ "$(cat "$WORK/stderr")" = "$help" ] || fail "expected the help line alone from a silent game"

# The game's own warning reaches standard error while it runs, once.
rm "$data/light.png"
start_game /
window=$(wait_window) || fail "no window without light.png"
for _ in $(seq 1 50); do
    grep -q '"light.png"' "$WORK/stderr" && break
    sleep 0.1
done
grep -q '"light.png"' "$WORK/stderr" || fail "the warning did not arrive while the game ran"
kill -0 "$GAME_PID" || fail "the game ended before Escape"
press Escape
expect_exit 0 "a game without light.png"
[ "$(wc -l <"$WORK/stderr")" = "1" ] || fail "expected the game's one warning"

# A game that names what is missing gets no help line.
rm "$data/background2.jpg"
start_game /
expect_exit 1 "a missing background"
[ "$(wc -l <"$WORK/stderr")" = "1" ] || fail "expected only the game's line"
grep -q '"background2.jpg"' "$WORK/stderr" || fail "the game's line is not passed through"

rm -r "$data"
start_game /
expect_exit 1 "a missing data folder"
[ "$(cat "$WORK/stderr")" = "halvanne: the data folder $data is missing" ] ||
    fail "expected one line naming the data folder"

[ -z "$(ls -A "$TMPDIR")" ] || fail "the launcher left $(ls "$TMPDIR") behind"
echo "launcher test passed"
