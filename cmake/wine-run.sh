#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the prefix of the build folder it lives in.
# scripts/test-all.sh prepares the prefix once (wineboot); when it is missing (ctest run on its
# own), the first caller makes it under a lock while parallel callers wait.
set -e
exe=$1; shift
build=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${OVPATCH_WINEPREFIX:-$build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts: the programs here need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$exe" "$@"
