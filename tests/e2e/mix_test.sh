# The mix as the player hears it, written by SDL's disk audio driver while the
# real game runs: music, hum and hiss together stay under -1 dBFS, and a held
# thruster lifts the 1-4 kHz band at least 15 dB over the music and the hum.
# Two runs from start-up play nearly the same stretch of music, the second with
# Right held (it rolls the craft and never ends the approach).
source "$(dirname "$0")/lib.sh"
command -v sox >/dev/null || fail "sox is not installed (tools/install-deps.sh test)"

# record FILE [KEY]: three seconds of the game's sound, KEY held throughout.
record() {
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$1 SDL_DISKAUDIODELAY=180 start_game
    wait_window >/dev/null || fail "no window"
    [ -z "${2:-}" ] || hold "$2"
    sleep 3
    [ -z "${2:-}" ] || release "$2"
    press Escape
    expect_exit 0 "Escape"
}

# level FILE FIGURE [EFFECT...]: sox's figure ("Pk lev dB" or "RMS lev dB") of
# both channels together, after the effects.
level() {
    local file=$1 figure=$2
    shift 2
    sox -t raw -r 22050 -e signed -b 16 -c 2 "$file" -n "$@" stats 2>&1 |
        awk -v figure="$figure" 'index($0, figure) == 1 { print $4 }'
}

# at_least A B: true when the number A is at least B.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

record "$WORK/quiet.raw"
record "$WORK/hiss.raw" Right
for run in quiet hiss; do
    peak=$(level "$WORK/$run.raw" "Pk lev dB")
    at_least -1 "$peak" || fail "the $run run peaks at $peak dBFS, over -1"
    at_least "$peak" -20 || fail "the $run run peaks at $peak dBFS: the music and the hum do not play"
done
# From the second second on: start-up is over and the hiss's first buffer played.
without=$(level "$WORK/quiet.raw" "RMS lev dB" trim 1 sinc 1k-4k)
with=$(level "$WORK/hiss.raw" "RMS lev dB" trim 1 sinc 1k-4k)
lift=$(awk -v a="$with" -v b="$without" 'BEGIN { print a - b }')
at_least "$lift" 15 || fail "the hiss lifts the 1-4 kHz band by $lift dB only ($without to $with dBFS)"
echo "mix test passed: peaks under -1 dBFS, the hiss lifts 1-4 kHz by $lift dB"
