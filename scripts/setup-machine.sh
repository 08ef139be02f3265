#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to cross-build Tarvo and to run
# its tests under Wine. Idempotent: a machine that has everything is left alone.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  NEED_UPDATE=1
fi

for p in cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686 \
         g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
         wine wine32:i386 wine64 fonts-wine fonts-vlgothic \
         xvfb xauth xdotool imagemagick locales googletest python3 zip unzip git; do
  have "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
elif [ -n "${NEED_UPDATE:-}" ]; then
  apt-get update -qq
fi

# Without the generated locale LANG=ja_JP.UTF-8 gives Wine the ANSI code page 1252.
# The English and Korean ones give 1252 and 949, where the tests check the texts again.
for name in ja_JP en_US ko_KR; do
  if ! locale -a 2>/dev/null | grep -qix "$name.utf8"; then
    localedef -i "$name" -f UTF-8 "$name.UTF-8"
  fi
done
