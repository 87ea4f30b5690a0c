# The launcher of an installation (cmake --install into a temporary prefix):
# started from /, it runs the game in its data folder and passes its exit code
# and its lines through; a missing data folder, and a game that cannot open a
# sound device, each give one line of help and exit code 1.
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

SDL_AUDIODRIVER=no_such_driver start_game /
expect_exit 1 "no sound device"
[ -s "$WORK/stdout" ] && fail "the help went to standard output"
[ "$(wc -l <"$WORK/stderr")" = "1" ] || fail "expected one line of help"
grep -q 'no desktop session' "$WORK/stderr" || fail "the help does not name the desktop session"
grep -q 'no free sound device' "$WORK/stderr" || fail "the help does not name the sound device"
grep -q 'SDL_AUDIODRIVER=dummy' "$WORK/stderr" || fail "the help does not tell how to start without sound"

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
