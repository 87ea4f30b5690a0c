#!/usr/bin/env bash
# The full allocation-failure sweep: every allocation of start-up, 40 over 600
# frames and 20 points from which every allocation fails, each failed in turn
# in a plain build of the game; prints the count of each outcome and the time.
# After ./test.sh: bench/alloc_sweep.sh [the test build, build/test by default]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(realpath "${1:-$ROOT/build/test}")
exec bash "$ROOT/tests/alloc/sweep.sh" full "$BUILD/tools/libfailalloc.so" "$BUILD/run"
