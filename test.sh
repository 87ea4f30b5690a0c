#!/usr/bin/env bash
# Installs what is missing (apt-get), builds the game and its tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVANNE_SANITIZE=ON >/dev/null
cmake --build build/test -j2
cd build/test
ctest --output-on-failure -j2
