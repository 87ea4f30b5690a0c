#!/usr/bin/env bash
# Installs what is missing (apt-get), builds the game and starts it in the
# directory that holds its pictures, sounds and font, through the same
# launcher as the installed game.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh play
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHALVANNE_TESTS=OFF >/dev/null
cmake --build build/release -j2
if [ -z "${DISPLAY:-}" ]; then
    echo "halvanne: no display to open the window on (DISPLAY is not set); start it from a desktop session"
    exit 1
fi
exec build/release/launch-halvanne "$@"
