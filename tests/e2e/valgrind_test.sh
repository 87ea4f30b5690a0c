# The real program under valgrind's memcheck: a short game in Xvfb, thruster
# keys pressed with xdotool, then Escape. No block may be definitely lost, and
# no invalid or uninitialised access made, with our own code (src/) on the
# stack; what the system's libraries lose on their own is in valgrind.supp.
# The sanitizers and valgrind do not mix, so the script first builds a plain
# copy of the game beside the run directory.
source "$(dirname "$0")/lib.sh"

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "$RUN_DIR/.." && pwd)/valgrind-build
command -v valgrind >/dev/null || fail "valgrind is not installed (tools/install-deps.sh test)"

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVANNE_TESTS=OFF \
    -DHALVANNE_SANITIZE=OFF >"$WORK/build.log" 2>&1 &&
    cmake --build "$BUILD" -j2 --target halvanne >>"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log"; fail "the plain build failed"; }

LOG=$WORK/valgrind.log
(cd "$BUILD/run" && exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --num-callers=40 --fullpath-after="$ROOT/" --suppressions="$ROOT/tests/valgrind.supp" \
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
if [ -n "$ours" ]; then
    echo "$ours"
    fail "valgrind found memory lost or misused by our code"
fi
echo "valgrind test passed"
