#!/usr/bin/env bash
# Builds Tarvo and every test program for 32-bit and 64-bit Windows, then runs
# all tests of each build under Wine, in a prefix of its own kind.
# Arguments are passed to ctest (for example -R e2e); a run without them, all
# tests, records the hash of each tarvo.exe it tested (tested-tarvo.sha256 in
# the build tree), which the release check asks for. TARVO_BUILD_DIR picks
# another folder for the build trees; TARVO_PRESETS="mingw" (or "mingw64")
# builds and tests one of the two only.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${TARVO_BUILD_DIR:-$root/build}
presets=${TARVO_PRESETS:-mingw mingw64}

"$root/scripts/setup-machine.sh"
for preset in $presets; do
  cmake --preset "$preset" -S "$root" -B "$builds/$preset" >/dev/null
  cmake --build "$builds/$preset"
done

. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT

# One pass over the build: the tests that the label filter $1 and the arguments
# select, in a session of locale $2 (default ja_JP) at display scale $3 (default
# 96 DPI). A pass that selects no test is skipped; a run that ran none fails.
pass() {
  local labels=$1 locale=$2 dpi=$3
  shift 3
  ctest --test-dir "$builds/$preset" -N $labels "$@" | grep -q 'Total Tests: [1-9]' || return 0
  wine_session_start "$builds/$preset" "$locale" "$dpi"
  ctest --test-dir "$builds/$preset" --output-on-failure --timeout 300 --no-tests=error $labels "$@"
  wine_session_stop
  ran=$((ran + 1))
}

for preset in $presets; do
  echo "== Tests of the $preset build"
  start=$(date +%s)
  exe=$builds/$preset/app/tarvo.exe
  tested=$builds/$preset/tested-tarvo.sha256
  rm -f "$tested"
  hash=$(sha256sum "$exe" | cut -d' ' -f1)
  ran=0
  pass "-LE other_locales|other_dpi" "" "" "$@"
  # The settings window once more at 125 %, 150 % and 200 % display scale.
  for dpi in 120 144 192; do
    pass "-L other_dpi" "" "$dpi" "$@"
  done
  # The texts once more where the system's code page is 1252 and 949.
  for locale in en_US ko_KR; do
    pass "-L other_locales" "$locale" "" "$@"
  done
  if [ "$ran" -eq 0 ]; then
    echo "No test of the $preset build matches: $*" >&2
    exit 1
  fi
  # The release ships only the very file that every test ran on.
  if [ "$(sha256sum "$exe" | cut -d' ' -f1)" != "$hash" ]; then
    echo "$exe changed while its tests ran" >&2
    exit 1
  fi
  [ $# -gt 0 ] || echo "$hash" >"$tested"
  echo "== $preset: tests took $(( $(date +%s) - start )) s"
done
