# Shared by the end-to-end tests: the real program in a real X server (Xvfb),
# keys pressed with xdotool, the window read back with xdotool and ImageMagick.
# A test script is called as: SCRIPT HALVANNE RUN_DIR XCLOSE
set -u

HALVANNE=$1
RUN_DIR=$2
XCLOSE=$3

# Every test runs in its own X server. Without -noreset the server resets when
# its last client leaves, and SDL, which opens a first connection only to close
# it, then sometimes finds no display for its second.
if [ -z "${HALVANNE_E2E_DISPLAY:-}" ]; then
    export HALVANNE_E2E_DISPLAY=1
    exec xvfb-run -a -s "-noreset -screen 0 800x600x24" bash "$0" "$@"
fi

export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# sdl12-compat, SDL 1.2 over SDL 2, beside the classic library: the tests run
# with HALVANNE_E2E_SDL=compat play the game on it.
COMPAT_DIR=${HALVANNE_SDL12_COMPAT:-/usr/lib/x86_64-linux-gnu/sdl12-compat}
on_compat() { [ "${HALVANNE_E2E_SDL:-}" = compat ]; }
# Where the system's own SDL 1.2 is sdl12-compat (Debian 13) there is no classic one.
system_sdl_is_compat() { grep -q SDL12COMPAT "$(ldconfig -p | awk '/libSDL-1\.2\.so\.0 /{ print $NF; exit }')"; }

WORK=$(mktemp -d)
GAME_PID=""
trap 'cleanup' EXIT

cleanup() {
    [ -n "$GAME_PID" ] && kill -9 "$GAME_PID" 2>/dev/null
    rm -rf "$WORK"
}

fail() {
    echo "FAIL: $*"
    [ -f "$WORK/stderr" ] && sed 's/^/  stderr: /' "$WORK/stderr"
    exit 1
}

if on_compat; then
    [ -e "$COMPAT_DIR/libSDL-1.2.so.0" ] || fail "no sdl12-compat in $COMPAT_DIR (tools/install-deps.sh test)"
    export LD_LIBRARY_PATH=$COMPAT_DIR
fi

# start_game [DIR [ARGUMENT...]]: starts the program in DIR (the run
# directory by default) with the arguments.
start_game() {
    local dir=${1:-$RUN_DIR}
    [ $# -gt 0 ] && shift
    (cd "$dir" && exec "$HALVANNE" "$@" >"$WORK/stdout" 2>"$WORK/stderr") &
    GAME_PID=$!
}

# wait_window [SECONDS]: waits for the game's window (30 s by default) and
# prints its id.
wait_window() {
    local id
    id=$(timeout "${1:-30}" xdotool search --sync --name '^Halvanne$' 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 1
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    echo "$id"
}

# wait_exit SECONDS: waits for the game to end; its exit code goes into
# EXIT_CODE ("timeout" when it did not end in time).
wait_exit() {
    EXIT_CODE=timeout
    timeout "$1" tail --pid="$GAME_PID" -s 0.1 -f /dev/null || return 0
    EXIT_CODE=0
    wait "$GAME_PID" || EXIT_CODE=$?
    GAME_PID=""
}

# expect_exit CODE WHAT [quiet]: waits up to 20 s for the game to end with
# exit code CODE; with quiet, it must have printed nothing.
expect_exit() {
    wait_exit 20
    [ "$EXIT_CODE" = "$1" ] || fail "$2 gave exit code $EXIT_CODE"
    if [ "${3:-}" = quiet ] && { [ -s "$WORK/stdout" ] || [ -s "$WORK/stderr" ]; }; then
        fail "$2 printed something"
    fi
}

# Keys go to the focused window through the XTEST extension, as a keyboard's.
press() { xdotool key --delay 60 "$@"; }
hold() { xdotool keydown "$@"; }
release() { xdotool keyup "$@"; }

# pixel WINDOW X Y: the colour of one pixel of the window as "r,g,b".
pixel() {
    import -window "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# red_pixels WINDOW X Y W H: how many pure red pixels (the messages' colour)
# the rectangle holds.
red_pixels() {
    import -window "$1" -crop "$4x$5+$2+$3" -depth 8 txt:- 2>/dev/null | grep -c '#FF0000' || true
}
