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
[ -s "$WORK/stdout" ] || [ -s "$WORK/stderr" ] && fail "a good game printed something"

SDL_AUDIODRIVER=no_such_driver start_game /
wait_exit 20
[ "$EXIT_CODE" = "1" ] || fail "no sound device gave exit code $EXIT_CODE"
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
wait_exit 20
[ "$EXIT_CODE" = "0" ] || fail "a game without light.png ended with $EXIT_CODE"
[ "$(wc -l <"$WORK/stderr")" = "1" ] || fail "expected the game's one warning"

# A game that names what is missing gets no help line.
rm "$data/background2.jpg"
start_game /
wait_exit 20
[ "$EXIT_CODE" = "1" ] || fail "a missing background gave exit code $EXIT_CODE"
[ "$(wc -l <"$WORK/stderr")" = "1" ] || fail "expected only the game's line"
grep -q '"background2.jpg"' "$WORK/stderr" || fail "the game's line is not passed through"

rm -r "$data"
start_game /
wait_exit 20
[ "$EXIT_CODE" = "1" ] || fail "a missing data folder gave exit code $EXIT_CODE"
[ "$(cat "$WORK/stderr")" = "halvanne: the data folder $data is missing" ] ||
    fail "expected one line naming the data folder"

[ -z "$(ls -A "$TMPDIR")" ] || fail "the launcher left $(ls "$TMPDIR") behind"
echo "launcher test passed"
