#!/usr/bin/env bash
# Installs the build and test tools a fresh Debian machine lacks; skips what is already there.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in cmake make g++ googletest g++-mingw-w64-i686 xvfb x11-apps imagemagick; do
  have "$p" || need+=("$p")
done
have wine32:i386 || need+=(wine wine32:i386)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
