#!/usr/bin/env bash
# Builds Tarvo and every test program, then runs all tests under Wine.
# Arguments are passed to ctest (for example -R Link). TARVO_BUILD_DIR picks
# another build tree (each tree has its own Wine prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVO_BUILD_DIR:-$root/build/mingw}

"$root/scripts/setup-machine.sh"
cmake --preset mingw -B "$build" >/dev/null
cmake --build "$build"

. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build"
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@"
