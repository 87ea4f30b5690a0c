# Faults of the platform: no audio device, no video device, no X display at
# all (each ends the game with 1, silently); and what a window system does to
# the keys: the window closed while keys are held, keys released that were
# never pressed, and hundreds of key events waiting at once.
source "$(dirname "$0")/lib.sh"

SDL_AUDIODRIVER=no_such_driver start_game
expect_exit 1 "no audio device" quiet
SDL_VIDEODRIVER=no_such_driver start_game
expect_exit 1 "no video device" quiet

# Without a display SDL falls back to drawing as text art in the terminal when
# there is one (TERM set), and ncurses complains when there is none.
display=$DISPLAY
unset DISPLAY SDL_VIDEODRIVER
TERM=xterm start_game
expect_exit 1 "no X display, in a terminal" quiet
term=${TERM-}
unset TERM
start_game
expect_exit 1 "no X display, without a terminal" quiet
export DISPLAY=$display TERM=$term

# The red channel at the centre of the forward thruster's lamp.
forward_lamp() { pixel "$1" 188 418 | cut -d, -f1; }

# The window closed by the window manager while thruster keys are held.
start_game
window=$(wait_window) || fail "no window"
sleep 1
hold Up a
sleep 0.5
"$XCLOSE" "$window"
expect_exit 0 "closing the window with keys held" quiet
release Up a

# Keys released that were never pressed (held before the window had the
# focus): the thrusters must still answer the next press and release.
start_game
window=$(wait_window) || fail "no window the second time"
sleep 1
[ "$(forward_lamp "$window")" -lt 200 ] || fail "the forward lamp is lit before any key"
release Up Down Left a Return
sleep 0.5
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended on keys released that were never pressed"
hold Up
sleep 0.5
[ "$(forward_lamp "$window")" -ge 200 ] || fail "after stray releases Up does not light its lamp"
release Up
sleep 0.5
[ "$(forward_lamp "$window")" -lt 200 ] || fail "the forward lamp stays lit after Up is released"

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

echo "platform test passed"
