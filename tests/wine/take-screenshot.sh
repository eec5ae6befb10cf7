#!/usr/bin/env bash
# Opens OVPatch.exe on the sample tree (through ovdriver) and saves a PNG of its main dialog.
# Runs inside run-with-display.sh, which provides DISPLAY, the prefix and OVPATCH_EXE.
#
#   take-screenshot.sh WINE_RUN OVDRIVER_EXE OUT_PNG
set -euo pipefail
wine_run=$1 driver=$2 out=$3

coproc DRIVER { "$wine_run" "$driver" show "$OVPATCH_EXE"; }
driver_pid=$DRIVER_PID
to_driver=${DRIVER[1]}
from_driver=${DRIVER[0]}
if ! read -r -t 120 word left top right bottom <&"$from_driver" || [ "$word" != ready ]; then
  echo "the dialog did not open" >&2
  kill "$driver_pid" 2>/dev/null || true
  exit 1
fi
bottom=${bottom%$'\r'}  # the driver's text output ends its lines with CR LF
rm -f "$out"
import -display "$DISPLAY" -window root -crop "$((right - left))x$((bottom - top))+${left}+${top}" +repage "$out"
echo close >&"$to_driver"
wait "$driver_pid"
[ -s "$out" ] && echo "screenshot: $out"
