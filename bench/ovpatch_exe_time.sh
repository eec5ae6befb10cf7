#!/usr/bin/env bash
# Install and removal by the real OVPatch.exe under Wine of the large patch of
# bench_install_removal_time (N backups and N installs, then N restores, of 64 KiB files into a
# scenery folder of M files), with the program's pauses subtracted, as a ratio to the same copies
# made by a plain copy loop (native, each copy put on the disk as the program's are, best of 3).
#
#   bash bench/ovpatch_exe_time.sh [M] [N] [WINDOWS_BUILD_DIR] [RELEASE_BUILD_DIR]
#       defaults: 2000, 2000, build/windows64 (targets OVPatch and ovdriver),
#       build/release (target bench_install_removal_time)
#
# The pauses (100 ms before an operation, 50 ms before each copy) are counted from the copies in
# OVPATCH.LOG and subtracted twice: at their set length, and at the length a 50 ms pause really
# takes under this Wine (timed by the driver before the run). A run at N = 2000 pauses for about
# five minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder_files=${1:-2000}
patched_files=${2:-2000}
build=$(cd "${3:-$root/build/windows64}" && pwd)
release=$(cd "${4:-$root/build/release}" && pwd)
arch=$(sed -n 's/^OVPATCH_WINE_ARCH:[A-Z]*=//p' "$build/CMakeCache.txt")
exe=$build/app/OVPatch.exe
driver=$build/tests/wine/ovdriver.exe
generator=$release/bench/bench_install_removal_time
for f in "$exe" "$driver" "$generator"; do
  [ -f "$f" ] || { echo "missing $f: build the windows64 and release presets first" >&2; exit 1; }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/ovpatch-exe-time.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# The plain copies first, on a tree of their own; then the tree for the program.
read -r word plain_apply plain_remove < <("$generator" --plain "$scratch/plain" "$folder_files" "$patched_files")
[ "$word" = plain ] || { echo "no plain copy times" >&2; exit 1; }
"$generator" --generate "$scratch/exe" "$folder_files" "$patched_files"

# Under Wine: OVPATCH.INI names the FS2004 folder by its Windows path, then the driver runs.
run_exe() {
  local wine_run=$1 driver=$2 tree=$3 fs patch
  fs=$("$WINELOADER" winepath -w "$tree/FS2004" 2>/dev/null)
  patch=$("$WINELOADER" winepath -w "$tree/patch" 2>/dev/null)
  printf '[Settings]\r\nFs2004=%s\r\n' "$fs" >"$tree/patch/OVPATCH.INI"
  "$wine_run" "$driver" time "$OVPATCH_EXE" "$patch"
}
export -f run_exe
bash "$root/tests/wine/run-with-display.sh" "$arch" "$build" "$exe" \
  bash -c 'run_exe "$@"' _ "$root/cmake/wine.sh" "$driver" "$scratch/exe" | tr -d '\r' >"$scratch/driver.out"
pause=$(sed -n 's/^pause //p' "$scratch/driver.out")
installed=$(sed -n 's/^installed //p' "$scratch/driver.out")
removed=$(sed -n 's/^removed //p' "$scratch/driver.out")
[ -n "$removed" ] || { cat "$scratch/driver.out" >&2; echo "the driver did not finish" >&2; exit 1; }

# Each copy's log line starts with the status shown during the pause before it.
log=$scratch/exe/patch/OVPATCH.LOG
apply_copies=$(grep -cE '^[0-9-]+ [0-9:]+ (Backing up|Installing) file [0-9]+: ' "$log" || true)
remove_copies=$(grep -cE '^[0-9-]+ [0-9:]+ Restoring file [0-9]+: ' "$log" || true)

awk -v m="$folder_files" -v n="$patched_files" -v pause="$pause" \
    -v inst="$installed" -v rem="$removed" -v ca="$apply_copies" -v cr="$remove_copies" \
    -v pa="$plain_apply" -v pr="$plain_remove" 'BEGIN {
  over = pause - 0.050
  printf "OVPatch.exe under Wine, %d backups + %d installs, then %d restores, of 64 KiB files; folder of %d files\n", n, n, n, m
  printf "a 50 ms pause takes %.1f ms under this Wine\n", 1000 * pause
  printf "%-7s %6s %8s %8s | %-26s | %-26s\n", "", "copies", "wall s", "plain s", \
         "  pauses at set length", "  pauses at real length"
  printf "%-7s %6s %8s %8s | %8s %8s %8s | %8s %8s %8s\n", "", "", "", "", \
         "pauses s", "rest s", "ratio", "pauses s", "rest s", "ratio"
  row("apply", ca, inst, pa)
  row("remove", cr, rem, pr)
  print "rest: wall time minus pauses; ratio: rest as a multiple of the plain copies (native, each"
  print "copy put on the disk, best of 3); real length: a 50 ms pause as timed under this Wine"
}
function row(name, copies, wall, plain,   set, real) {
  set = 0.100 + copies * 0.050
  real = set + (copies + 1) * over
  printf "%-7s %6d %8.2f %8.3f | %8.2f %8.2f %7.2fx | %8.2f %8.2f %7.2fx\n", name, copies, wall, plain,
         set, wall - set, (wall - set) / plain, real, wall - real, (wall - real) / plain
}'
