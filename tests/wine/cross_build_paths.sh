#!/usr/bin/env bash
# The two builds on one prefix and one patch folder on its drive C:. The Linux ovpatch-cli is given
# the FS2004 and patch folders as a shell user types them (Linux paths, relative ones); then the
# Windows ovpatch-cli.exe under Wine starts from what it wrote, applies the patch and removes it,
# and the Linux build verifies each state; then the Linux build applies it, an updated patch is
# unpacked, and the Windows build removes it by the Linux build's install record.
#
#   cross_build_paths.sh WINE_ARCH BUILD_DIR WINDOWS_CLI LINUX_CLI...
#
# The first LINUX_CLI that exists is used ($OVPATCH_LINUX_CLI before them); without one the check is
# skipped (exit status 77). The prefix is the build's own, made on first use as the tests' is.
set -euo pipefail
arch=$1 build=$2 windows_cli=$3
shift 3
repo=$(cd "$(dirname "$0")/../.." && pwd)
linux_cli=${OVPATCH_LINUX_CLI:-}
for candidate in "$@"; do
  [ -z "$linux_cli" ] && [ -x "$candidate" ] && linux_cli=$candidate
done
if [ -z "$linux_cli" ]; then
  echo "skipped: no Linux ovpatch-cli (build the native or release preset, or set OVPATCH_LINUX_CLI)"
  exit 77
fi

# shellcheck source=../../cmake/wine.sh
. "$repo/cmake/wine.sh" "$arch"
export WINEPREFIX=${OVPATCH_WINEPREFIX:-$build/wineprefix}
wine_make_prefix
work=$(mktemp -d "$WINEPREFIX/drive_c/ovpatch-cross-XXXXXX")
trap 'rm -rf "$work"' EXIT
windows_work="C:\\${work##*/}"
cp -R "$repo/demo/fs2004" "$work/FS2004"
cp -R "$repo/demo/patch" "$work/patch"
cd "$work"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# run WHO COMMAND...: one run of that build's program in the patch folder, its output (line ends
# without CR) in $work/out and $work/err; its exit status in $status.
run() {
  local who=$1
  shift
  status=0
  case $who in
    linux) "$linux_cli" --patch-dir patch "$@" >out 2>err || status=$? ;;
    windows) "$WINELOADER" "$windows_cli" --patch-dir "$windows_work\\patch" "$@" >out 2>err ||
      status=$? ;;
  esac
  sed -i 's/\r$//' out err
}
# expect_line FILE LINE: FILE holds LINE.
expect_line() { grep -Fxq -- "$2" "$1" || fail "$1 lacks \"$2\"; it holds: $(cat "$1")"; }
# expect_originals WHAT: after WHAT (a removal), every original is back; SCENERY.CFG keeps the
# area, and the created folders stay.
expect_originals() {
  diff -r -x 'SCENERY*.CFG' -x OV_EXCLUDES "$repo/demo/fs2004" FS2004 >/dev/null ||
    fail "the $1 did not give every file back"
}

run linux --fs-path FS2004 status
[ $status = 0 ] || [ $status = 3 ] || fail "Linux status exited with $status: $(cat err)"
expect_line out "FS2004 Installation Path: $windows_work\\FS2004"
tr -d '\r' <patch/OVPATCH.INI >ini
expect_line ini "Fs2004=$windows_work\\FS2004"
tr -d '\r' <patch/TITLE.OV >title
expect_line title "$windows_work\\FS2004\\Addon Scenery\\QuillbyBay\\"

run windows status
expect_line out "FS2004 Installation Path: $windows_work\\FS2004"
expect_line out "Apply Patch: clear, enabled"
run windows apply
[ $status = 0 ] || fail "Windows apply exited with $status: $(cat out err)"
expect_line out "Patch Installed !"
run linux verify
[ $status = 0 ] || fail "Linux verify after the install exited with $status: $(cat out)"

run windows remove
[ $status = 0 ] || fail "Windows remove exited with $status: $(cat out err)"
expect_line out "Patch Removed"
run linux verify
[ $status = 0 ] || fail "Linux verify after the removal exited with $status: $(cat out)"
expect_originals removal

# Each build reads the other's install record: the Linux build applies, an updated patch is
# unpacked over the patch folder (another QB_AIRP.BGL), and the Windows build removes it. Only
# the record still tells the installed QB_AIRP.BGL, which no file of the patch folder now holds,
# from the product's own.
run linux apply
[ $status = 0 ] || fail "Linux apply exited with $status: $(cat out err)"
run linux verify
[ $status = 0 ] || fail "Linux verify after its install exited with $status: $(cat out)"
printf 'QB_AIRP of an updated patch\r\n' >patch/QB_AIRP.BGL
run windows remove
[ $status = 0 ] || fail "Windows remove of the Linux install exited with $status: $(cat out err)"
expect_line out "Patch Removed"
run windows verify
[ $status = 0 ] || fail "Windows verify after its removal exited with $status: $(cat out)"
run linux verify
[ $status = 0 ] || fail "Linux verify after the Windows removal exited with $status: $(cat out)"
expect_originals "removal of the Linux install"
echo "passed: the Windows build applied and removed the patch the Linux build was pointed to," \
  "and removed the Linux build's install by its record"
