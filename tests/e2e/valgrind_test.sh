# The real program under valgrind's memcheck: a short game in Xvfb with the
# music, the hum and the hiss mixed (SDL's disk audio driver, into a file:
# SDL 2's refuses /dev/null), thruster keys pressed with xdotool, then Escape. No block may be
# definitely lost, and no invalid or uninitialised access made, with our own
# code (src/) on the stack; what the system's libraries lose on their own is
# in valgrind.supp. On sdl12-compat (HALVANNE_E2E_SDL=compat) no invalid read
# or write may happen at all, and what SDL 2's own blitters do is in
# valgrind-sdl2.supp. The sanitizers and valgrind do not mix, so the script
# first builds a plain copy of the game beside the run directory.
export SDL_AUDIODRIVER=disk
source "$(dirname "$0")/lib.sh"
export SDL_DISKAUDIOFILE=$WORK/sound.raw

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "$RUN_DIR/.." && pwd)/plain-build
command -v valgrind >/dev/null || fail "valgrind is not installed (tools/install-deps.sh test)"

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVANNE_TESTS=OFF \
    -DHALVANNE_SANITIZE=OFF >"$WORK/build.log" 2>&1 &&
    cmake --build "$BUILD" -j2 --target halvanne >>"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log"; fail "the plain build failed"; }

LOG=$WORK/valgrind.log
# sdl12-compat, beside the classic library or the system's only SDL 1.2
# (Debian 13), is SDL 2 beneath: its suppressions, and the frames shown through
# its software renderer: the OpenGL one would bring Mesa, whose loading the
# dynamic loader's string search makes valgrind report as invalid reads, and
# whose compiled code it cannot follow (no window within minutes).
sdl=$(ldd "$BUILD/run/halvanne" | sed -n 's/.*libSDL-1\.2\.so\.0 => \([^ ]*\).*/\1/p')
on_compat || ! grep -qs SDL12COMPAT "$sdl" || HALVANNE_E2E_SDL=compat
suppressions=("--suppressions=$ROOT/tests/valgrind.supp")
if on_compat; then
    suppressions+=("--suppressions=$ROOT/tests/valgrind-sdl2.supp")
    export SDL_FRAMEBUFFER_ACCELERATION=0 SDL_RENDER_DRIVER=software
fi
(cd "$BUILD/run" && exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --num-callers=40 --fullpath-after="$ROOT/" --child-silent-after-fork=yes "${suppressions[@]}" \
    --log-file="$LOG" ./halvanne \
    >"$WORK/stdout" 2>"$WORK/stderr") &
GAME_PID=$!

# Start-up is slow under valgrind: wait for the window for up to two minutes.
window=$(wait_window 120) || fail "no window after two minutes under valgrind"
sleep 2
hold Up a
sleep 2
release a
hold Left w
sleep 2
release Up Left w
sleep 1
press Escape
wait_exit 120
[ "$EXIT_CODE" = "0" ] || { cat "$LOG"; fail "the game under valgrind ended with $EXIT_CODE"; }

summary=$(grep -E 'definitely lost:|All heap blocks were freed' "$LOG" | head -n 1)
[ -n "$summary" ] || { cat "$LOG"; fail "no leak summary in valgrind's log"; }
echo "valgrind:${summary#*==*==}"
grep -E 'ERROR SUMMARY' "$LOG" | sed 's/^==[0-9]*==/valgrind:/'

# Each error or loss record runs from its heading to the next blank line.
heading='definitely lost in loss record|Invalid (read|write|free)|Mismatched free|uninitialised|overlap'
ours=$(awk -v heading="$heading" '$0 ~ heading { record = $0 "\n"; inside = 1; next }
            inside && /^==[0-9]+== *$/ { if (record ~ /src\//) printf "%s\n", record; inside = 0; next }
            inside { record = record $0 "\n" }' "$LOG")
if on_compat && grep -qE 'Invalid (read|write)' "$LOG"; then
    cat "$LOG"
    fail "an invalid read or write on sdl12-compat"
fi
if [ -n "$ours" ]; then
    echo "$ours"
    fail "valgrind found memory lost or misused by our code"
fi
echo "valgrind test passed"
