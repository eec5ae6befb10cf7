#!/usr/bin/env bash
# Runs ovpatch-cli on a fresh copy of the embedded sample (demo/): status, plan apply, apply, verify,
# status, remove, verify, and shows after each step what changed on disk. At the end it checks that
# the removal gave back every original file byte for byte, apart from what the patch leaves on
# purpose.
#
# The simulator copy lives in a scratch Wine prefix under build/demo-run/, whose registry records
# the FS2004 folder as the simulator's installer would: the user's own prefix is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

bash scripts/install-deps.sh demo

echo "== Building and installing ovpatch-cli (release preset, as a user would)"
mkdir -p build
log=build/run-demo-build.log
run="$repo/build/demo-run"
rm -rf "$run"
if ! { cmake --preset release && cmake --build --preset release --target ovpatch-cli -j "$(nproc)" &&
       cmake --install build/release --prefix "$run/usr"; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "FAILED: the build did not succeed (whole log: $log)" >&2
  exit 1
fi
cli="$run/usr/bin/ovpatch-cli"
[ -x "$cli" ] || { echo "ovpatch-cli was not installed" >&2; exit 1; }
echo "  installed in build/demo-run/usr/bin: $("$cli" --version)"

# --- scratch copy ---------------------------------------------------------------------------
prefix="$run/wineprefix"
fs_win='C:\Program Files\Microsoft Games\FS2004'
fs="$prefix/drive_c/Program Files/Microsoft Games/FS2004"
patch="$run/patch"
mkdir -p "$prefix/dosdevices" "$(dirname "$fs")"
ln -s ../drive_c "$prefix/dosdevices/c:"
cp -R demo/fs2004 "$fs"
cp -R demo/patch "$patch"
cat >"$prefix/system.reg" <<'EOF'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win32

[Software\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0] 1700000000
#time=1da00000000000
"EXE Path"="C:\\Program Files\\Microsoft Games\\FS2004"

EOF
export WINEPREFIX="$prefix"
cd "$run"   # the CLI's output and the listings below use paths relative to this folder

echo
echo "Scratch copy of demo/ in build/demo-run/:"
echo "  FS2004 folder  $fs_win"
echo "                 = wineprefix/drive_c/Program Files/Microsoft Games/FS2004, listed as FS2004/;"
echo "                 the scratch prefix's registry value \"EXE Path\" names it"
echo "  patch folder   patch/ (list files and replacements; backups and OVPATCH.INI go here too)"

# --- listings -------------------------------------------------------------------------------
# One line per entry: kind, size, checksum, path (folders: "d - -").
snapshot() {
  {
    (cd "$fs/.." && find FS2004 -mindepth 1 -print0)
    (cd "$run" && find patch -mindepth 1 -print0)
  } | while IFS= read -r -d '' p; do
    case $p in FS2004*) abs="$(dirname "$fs")/$p" ;; *) abs="$run/$p" ;; esac
    if [ -d "$abs" ]; then
      printf 'd\t-\t-\t%s\n' "$p"
    else
      printf 'f\t%s\t%s\t%s\n' "$(stat -c %s "$abs")" "$(md5sum <"$abs" | cut -c1-12)" "$p"
    fi
  done | LC_ALL=C sort -t $'\t' -k4
}

# Keeps a copy of the text files whose changes are worth reading line by line.
keep_texts() {
  local to=$1
  mkdir -p "$to"
  for f in "$fs/SCENERY.CFG" "$patch/OVPATCH.INI" "$patch/TITLE.OV"; do
    if [ -f "$f" ]; then tr -d '\r' <"$f" >"$to/$(basename "$f")"; else : >"$to/$(basename "$f")"; fi
  done
}

# The difference of two listings, one line each: what (new, gone, changed), kind (d, f), path,
# size before, size after; tab-separated.
compare_listings() {
  awk -F'\t' -v OFS='\t' '
    NR == FNR { before[$4] = $0; kind[$4] = $1; size[$4] = $2; next }
    {
      if (!($4 in before)) print "new", $1, $4, "", $2
      else if (before[$4] != $0) print "changed", $1, $4, size[$4], $2
      seen[$4] = 1
    }
    END { for (p in before) if (!(p in seen)) print "gone", kind[p], p, size[p], "" }' "$1" "$2" |
    LC_ALL=C sort -t $'\t' -k3
}

show_changes() {
  awk -F'\t' '
    { kind = ($2 == "d" ? "folder" : "file") }
    $1 == "new"     { printf "    new %-7s %s%s\n", kind, $3, ($2 == "f" ? "  (" $5 " bytes)" : "") }
    $1 == "gone"    { printf "    gone %-6s %s\n", kind, $3 }
    $1 == "changed" { printf "    changed     %s  (%s -> %s bytes)\n", $3, $4, $5 }'
}

show_text_diffs() {
  local name
  for name in SCENERY.CFG OVPATCH.INI TITLE.OV; do
    if ! cmp -s "$1/$name" "$2/$name"; then
      echo "  $name:"
      diff -U1 "$1/$name" "$2/$name" | tail -n +3 | grep -v '^@@' | sed 's/^/      /' || true
    fi
  done
}

step=0
snapshot >"$run/listing.0"
keep_texts "$run/texts.0"

# Runs one command of the CLI, shows its output and exit status and what it changed on disk.
run_step() {
  local what=$1 expect=$2
  shift 2
  step=$((step + 1))
  echo
  echo "== Step $step: $what"
  echo "\$ ovpatch-cli $*"
  local status=0
  "$cli" "$@" >"$run/out.$step" 2>&1 || status=$?
  sed 's/^/    /' "$run/out.$step"
  echo "  exit status $status"
  snapshot >"$run/listing.$step"
  keep_texts "$run/texts.$step"
  echo "  Changes on disk:"
  local changes
  changes=$(compare_listings "$run/listing.$((step - 1))" "$run/listing.$step")
  if [ -n "$changes" ]; then show_changes <<<"$changes"; else echo "    (none)"; fi
  show_text_diffs "$run/texts.$((step - 1))" "$run/texts.$step"
  if [ "$status" -ne "$expect" ]; then
    echo "FAILED: ovpatch-cli $* exited with $status, expected $expect" >&2
    exit 1
  fi
}

run_step "status at first start (finds FS2004 through the registry, searches PATH.OV)" 0 \
  --patch-dir patch status
run_step "plan the install: every change it would make, and the problems it foresees" 0 \
  --patch-dir patch plan apply
run_step "apply the patch" 0 --patch-dir patch apply
run_step "verify the installed patch against the disk" 0 --patch-dir patch verify
run_step "status after apply" 0 --patch-dir patch status
run_step "remove the patch" 0 --patch-dir patch remove
run_step "verify the removal against the disk" 0 --patch-dir patch verify

# --- the removal must give back the tree as it was before apply ------------------------------
echo
echo "== Check: the tree after remove against the tree before apply"
upper() { tr '[:lower:]\\' '[:upper:]/'; }
# What the patch leaves on purpose: the folders of CREATE.OV, the backups named in BAK.OV's
# second column, OVPATCH.INI, OVPATCH.LOG, the install record OVPATCH.REC, the empty lock file OVPATCH.LCK, the dated copy of
# SCENERY.CFG, and the exclusion area
# appended to SCENERY.CFG.
created=$(tr -d '\r' <"$patch/CREATE.OV" | awk '{print $1}' | upper | sed 's|^|FS2004/|')
backups=$(tr -d '\r' <"$patch/BAK.OV" | cut -c81-159 | sed 's/ *$//' | upper | sed 's|^|PATCH/|; s|$|.BGL|')
bad=0
while IFS=$'\t' read -r what kind path _; do
  key=$(upper <<<"$path")
  case $what/$kind in
    new/d) grep -qxF "$key" <<<"$created" && continue ;;
    new/f) grep -qxF "$key" <<<"$backups" && continue
           [ "$key" = PATCH/OVPATCH.INI ] && continue
           [ "$key" = PATCH/OVPATCH.LOG ] && continue
           [ "$key" = PATCH/OVPATCH.LCK ] && continue
           [ "$key" = PATCH/OVPATCH.REC ] && continue
           [[ $key =~ ^FS2004/SCENERY\.[0-9]{8}-[0-9]{6}\.CFG$ ]] && continue ;;
    changed/f)
      [ "$key" = PATCH/OVPATCH.INI ] && continue
      if [ "$key" = FS2004/SCENERY.CFG ]; then
        # Appended to, never rewritten: the old text must be the start of the new one.
        old=$(wc -c <"$run/texts.1/SCENERY.CFG")
        cmp -s -n "$old" "$run/texts.1/SCENERY.CFG" "$run/texts.$step/SCENERY.CFG" && continue
      fi ;;
  esac
  echo "  unexpected: $what $path"
  bad=1
done < <(compare_listings "$run/listing.1" "$run/listing.$step")
if [ "$bad" -ne 0 ]; then
  echo "FAILED: the removal did not restore the tree" >&2
  exit 1
fi
echo "  Every file is back byte for byte. Left on purpose: the folders of CREATE.OV, the exclusion"
echo "  area in SCENERY.CFG and its dated copy from before, the backups, OVPATCH.INI, OVPATCH.LOG,"
echo "  the install record OVPATCH.REC"
echo "  and the empty lock file OVPATCH.LCK in the patch folder, and TITLE.OV naming the product folder that the first start found."
echo
echo "Demo finished. The scratch copy stays in build/demo-run/ for a closer look."
