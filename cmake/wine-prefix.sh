#!/usr/bin/env bash
# Makes the 32-bit Wine prefix $WINEPREFIX once (wineboot), under a lock so that parallel callers
# wait for the first instead of booting the same prefix twice. Does nothing when it exists.
set -e
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install prompts: the programs here need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
[ -f "$WINEPREFIX/system.reg" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$WINEPREFIX.lock"
[ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix.sh: could not make $WINEPREFIX" >&2; exit 1; }
