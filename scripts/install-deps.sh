#!/usr/bin/env bash
# Installs the build and test tools a fresh Debian machine lacks; skips what is already there.
# 32-bit Wine only where this machine can run 32-bit programs: elsewhere it could never start.
set -euo pipefail
cd "$(dirname "$0")/.."

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
updated=""
install() {
  local need=() p
  for p in "$@"; do have "$p" || need+=("$p"); done
  [ ${#need[@]} -eq 0 ] && return 0
  [ -n "$updated" ] || { $SUDO apt-get update -qq; updated=1; }
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
}

install cmake make g++ binutils googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
  wine wine64 xvfb x11-apps imagemagick
if bash scripts/can-run-32bit.sh 2>/dev/null && ! have wine32:i386; then
  dpkg --print-foreign-architectures | grep -qx i386 || { $SUDO dpkg --add-architecture i386; updated=""; }
  install wine32:i386
fi
