#!/usr/bin/env bash
# Apply and remove by ovpatch-cli.exe under Wine of the large patch of bench_install_removal_time
# (N backups and N installs, then N restores, of 64 KiB files into a scenery folder of M files),
# next to the same copies made by plain_safe_copies.exe under the same Wine in the same run, at
# M = 2000 and 20000, two ways: "plain" (each copy a new file beside its target, flushed, moved over
# it with write-through) and "direct" (the same, but each backup, a file that does not exist yet,
# written directly and flushed: the cheapest with the same guarantee). A removal is the same on
# both plain sides (each backup back through a file beside its target), timed on each.
# Each is timed as a whole process, started with nothing left to write to the disk; best of
# ROUNDS, the order of the three sides rotating. Prints one table per Windows build: the 64-bit
# one, and the 32-bit one where this machine runs 32-bit programs and it is built.
#
#   bash bench/windows_vs_plain.sh [ROUNDS] [N]
#       defaults: 3, 2000. Needs the windows64 build (targets ovpatch-cli, plain_safe_copies)
#       and the release build (target bench_install_removal_time); `windows` is used when built.
#       BUILD64, BUILD32 and RELEASE name other build folders; TMPDIR another file system.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
patched_files=${2:-2000}
sizes=(2000 20000)
release=${RELEASE:-$root/build/release}
generator=$release/bench/bench_install_removal_time
[ -x "$generator" ] || { echo "missing $generator: build the release preset first" >&2; exit 1; }

builds=("${BUILD64:-$root/build/windows64}")
if bash "$root/scripts/can-run-32bit.sh" 2>/dev/null && [ -d "${BUILD32:-$root/build/windows}" ]; then
  builds+=("${BUILD32:-$root/build/windows}")
else
  echo "32-bit build not timed: this machine cannot run 32-bit programs, or build/windows is missing"
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/ovpatch-windows-vs-plain.XXXXXX")
wineserver_started=""
cleanup() {
  [ -n "$wineserver_started" ] && "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

now() { date +%s.%N; }

# Seconds taken by the command, started after a sync so that no side pays for the other's writes.
timed() {
  local start end
  sync
  start=$(now)
  "$@" >"$scratch/out" 2>&1 || { cat "$scratch/out" >&2; echo "failed: $*" >&2; exit 1; }
  end=$(now)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }'
}

# Backups are never overwritten, so they go before each apply to make it take them again; moved
# aside, not deleted (see bench_install_removal_time).
aside=0
move_backups_aside() {
  aside=$((aside + 1))
  mkdir -p "$scratch/aside/$aside"
  find "$1/patch" -maxdepth 1 -name '*_ORIG.BGL' -exec mv -t "$scratch/aside/$aside" {} +
}

# The first and last patched file hold the replacement after an apply, the original after a removal.
check() {
  local tree=$1 applied=$2 scenery="$1/FS2004/Addon Scenery/QuillbyBay/scenery" last
  last=$(printf 'QB_T%04d' $((patched_files - 1)))
  for name in QB_T0000 "$last"; do
    local stored="$scenery/$name.bgl"
    [ -f "$stored" ] || stored="$scenery/$name.XXX"
    if [ "$applied" = yes ]; then
      cmp -s "$stored" "$tree/patch/$name.BGL" || { echo "$stored not replaced" >&2; exit 1; }
    else
      cmp -s "$stored" "$scratch/originals/$name" || { echo "$stored not restored" >&2; exit 1; }
    fi
  done
}

min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

for build in "${builds[@]}"; do
  build=$(cd "$build" && pwd)
  arch=$(sed -n 's/^OVPATCH_WINE_ARCH:[A-Z]*=//p' "$build/CMakeCache.txt")
  cli=$build/app/ovpatch-cli.exe
  plain=$build/bench/plain_safe_copies.exe
  for f in "$cli" "$plain"; do
    [ -f "$f" ] || { echo "missing $f: build ovpatch-cli and plain_safe_copies in $build" >&2; exit 1; }
  done
  # A prefix of the benchmark's own, whose server stays up for the whole run.
  . "$root/cmake/wine.sh" "$arch"
  export WINEPREFIX=$build/bench-wineprefix
  wine_make_prefix
  "$WINESERVER" -p && wineserver_started=yes
  winpath() { "$WINELOADER" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
  # The Windows path of each tree is asked for once, outside the timed runs.
  declare -A windows_path=()
  run_cli() { "$WINELOADER" "$cli" --patch-dir "${windows_path[$1]}\\patch" "$2"; }
  run_plain() { "$WINELOADER" "$plain" "$2" "${windows_path[$1]}" "$patched_files"; }
  run_direct() {
    local mode=$2
    [ "$mode" = apply ] && mode=apply-direct
    "$WINELOADER" "$plain" "$mode" "${windows_path[$1]}" "$patched_files"
  }

  declare -A best=()
  for m in "${sizes[@]}"; do
    for side in ours plain direct; do
      tree=$scratch/$arch/$m/$side
      "$generator" --generate "$tree" "$m" "$patched_files" >/dev/null
      windows_path[$tree]=$(winpath "$tree")
      [[ ${windows_path[$tree]} == [A-Za-z]:\\* ]] || { echo "no Windows path for $tree" >&2; exit 1; }
      printf '[Settings]\r\nFs2004=%s\\FS2004\r\n' "${windows_path[$tree]}" >"$tree/patch/OVPATCH.INI"
    done
    mkdir -p "$scratch/originals"
    for name in QB_T0000 "$(printf 'QB_T%04d' $((patched_files - 1)))"; do
      cp "$scratch/$arch/$m/ours/FS2004/Addon Scenery/QuillbyBay/scenery/$name".* "$scratch/originals/$name"
    done
  done
  for ((round = 0; round < rounds; round++)); do
    for m in "${sizes[@]}"; do
      case $((round % 3)) in
        0) order="ours plain direct" ;;
        1) order="plain direct ours" ;;
        2) order="direct ours plain" ;;
      esac
      for side in $order; do
        tree=$scratch/$arch/$m/$side
        runner=run_$side
        [ "$side" = ours ] && runner=run_cli
        move_backups_aside "$tree"
        t=$(timed "$runner" "$tree" apply); check "$tree" yes
        best[$side,$m,apply]=$(min "${best[$side,$m,apply]:-}" "$t")
        t=$(timed "$runner" "$tree" remove); check "$tree" no
        best[$side,$m,remove]=$(min "${best[$side,$m,remove]:-}" "$t")
      done
    done
  done

  echo "ovpatch-cli.exe ($arch) against plain_safe_copies.exe under the same Wine: $patched_files backups"
  echo "+ $patched_files installs, then $patched_files restores, of 64 KiB files; best of $rounds rounds"
  echo "plain: every copy through a file beside its target; direct: the same, backups written directly"
  printf '%-7s %-7s %8s %8s %7s %9s %7s\n' folder "" "ours s" "plain s" ratio "direct s" ratio
  for m in "${sizes[@]}"; do
    for op in apply remove; do
      awk -v m="$m" -v op="$op" -v o="${best[ours,$m,$op]}" -v p="${best[plain,$m,$op]}" \
        -v d="${best[direct,$m,$op]}" \
        'BEGIN { printf "%-7d %-7s %8.3f %8.3f %6.2fx %9.3f %6.2fx\n", m, op, o, p, o / p, d, o / d }'
    done
  done
  echo "aim: each ratio at most 1.5x (against direct: the cheapest with the same guarantee)"
  "$WINESERVER" -k 2>/dev/null || true
  wineserver_started=""
  unset best windows_path
done
