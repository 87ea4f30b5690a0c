# The red distance label opens with the distance mark, not a backtick: in the
# real window, the label's first glyph is a double arrow as tall as the digits.
# The approach starts at random, so the label may lie behind the panel or
# under a line of the sight; the game is started again until it shows whole.
source "$(dirname "$0")/lib.sh"

# The mark's pixels from its top row down, from its leftmost lit column on,
# with the two columns free before the first digit. A backtick is three
# pixels stepping down above the digits.
MARK="..#.... .###... #####.. ..#.... ..#.... ..#.... ..#.... #####.. .###... ..#...."

# first_glyph SCREENSHOT: the ten rows of seven pixels from the top-left
# corner of the label's lit pixels (pure red, which no picture has) in the view.
first_glyph() {
    convert "$1" -crop 540x300+50+50 +repage -fill white +opaque '#FF0000' -fill black \
        -opaque '#FF0000' -trim +repage -crop 7x10+0+0 -compress none pbm:- 2>/dev/null |
        tail -n +3 | tr -d ' \n' | tr 01 .# | sed 's/......./& /g'
}

seen=""
for try in $(seq 1 12); do
    start_game
    window=$(wait_window) || fail "no window"
    sleep 0.5
    import -window "$window" "$WORK/label.png" 2>/dev/null
    press Escape
    expect_exit 0 "Escape"
    glyph=$(first_glyph "$WORK/label.png")
    if [ "$glyph" = "$MARK " ]; then
        echo "label test passed (try $try)"
        exit 0
    fi
    [ -n "$glyph" ] && seen=$glyph
    sleep 1  # the next start draws a new approach
done
fail "the label's first glyph is not the distance mark; last seen: ${seen:-no whole label}"
