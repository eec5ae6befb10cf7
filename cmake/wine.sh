#!/usr/bin/env bash
# The project's one Wine set-up: the loader and server for a Windows build's word size, the
# environment, and the prefix, made once under a lock.
#
#   wine.sh [win32|win64] PROGRAM [ARGS...]
#       Runs a Windows program (the test emulator). The prefix is $OVPATCH_WINEPREFIX, else
#       wineprefix/ in the build folder that holds PROGRAM; it is made on first use. Without a
#       word size, $OVPATCH_WINE_ARCH is used.
#   . wine.sh win32|win64
#       Exports WINEARCH, WINELOADER, WINESERVER, WINEDEBUG and WINEDLLOVERRIDES and defines
#       wine_make_prefix (makes $WINEPREFIX when it does not exist yet).
#
# Each build runs under the loader and server of its own word size, called by their own names:
# Debian's `wine` picks the 32-bit loader whenever wine32 is installed, even on a machine that
# cannot run 32-bit programs.

wine_select_arch() {
  case $1 in
    win32) WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 ;;
    win64) WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 ;;
    *) echo "wine.sh: the word size must be win32 or win64, not '$1'" >&2; return 2 ;;
  esac
  export WINEARCH=$1 WINELOADER WINESERVER
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko install prompts: the programs here need neither.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

# Makes $WINEPREFIX once; parallel callers wait for the first instead of booting it twice.
wine_make_prefix() {
  : "${WINEPREFIX:?WINEPREFIX must name the prefix}"
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
      # The window tests run on a virtual display without a window manager: Wine draws the title
      # bars and frames itself. Programs without windows do not care.
      "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
      "$WINESERVER" -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine.sh: could not make $WINEPREFIX" >&2; return 1; }
}

if [ "${BASH_SOURCE[0]}" != "$0" ]; then
  wine_select_arch "${1:-${OVPATCH_WINE_ARCH:-}}"
  return
fi

set -e
case ${1:-} in
  win32|win64) arch=$1; shift ;;
  *) arch=${OVPATCH_WINE_ARCH:-} ;;
esac
wine_select_arch "$arch"
exe=$1; shift
build=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${OVPATCH_WINEPREFIX:-$build/wineprefix}
wine_make_prefix
exec "$WINELOADER" "$exe" "$@"
