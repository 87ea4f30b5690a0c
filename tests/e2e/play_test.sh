# A game played with the keyboard in its 640 x 480 window titled Halvanne: the
# cockpit over the view, a crash at full forward thrust, Enter, and a new
# approach.
source "$(dirname "$0")/lib.sh"

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

press Escape
expect_exit 0 "Escape" quiet
echo "play test passed"
