#!/usr/bin/env bash
# Runs COMMAND on a private virtual X display, with a private 32-bit Wine prefix for the window
# tests (made once under the build folder), and cleans up after itself: the X server it started
# is always stopped, and the prefix's Wine processes (all started from here) are ended.
#
#   run-with-display.sh BUILD_DIR OVPATCH_EXE COMMAND [ARGS...]
#
# OVPATCH_EXE is handed to COMMAND as the Windows path in the environment variable OVPATCH_EXE.
set -euo pipefail
build=$1 exe=$2
shift 2

export WINEPREFIX="$build/tests/wine/display-prefix"
export OVPATCH_WINEPREFIX="$WINEPREFIX" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

xvfb_pid=""
displayfile=$(mktemp)
cleanup() {
  local status=$?
  # Our Wine processes first (they hold the display), then the X server.
  timeout 20 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -f "$displayfile"
  exit "$status"
}
trap cleanup EXIT

# A free display number: the X server picks one and writes it to the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$displayfile" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[ -s "$displayfile" ] || { echo "Xvfb gave no display number" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"

# One lock per prefix: two of these runs must not make or use the prefix at the same time.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.run.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  # No window manager runs on the virtual display: Wine draws the title bars and frames itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w || true
fi

OVPATCH_EXE=$(winepath -w "$exe" 2>/dev/null)
export OVPATCH_EXE
"$@"
