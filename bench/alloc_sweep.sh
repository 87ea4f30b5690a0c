#!/usr/bin/env bash
# The full allocation-failure sweep: every allocation of start-up, 40 over 600
# frames and 20 points from which every allocation fails, each failed in turn
# in a plain build of the game; prints the count of each outcome and the time.
# After ./test.sh: bench/alloc_sweep.sh [the test build, build/test by default]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(realpath "${1:-$ROOT/build/test}")
outcomes=$(mktemp)
trap 'rm -f "$outcomes"' EXIT
status=0
SWEEP_OUTCOMES=$outcomes bash "$ROOT/tests/alloc/sweep.sh" full "$BUILD/tools/libfailalloc.so" \
    "$BUILD/run" || status=$?
# Each phase's outcomes, the files of refusals left out of their reasons.
for phase in startup frames from; do
    echo "$phase:"
    awk -v phase="$phase" '$1 == phase { $1 = ""; sub(/^ /, ""); word = $1
            detail = (word == "clean" || word == "silent") ? word : $0
            if (word == "refused") { detail = $0; gsub(/"[^"]*"/, "FILE", detail) }
            count[detail]++ }
        END { for (d in count) printf "  %5d  %s\n", count[d], d }' "$outcomes" | sort -k1,1nr
done
exit "$status"
