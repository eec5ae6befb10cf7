#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the prefix of the build folder it lives in.
# The prefix is made once by scripts/test-all.sh (wineboot); this only reuses it.
set -e
exe=$1; shift
build=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${OVPATCH_WINEPREFIX:-$build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$exe" "$@"
