#!/usr/bin/env bash
# Processor time of OVPatch.exe during an install of COUNT small files under Wine, against the
# wall time of the install's pauses (100 ms before it, 50 ms before each copy): while it waits,
# the processor should stay mostly idle. The time is read from the host (/proc) for the Wine
# process of the program, all its threads, user plus system time.
#
#   bash bench/ovpatch_exe_cpu.sh [WINDOWS_BUILD_DIR] [COUNT]     (defaults: build/windows64, 100)
#
# Needs a Windows preset built (targets OVPatch and ovdriver): windows64 runs on every x86-64
# machine, windows only where 32-bit programs run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows64}" && pwd)
arch=$(sed -n 's/^OVPATCH_WINE_ARCH:[A-Z]*=//p' "$build/CMakeCache.txt")
count=${2:-100}
exe=$build/app/OVPatch.exe
driver=$build/tests/wine/ovdriver.exe
for f in "$exe" "$driver"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
done

measure() {
  local wine_run=$1 driver=$2 count=$3
  coproc DRIVER { "$wine_run" "$driver" bench "$OVPATCH_EXE" "$count"; }
  local driver_pid=$DRIVER_PID to=${DRIVER[1]} from=${DRIVER[0]}
  local word path
  read -r -t 120 word path <&"$from" || { echo "the dialog did not open" >&2; return 1; }
  path=${path%$'\r'}
  # The host process whose command line is the program's unique path in the sample tree.
  local pid="" p
  for p in /proc/[0-9]*; do
    if tr '\0' ' ' <"$p/cmdline" 2>/dev/null | grep -qF "$path"; then pid=${p#/proc/}; break; fi
  done
  [ -n "$pid" ] || { echo "cannot find the process of $path" >&2; kill "$driver_pid"; return 1; }
  ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$pid/stat"; }
  local before after hz
  hz=$(getconf CLK_TCK)
  before=$(ticks)
  echo go >&"$to"
  local n wall pauses
  read -r -t 600 word n wall pauses <&"$from" || { echo "the install did not finish" >&2; return 1; }
  after=$(ticks)
  pauses=${pauses%$'\r'}
  echo close >&"$to"
  wait "$driver_pid"
  awk -v n="$n" -v w="$wall" -v p="$pauses" -v t="$((after - before))" -v hz="$hz" 'BEGIN {
    cpu = t / hz
    printf "install of %d files: wall %.2f s, pauses %.2f s, OVPatch.exe processor time %.2f s\n", n, w, p, cpu
    printf "processor time / pause time: %.3f (%.1f%%)\n", cpu / p, 100 * cpu / p
  }'
}
export -f measure
bash "$root/tests/wine/run-with-display.sh" "$arch" "$build" "$exe" \
  bash -c 'measure "$@"' _ "$root/cmake/wine.sh" "$driver" "$count"
