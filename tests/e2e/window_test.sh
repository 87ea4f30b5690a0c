# The window's title, and the two ways to quit: Escape and the close button.
source "$(dirname "$0")/lib.sh"

start_game
window=$(wait_window) || fail "no window titled Halvanne"
[ "$(xdotool getwindowname "$window")" = "Halvanne" ] || fail "wrong title"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "640x480" ] || fail "window is $geometry, not 640x480"
sleep 1
press Escape
wait_exit 20
[ "$EXIT_CODE" = "0" ] || fail "Escape gave exit code $EXIT_CODE"
[ -s "$WORK/stderr" ] && fail "unexpected output on standard error"

start_game
window=$(wait_window) || fail "no window the second time"
sleep 1
"$XCLOSE" "$window"
wait_exit 20
[ "$EXIT_CODE" = "0" ] || fail "the close button gave exit code $EXIT_CODE"

echo "window test passed"
