# Shared by the end-to-end tests of the installed game, after lib.sh.

# Starts HALVANNE (a launcher) from /, reads the window's title, quits with
# Escape and expects exit code 0 and not a word.
play_from_root() {
    start_game /
    local window
    window=$(wait_window) || fail "no window from $HALVANNE"
    [ "$(xdotool getwindowname "$window")" = "Halvanne" ] || fail "wrong title"
    sleep 1
    press Escape
    expect_exit 0 "Escape through $HALVANNE" quiet
}
