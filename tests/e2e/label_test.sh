# The red distance label opens with the distance mark, an arrow pointing up and
# left, not a backtick or a digit; its tip, the label's top-left pixel, lies on
# the station's centre. The game runs in a copy of the run directory whose
# backgrounds are black and whose far stations are blue discs, so that the
# window shows the station's centre as the middle of the disc. The approach
# starts at random, so the label may lie behind the panel or under a line of
# the sight; the game is started again until three frames show it whole.
source "$(dirname "$0")/lib.sh"

# The mark's pixels from its tip, its seven columns and the free column before
# the first digit. An exact match: a backtick (three pixels stepping down) or
# a 1 (a flag and a stem as tall as the digits) is not it.
MARK="#####... ####.... ####.... ##.##... #...##.. .....##."

mkdir "$WORK/run"
cp -r "$RUN_DIR"/. "$WORK/run"
for n in 1 2 3; do
    convert -size 1024x768 xc:black "$WORK/run/background$n.jpg"
done
for n in 1 2; do
    convert -size 300x300 xc:white -fill blue -draw "circle 149.5,149.5 149.5,0" \
        "$WORK/run/spacestation${n}low.png"
done

# The view of a screenshot with the label's pixels (pure red) black on white.
label_mask() {
    local shot=$1
    shift
    convert "$shot" -crop 540x300+50+50 +repage -fill white +opaque '#FF0000' -fill black \
        -opaque '#FF0000' "$@"
}

# first_glyph SCREENSHOT: six rows of eight pixels from the top-left corner of
# the label's lit pixels.
first_glyph() {
    label_mask "$1" -trim +repage -crop 8x6+0+0 -compress none pbm:- 2>/dev/null |
        tail -n +3 | tr -d ' \n' | tr 01 .# | sed 's/......../& /g'
}

# The bounding box (W H X Y in the view) of the label's pixels and of the
# disc's: blue, also where a half transparent line of the sight lies over it.
label_box() { label_mask "$1" -format '%@' info: 2>/dev/null | tr 'x+' '  '; }
disc_box() {
    convert "$1" -crop 540x300+50+50 +repage -fx 'b > 0.5 && r < 0.5 ? 0 : 1' -format '%@' \
        info: 2>/dev/null | tr 'x+' '  '
}

seen=""
frames=0
for try in $(seq 1 30); do
    start_game "$WORK/run"
    window=$(wait_window) || fail "no window"
    sleep 0.5
    import -window "$window" "$WORK/label.png" 2>/dev/null
    press Escape
    expect_exit 0 "Escape"
    glyph=$(first_glyph "$WORK/label.png")
    read -r dw dh dx dy <<<"$(disc_box "$WORK/label.png")"
    read -r _ _ tx ty <<<"$(label_box "$WORK/label.png")"
    # Only a frame where the mark shows whole and the disc whole inside the view.
    if [ "$glyph" = "$MARK " ] && [ "$dx" -gt 0 ] && [ "$dy" -gt 0 ] &&
        [ $((dx + dw)) -lt 540 ] && [ $((dy + dh)) -lt 300 ] && [ $((dw - dh)) -le 1 ] &&
        [ $((dh - dw)) -le 1 ]; then
        off=$(awk -v tx="$tx" -v ty="$ty" -v x="$dx" -v y="$dy" -v w="$dw" -v h="$dh" \
            'BEGIN { printf "%.2f", sqrt((tx - x - (w - 1) / 2) ^ 2 + (ty - y - (h - 1) / 2) ^ 2) }')
        echo "try $try: the tip at ($((tx + 50)), $((ty + 50))), the station's centre" \
            "$off pixels from it"
        awk -v d="$off" 'BEGIN { exit !(d <= 1) }' || fail "the tip is $off pixels from the station's centre"
        frames=$((frames + 1))
        [ "$frames" -eq 3 ] && { echo "label test passed"; exit 0; }
    fi
    [ -n "$glyph" ] && seen=$glyph
    sleep 1  # the next start draws a new approach
done
fail "no three frames with the distance mark and the station whole; last seen: ${seen:-no whole label}"
