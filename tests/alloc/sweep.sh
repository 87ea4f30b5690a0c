# The allocation-failure sweep: the real game, built plain (no sanitizer), with
# tests/alloc/failalloc.cpp preloaded, fails one heap allocation of its main
# thread in each run (or every one from a point on) and plays a scripted game
# on SDL's dummy drivers. Every run must end as the game may end:
#   clean     exit 0 after the last scripted frame: it went on without what
#             failed (warning lines allowed);
#   refused   exit 1 at start-up with one line of ours that is no warning;
#   silent    exit 1 at start-up without a line: SDL, the window, SDL_ttf or
#             the mixer could not be opened.
# Reported, not failed: a signal raised inside a library's own code, and a
# library that ends the process itself (SDL_mixer's exit(10)). Failed: any
# abort (an exception that escapes, std::terminate), a signal in our code, a
# hang, anything else.
#
# Usage: sweep.sh ci|full SHIM RUN_DIR
#   ci    every start-up allocation at a stride, 8 over 600 frames, 5 points
#         from which every allocation fails (the CTest entry);
#   full  every start-up allocation, 40 over 600 frames, 20 from-N points
#         (bench/alloc_sweep.sh).
# The plain game is built in plain-build beside RUN_DIR.
set -u

# One run, ID: the game with the shim failing allocation N (MODE nth, or
# from N on) and quitting after frame QUIT; its exit code, log and standard
# error go into WORK.
one_run() {
    local id=$1 n=$2 mode=$3 quit=$4
    (cd "$GAME_DIR" && exec timeout -k 5 "$RUN_LIMIT" env LD_PRELOAD="$SHIM" FAILALLOC_LOG="$WORK/$id.log" \
        FAILALLOC_NTH="$n" FAILALLOC_MODE="$mode" FAILALLOC_QUIT="$quit" \
        SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ./halvanne >/dev/null 2>"$WORK/$id.err")
    echo $? >"$WORK/$id.rc"
}

MODE=${1:?ci or full}
SHIM=$(realpath "${2:?the shim}")
RUN_DIR=$(realpath "${3:?the run directory}")
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "$RUN_DIR/.." && pwd)/plain-build
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
start=$(date +%s)

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVANNE_TESTS=OFF \
    -DHALVANNE_SANITIZE=OFF >"$WORK/build.log" 2>&1 &&
    cmake --build "$BUILD" -j2 --target halvanne >>"$WORK/build.log" 2>&1 ||
    { cat "$WORK/build.log"; echo "FAIL: the plain build failed"; exit 1; }
GAME_DIR=$BUILD/run
GAME=$GAME_DIR/halvanne

# A run without a failure counts the allocations of start-up (up to the first
# frame shown) and of 600 frames.
FRAMES=600
RUN_LIMIT=600
started=$(date +%s)
one_run reference 0 nth $FRAMES
# A run may take three times the reference's time (four run at once on a
# busy machine; SDL 2's frames cost more), and at least a minute.
RUN_LIMIT=$(($(date +%s) - started))
RUN_LIMIT=$((RUN_LIMIT * 3 > 60 ? RUN_LIMIT * 3 : 60))
startup=$(awk '$1 == "startup" { print $2 }' "$WORK/reference.log")
frames_end=$(awk '$1 == "quit" { print $2 }' "$WORK/reference.log")
if [ "$(cat "$WORK/reference.rc")" != 0 ] || [ -z "$startup" ] || [ -z "$frames_end" ]; then
    cat "$WORK/reference.err" "$WORK/reference.log"
    echo "FAIL: the game without failures did not play $FRAMES frames"
    exit 1
fi

if [ "$MODE" = full ]; then
    stride=1 frame_points=40 from_points=20
else
    # About 80 runs of start-up, however many allocations SDL takes there
    # (SDL 2 beneath sdl12-compat takes over three times the classic's).
    stride=$((startup / 80 > 9 ? startup / 80 : 9)) frame_points=8 from_points=5
fi
{
    for ((n = 1; n <= startup; n += stride)); do echo "startup-$n $n nth 5"; done
    for ((k = 0; k < frame_points; ++k)); do
        n=$((startup + (2 * k + 1) * (frames_end - startup) / (2 * frame_points)))
        echo "frames-$n $n nth $FRAMES"
    done
    for ((k = 0; k < from_points; ++k)); do
        n=$((1 + k * frames_end / from_points))
        echo "from-$n $n from $FRAMES"
    done
} >"$WORK/plan"
# Runs mostly wait on SDL's timers: four at a time keep two cores busy. The
# shell's own word on a run that a signal ended goes nowhere.
export -f one_run
export GAME_DIR SHIM WORK RUN_LIMIT
xargs -P 4 -L 1 bash -c 'one_run "$@" 2>/dev/null' one_run <"$WORK/plan"

# The function of ours and its line at an offset into the program (the
# outermost of the functions inlined there).
in_game() {
    [ -n "$1" ] || { echo "no frame of ours"; return; }
    addr2line -f -C -i -e "$GAME" "${1#+}" 2>/dev/null | tail -n 2 | paste -sd ' ' |
        sed -e "s|$ROOT/||" -e 's/ (discriminator [0-9]*)//' -e 's/([^()]*)//'
}

# One word for how a run ended, then what tells more.
classify() {
    local id=$1 quit=$2 rc log err ours refusals
    rc=$(cat "$WORK/$id.rc")
    log=$WORK/$id.log
    err=$WORK/$id.err
    ours=$(grep -c '^halvanne:' "$err")
    refusals=$(grep '^halvanne:' "$err" | grep -vc 'without it)$')
    case $rc in
    0)
        if [ "$(awk '$1 == "allocations" { print $4 }' "$log")" -gt "$quit" ] 2>/dev/null; then
            echo clean
        else
            echo "FAIL stopped before frame $quit"
        fi
        ;;
    1)
        if grep -q '^startup\|^signal\|^exit' "$log"; then
            echo "FAIL exit 1 after start-up"
        elif [ "$ours" = 0 ]; then
            echo silent
        elif [ "$refusals" = 1 ] && grep '^halvanne:' "$err" | tail -n 1 | grep -vq 'without it)$'; then
            echo "refused $(grep '^halvanne:' "$err" | tail -n 1)"
        else
            echo "FAIL exit 1 with $ours lines of ours"
        fi
        ;;
    124 | 137) echo "FAIL hang" ;;
    134) echo "FAIL abort ($(sed -n 's/^ *what(): *//p' "$err" | head -n 1))" \
        "in $(in_game "$(awk '$1 == "called" { print $4 }' "$log")")" ;;
    *)
        local exit_line signal_line caller
        exit_line=$(grep -m 1 '^exit ' "$log")
        signal_line=$(grep -m 1 '^signal ' "$log")
        caller=$(awk '$1 == "called" { print $4 }' "$log")
        if [ -n "$exit_line" ] && [ "$rc" -lt 128 ]; then
            case $exit_line in
            *" from halvanne "*) echo "FAIL $exit_line" ;;
            *) echo "library-exit $rc from $(basename "$(awk '{ print $4 }' <<<"$exit_line")")" ;;
            esac
        elif [ -n "$signal_line" ]; then
            case $signal_line in
            *" at halvanne "*) echo "FAIL signal in our code: $signal_line" \
                "($(in_game "$(awk '{ print $7 }' <<<"$signal_line")"))" ;;
            *) echo "library-signal $((rc - 128)) in $(basename "$(awk '{ print $6 }' <<<"$signal_line")")," \
                "called from $(in_game "$caller")" ;;
            esac
        else
            echo "FAIL exit code $rc"
        fi
        ;;
    esac
}

failed=0
: >"$WORK/outcomes"
while read -r id n mode quit; do
    outcome=$(classify "$id" "$quit")
    echo "${id%%-*} $outcome" >>"$WORK/outcomes"
    case $outcome in
    library*) echo "reported: $id (allocation $n, $mode): $outcome" ;;
    FAIL*)
        failed=$((failed + 1))
        echo "$id (allocation $n, $mode): $outcome"
        sed 's/^/  log: /' "$WORK/$id.log"
        tail -n 5 "$WORK/$id.err" | sed 's/^/  stderr: /'
        ;;
    esac
done <"$WORK/plan"

echo "allocations of the main thread: $startup in start-up, $((frames_end - startup)) in $FRAMES frames;" \
    "$(wc -l <"$WORK/plan") runs, $(($(date +%s) - start)) s"
# The count of each outcome, for bench/alloc_sweep.sh.
[ -z "${SWEEP_OUTCOMES:-}" ] || cp "$WORK/outcomes" "$SWEEP_OUTCOMES"
if [ "$failed" -gt 0 ]; then
    echo "FAIL: $failed runs ended in an abort, a signal in our code, a hang or an unexpected exit"
    exit 1
fi
echo "allocation-failure sweep passed"
