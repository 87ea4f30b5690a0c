# The game in a real window (640 x 480, titled Halvanne) played with the
# keyboard: the cockpit over the view, a crash at full forward thrust, Enter
# and a new approach. And faults of the platform: no video device, no X
# display at all (each ends the game with 1, silently, as the launcher test
# sees it do without an audio device); what a window system does to the keys:
# the window closed while keys are held, keys released that were never
# pressed, hundreds of key events waiting at once. Run with
# HALVANNE_E2E_SDL=compat, the same on sdl12-compat.
source "$(dirname "$0")/lib.sh"

SDL_VIDEODRIVER=no_such_driver start_game
expect_exit 1 "no video device" quiet

# Without a display the classic SDL falls back to drawing as text art in the
# terminal when there is one (TERM set), and ncurses complains when there is
# none; SDL 2 falls back to drawing into memory, and its Wayland client
# library, without a session to find, would say so on its own.
display=$DISPLAY
unset DISPLAY SDL_VIDEODRIVER
TERM=xterm start_game
expect_exit 1 "no X display, in a terminal" quiet
term=${TERM-}
unset TERM
start_game
expect_exit 1 "no X display, without a terminal" quiet
export DISPLAY=$display TERM=$term

# The window closed by the window manager while thruster keys are held.
start_game
window=$(wait_window) || fail "no window"
sleep 1
hold Up a
sleep 0.5
"$XCLOSE" "$window"
expect_exit 0 "closing the window with keys held" quiet
release Up a

start_game
window=$(wait_window) || fail "no window titled Halvanne"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "640x480" ] || fail "window is $geometry, not 640x480"
sleep 2

# The panel's own pixels show where it is opaque; the view shows a starfield.
for point in "10 240" "320 20" "630 200" "250 470"; do
    set -- $point
    expected=$(convert "$RUN_DIR/uistatic3.png" -crop "1x1+$1+$2" -depth 8 txt:- |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p')
    [ "$(pixel "$window" "$1" "$2")" = "$expected" ] || fail "panel pixel at $1,$2 is not the panel's"
done
colours=$(import -window "$window" -crop 400x200+120+100 -depth 8 -format %k info: 2>/dev/null)
[ "$colours" -gt 20 ] || fail "the view shows only $colours colours"

# Keys released that were never pressed (held before the window had the
# focus): the thrusters must still answer the next press and release, as the
# red channel at the centre of the forward thruster's lamp shows.
forward_lamp() { pixel "$window" 188 418 | cut -d, -f1; }
[ "$(forward_lamp)" -lt 200 ] || fail "the forward lamp is lit before any key"
release Up Down Left a Return
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended on keys released that were never pressed"
hold Up
sleep 0.5
[ "$(forward_lamp)" -ge 200 ] || fail "after stray releases Up does not light its lamp"
release Up
sleep 0.5
[ "$(forward_lamp)" -lt 200 ] || fail "the forward lamp stays lit after Up is released"

# Full forward thrust until the craft hits the station far too fast.
hold Up
crashed=0
for _ in $(seq 1 90); do
    sleep 1
    if [ "$(red_pixels "$window" 100 100 320 40)" -gt 400 ]; then
        crashed=1
        break
    fi
done
release Up
[ "$crashed" = "1" ] || fail "no crash message after 90 s of forward thrust"
press Return
sleep 2
[ "$(red_pixels "$window" 100 100 320 40)" -lt 300 ] || fail "the crash message stayed after Enter"

# Hundreds of key events waiting while the game is stopped, all taken in one
# poll when it goes on. SDL's queue keeps only the first ones; the game must
# take what it gets and go on.
kill -STOP "$GAME_PID"
keys=$(for _ in $(seq 1 100); do printf 'Up Down a d w s '; done)
xdotool key --delay 0 $keys
kill -CONT "$GAME_PID"
sleep 1
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended after hundreds of waiting keys"
press Up
sleep 0.5
press Escape
expect_exit 0 "Escape after hundreds of waiting keys" quiet
echo "window test passed"
