# Start-ups that cannot go on: no audio device, a missing background, and
# missing pictures or sounds that the game can do without.
source "$(dirname "$0")/lib.sh"

SDL_AUDIODRIVER=no_such_driver start_game
wait_exit 20
[ "$EXIT_CODE" = "1" ] || fail "no audio device gave exit code $EXIT_CODE"
[ -s "$WORK/stdout" ] || [ -s "$WORK/stderr" ] && fail "no audio device printed something"

run=$(copy_run_dir)
rm "$run/background2.jpg"
start_game "$run"
wait_exit 20
[ "$EXIT_CODE" = "1" ] || fail "a missing background gave exit code $EXIT_CODE"
[ "$(wc -l <"$WORK/stderr")" = "1" ] || fail "expected one line on standard error"
grep -q '"background2.jpg"' "$WORK/stderr" || fail "the message does not name background2.jpg"
xdotool search --name '^Halvanne$' >/dev/null 2>&1 && fail "a window stayed open"

cp "$RUN_DIR/background2.jpg" "$run/"
rm "$run/light.png" "$run/thruster.wav"
start_game "$run"
window=$(wait_window) || fail "no window without light.png and thruster.wav"
sleep 1
press a Up
press Escape
wait_exit 20
[ "$EXIT_CODE" = "0" ] || fail "a game without light.png ended with $EXIT_CODE"
[ "$(wc -l <"$WORK/stderr")" = "2" ] || fail "expected one warning per missing file"
grep -q '"light.png"' "$WORK/stderr" || fail "no warning names light.png"
grep -q '"thruster.wav"' "$WORK/stderr" || fail "no warning names thruster.wav"

echo "start-up failure test passed"
