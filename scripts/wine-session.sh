# Sourced by the test and run commands: one virtual display, one Wine prefix per
# build tree and one persistent wineserver for the whole run, stopped at its end.

# Settings every Wine process of a run shares. Code page 932 comes from the
# generated ja_JP.UTF-8 locale (LC_ALL would break Wine's file name conversion);
# a second argument names another locale (en_US: 1252, ko_KR: 949), which gets a
# prefix of its own. The 64-bit build (a tree named mingw64) runs in a 64-bit prefix.
wine_session_env() {
  local locale=${2:-ja_JP}
  export WINEPREFIX="$1/wineprefix"
  [ "$locale" = ja_JP ] || WINEPREFIX+="-$locale"
  case "$(basename "$1")" in
    *64) export WINEARCH=win64 ;;
    *) export WINEARCH=win32 ;;
  esac
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=$locale.UTF-8
  unset LC_ALL
}

# Starts Xvfb on the first free display number from 90 on; sets DISPLAY. A number
# taken outside this file system (an Xvfb of another root still holds the abstract
# socket) shows only as an Xvfb that ends at once: the next number is tried.
wine_session_start_display() {
  local n i
  for n in $(seq 90 140); do
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      kill -0 "$WINE_SESSION_XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
  done
  echo "Xvfb did not start" >&2
  return 1
}

# Makes the prefix once per build tree: 32-bit, no window manager handling (a
# managed window stalls about 2 s when it is destroyed), fonts for the caption
# buttons, a Japanese face for "MS UI Gothic", and no debugger for a crash: the
# automatic winedbg would hold a crashed test open until its timeout.
wine_session_make_prefix() {
  [ -f "$WINEPREFIX/.tarvo-ready-2" ] && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d 'VL PGothic' /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d false /f >/dev/null 2>&1
  cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf \
     "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
  touch "$WINEPREFIX/.tarvo-ready-2"
}

# The display scale every program of the prefix gets: HKCU\Control Panel\Desktop
# LogPixels, read when the wineserver starts. Set anew only when it differs, since
# the server must then end first.
wine_session_set_dpi() {
  local hex
  hex=$(awk '/^\[/ { desk = ($0 ~ /^\[Control Panel\\\\Desktop\]/) }
             desk && /^"LogPixels"=dword:/ { sub(/.*:/, ""); print }' "$WINEPREFIX/user.reg")
  [ "$(( 16#${hex:-60} ))" = "$1" ] && return 0
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}

# A third argument sets the display scale in DPI (default 96).
wine_session_start() {
  wine_session_env "$1" "${2:-}"
  wine_session_start_display
  wine_session_make_prefix
  wine_session_set_dpi "${3:-96}"
  # A persistent server saves the 2 s shut-down after every program.
  wineserver -p
  # Start Wine's own background processes now, detached from any pipe: started by
  # the first test instead, they would hold its output open and stall ctest.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_XVFB_PID:-}" ]; then
    kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
    WINE_SESSION_XVFB_PID=
  fi
}
