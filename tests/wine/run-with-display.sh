#!/usr/bin/env bash
# Runs COMMAND on a private virtual X display, with a private Wine prefix for the window tests
# (made once under the build folder), and cleans up after itself: the X server it started is
# always stopped, and the prefix's Wine processes (all started from here) are ended.
#
#   run-with-display.sh win32|win64 BUILD_DIR OVPATCH_EXE COMMAND [ARGS...]
#
# OVPATCH_EXE is handed to COMMAND as the Windows path in the environment variable OVPATCH_EXE.
# COMMAND runs Windows programs with cmake/wine.sh, which picks up the word size and the prefix.
set -euo pipefail
arch=$1 build=$2 exe=$3
shift 3

. "$(dirname "${BASH_SOURCE[0]}")/../../cmake/wine.sh" "$arch"
export WINEPREFIX="$build/tests/wine/display-prefix"
export OVPATCH_WINEPREFIX="$WINEPREFIX" OVPATCH_WINE_ARCH="$arch"

xvfb_pid=""
displayfile=$(mktemp)
cleanup() {
  local status=$?
  # Our Wine processes first (they hold the display), then the X server.
  timeout 20 "$WINESERVER" -w 2>/dev/null || "$WINESERVER" -k 2>/dev/null || true
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

wine_make_prefix
# Asked a few times: right after the prefix is made, while its first server goes down, the call
# can fail; a failure that stays is said, not left to end the script without a word.
OVPATCH_EXE=""
for _ in 1 2 3 4 5; do
  OVPATCH_EXE=$("$WINELOADER" winepath -w "$exe" 2>/dev/null) && [ -n "$OVPATCH_EXE" ] && break
  OVPATCH_EXE=""
  sleep 1
done
[ -n "$OVPATCH_EXE" ] || { echo "winepath gave no Windows path for $exe" >&2; exit 1; }
export OVPATCH_EXE
"$@"
