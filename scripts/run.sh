#!/usr/bin/env bash
# Builds Tarvo and shows its settings window under Wine: on your display when
# $DISPLAY is set and reachable, otherwise on a virtual display of its own.
# Saves a screenshot of the window and says where (TARVO_SCREENSHOT overrides
# the place). On your display the script waits until you close the window; on
# a virtual one it closes the window itself after the screenshot.
# TARVO_PRESET=mingw64 runs the 64-bit build instead of the 32-bit one;
# TARVO_DPI sets the prefix's display scale (96 = 100 %, 144 = 150 %; default 96);
# TARVO_BUILD_DIR picks another folder for the build trees (each tree has its
# own Wine prefix). TARVO_LOCALE=en_US (or ko_KR) shows the window as a user of
# that display language sees it, in a prefix of that locale.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${TARVO_PRESET:-mingw}
build=${TARVO_BUILD_DIR:-$root/build}/$preset
shot=${TARVO_SCREENSHOT:-$build/settings-window.png}

"$root/scripts/setup-machine.sh"
cmake --preset "$preset" -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target tarvo

. "$root/scripts/wine-session.sh"
wine_session_env "$build" "${TARVO_LOCALE:-}"
trap wine_session_stop EXIT
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  virtual=
  echo "Showing Tarvo on your display $DISPLAY."
else
  virtual=1
  wine_session_start_display
  echo "No reachable display: showing Tarvo on the virtual display $DISPLAY."
fi
wine_session_make_prefix
wine_session_set_dpi "${TARVO_DPI:-96}"

log=$build/tarvo-run.log
wine "$build/app/tarvo.exe" >"$log" 2>&1 </dev/null &
tarvo=$!

# The caption is "Tarvo" and an ideographic space; X reports it in UTF-8.
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tarvo　$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "The settings window did not appear; Wine's output is in $log." >&2
  exit 1
fi
# Mapped is not yet painted: give the first paint a moment.
sleep 1
mkdir -p "$(dirname "$shot")"
import -window "$window" "$shot"
echo "Screenshot of the settings window: $shot"

if [ -n "$virtual" ]; then
  xdotool key --window "$window" Escape 2>/dev/null || true
else
  echo "Close the window (OK, Cancel, Esc or its close box) to end."
fi
wait "$tarvo" || true
