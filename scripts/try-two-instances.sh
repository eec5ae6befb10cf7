#!/usr/bin/env bash
# Starts two instances of the command line together on a fresh copy of the sample (demo/), again
# and again, and counts how each try ended: one refused and the other done, both done one after
# the other, or wrong (the exclusion area not exactly once, a backup not the original, any other
# exit status).
#
#   scripts/try-two-instances.sh [--tries N] apply|apply-remove FIRST SECOND
#
#   apply          two "apply" from the removed state
#   apply-remove   "apply" against "remove" from the installed state
#   FIRST, SECOND  linux (build/release or build/native ovpatch-cli, or $OVPATCH_LINUX_CLI) or
#                  windows (the windows64 build's ovpatch-cli.exe, or $OVPATCH_WINDOWS_CLI, under
#                  64-bit Wine)
#
# Both work on one scratch Wine prefix under build/two-instances/ (FS2004 folder C:\FS2004, patch
# folder C:\patch); the Windows program runs there with a Wine server kept up for the tries.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

tries=20
if [ "${1:-}" = --tries ]; then tries=$2; shift 2; fi
[ $# -eq 3 ] || { sed -n '6,13p' "$0" >&2; exit 2; }
mode=$1 first=$2 second=$3
case $mode in apply | apply-remove) ;; *) echo "unknown mode $mode" >&2; exit 2 ;; esac

linux_cli=${OVPATCH_LINUX_CLI:-}
[ -n "$linux_cli" ] || for c in build/release/app/ovpatch-cli build/native/app/ovpatch-cli; do
  [ -x "$c" ] && { linux_cli=$repo/$c; break; }
done
windows_cli=${OVPATCH_WINDOWS_CLI:-$repo/build/windows64/app/ovpatch-cli.exe}

run="$repo/build/two-instances"
prefix="$run/wineprefix"
mkdir -p "$run"
# shellcheck source=../cmake/wine.sh
. cmake/wine.sh win64
export WINEPREFIX="$prefix"
needs_wine=no
for who in "$first" "$second"; do
  case $who in
    linux) [ -n "$linux_cli" ] || { echo "build ovpatch-cli (release or native preset) first" >&2; exit 1; } ;;
    windows) [ -f "$windows_cli" ] || { echo "build the windows64 preset first" >&2; exit 1; }
             needs_wine=yes ;;
    *) echo "FIRST and SECOND are linux or windows, not $who" >&2; exit 2 ;;
  esac
done
if [ $needs_wine = yes ]; then
  wine_make_prefix
  "$WINESERVER" -p   # kept up between the tries, so that a start costs the same every time
  trap '"$WINESERVER" -k || true' EXIT
else
  mkdir -p "$prefix/dosdevices" "$prefix/drive_c"
  [ -e "$prefix/dosdevices/c:" ] || ln -s ../drive_c "$prefix/dosdevices/c:"
fi
fs="$prefix/drive_c/FS2004"
patch="$prefix/drive_c/patch"

# cli WHO OUT ERR ARGS...: one run in the patch folder; its exit status.
cli() {
  local who=$1 out=$2 err=$3
  shift 3
  case $who in
    linux) "$linux_cli" --patch-dir 'C:\patch' "$@" >"$out" 2>"$err" ;;
    windows) "$WINELOADER" "$windows_cli" --patch-dir 'C:\patch' "$@" >"$out" 2>"$err" ;;
  esac
}

original_airport="demo/fs2004/Addon Scenery/QuillbyBay/scenery/QB_AIRP.bgl"
original_objects="demo/fs2004/Addon Scenery/QuillbyBay/scenery/QB_OBJ.XXX"
refused=0 serial=0 wrong=0
for ((try = 1; try <= tries; try++)); do
  rm -rf "$fs" "$patch"
  cp -R demo/fs2004 "$fs"
  cp -R demo/patch "$patch"
  cli linux /dev/null /dev/null --fs-path 'C:\FS2004' status || true
  [ "$mode" = apply-remove ] && { cli linux /dev/null "$run/setup.err" apply || true; }
  command2=apply
  [ "$mode" = apply-remove ] && command2=remove

  cli "$first" "$run/1.out" "$run/1.err" apply & pid1=$!
  cli "$second" "$run/2.out" "$run/2.err" "$command2" & pid2=$!
  status1=0 status2=0
  wait $pid1 || status1=$?
  wait $pid2 || status2=$?

  areas=$(grep -c 'Title=Orvane - Exclude Files For Addon Patches' "$fs/SCENERY.CFG" || true)
  backups=original
  cmp -s "$patch/QB_AIRP_ORIG.BGL" "$original_airport" || backups=changed
  cmp -s "$patch/QB_OBJ_ORIG.BGL" "$original_objects" || backups=changed
  refusals=$(cat "$run/1.err" "$run/2.err" | grep -c 'Another install or removal is running' || true)
  verdict=wrong
  if [ "$areas" = 1 ] && [ $backups = original ]; then
    if [ $refusals = 1 ] && [ $((status1 + status2)) = 1 ]; then
      verdict=refused; refused=$((refused + 1))
    elif [ $refusals = 0 ] && [ $status1 = 0 ] && [ $status2 = 0 ]; then
      verdict=serial; serial=$((serial + 1))
    fi
  fi
  [ $verdict = wrong ] && wrong=$((wrong + 1))
  printf 'try %2d: exit %d/%d, areas %s, backups %s, refusals %s: %s\n' \
    "$try" "$status1" "$status2" "$areas" "$backups" "$refusals" "$verdict"
done
echo "$mode, $first against $second, $tries tries: $refused one refused, $serial one after" \
     "the other, $wrong wrong"
[ $wrong = 0 ]
