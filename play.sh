#!/usr/bin/env bash
# Installs what is missing (apt-get), builds the game and starts it in the
# directory that holds its pictures, sounds and font.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh play
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHALVANNE_TESTS=OFF >/dev/null
cmake --build build/release -j2
if [ -z "${DISPLAY:-}" ]; then
    echo "halvanne: no display to open the window on (DISPLAY is not set); start it from a desktop session"
    exit 1
fi
cd build/release/run
status=0
./halvanne || status=$?
if [ "$status" -eq 1 ]; then
    echo "halvanne: could not open the window or the sound device (or a media file is missing)"
fi
exit "$status"
