#!/usr/bin/env bash
# Benchmark (not a test, not run by CI): times Tarvo under Wine against floor
# programs that do only the unavoidable work, interleaved in one warm Wine
# session, and prints median, min and max of each, the ratios of medians and
# the median of the rounds' own ratios (each pairs two runs made moments apart).
#   verb run:  tarvo.exe "<shortcut>" "0"  against bench/floor_verb.cpp
#   window:    tarvo.exe (settings window) against bench/hand_window.cpp, the
#              same window written by hand in plain Win32 with the same manifest
#              and imports, and bench/floor_window.cpp, one bare window
# BENCH_RUNS sets the number of pairs (default 41); TARVO_BUILD_DIR another
# folder for the build trees (default build); the 32-bit build is measured.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVO_BUILD_DIR:-$root/build}/mingw
runs=${BENCH_RUNS:-41}

"$root/scripts/setup-machine.sh"
# The release exe of the preset and the bench programs only; the tests are not needed.
cmake --preset mingw -S "$root" -B "$build" >/dev/null
nice cmake --build "$build" --target tarvo bench

. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$build"

launcher=$build/bench/bench_launcher.exe
echo "== verb run"
wine "$launcher" verb "$runs" tarvo.exe floor_verb.exe </dev/null
echo "== settings window"
wine "$launcher" window "$runs" tarvo.exe hand_window.exe floor_window.exe </dev/null
