#!/usr/bin/env bash
# Runs a Windows program under 32-bit Wine in the prefix of the build folder it lives in.
# scripts/test-all.sh prepares the prefix once; when it is missing (ctest run on its own), the
# first caller makes it while parallel callers wait (wine-prefix.sh).
set -e
exe=$1; shift
build=$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
export WINEPREFIX=${OVPATCH_WINEPREFIX:-$build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts: the programs here need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
exec wine "$exe" "$@"
