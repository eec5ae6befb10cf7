#!/usr/bin/env bash
# Checks the artefacts that make-release.sh wrote, as a user would see them: each is unpacked
# into a scratch folder; the Windows programs must be the 32-bit builds (PE machine i386) beside
# README.txt (Windows line ends) and LICENSE; the Linux ovpatch-cli of the .tar.gz and of the .deb
# must run and print the version that every artefact's name carries; the man page must render.
#
#   check-release.sh [DIST]     (default: dist)
# Prints one line per check, then "N passed, N failed"; exits 1 when a check failed.
set -uo pipefail
cd "$(dirname "$0")/.."
dist=${1:-dist}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0

check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "  ok    $what"
  else
    failed=$((failed + 1))
    echo "  FAIL  $what"
  fi
}

# The one file in DIST that matches a pattern, or nothing.
only() {
  local matches=("$dist"/$1)
  [ ${#matches[@]} -eq 1 ] && [ -f "${matches[0]}" ] && echo "${matches[0]}"
}

# The machine field of a PE file's header, as four hex digits (014c for i386, 8664 for x86-64).
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ') || return 1
  [ "$(od -An -c -j"$offset" -N4 "$1" | tr -d ' ')" = 'PE\0\0' ] || return 1
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}

is_i386_pe() { [ "$(pe_machine "$1")" = 014c ]; }

# Every line ends with CR LF.
has_windows_line_ends() { [ -s "$1" ] && [ "$(grep -c '' "$1")" -eq "$(grep -c $'\r$' "$1")" ]; }

# The relative paths of every file under a folder, sorted, one a line.
files_under() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

prints_version() { [ "$("$1" --version 2>&1)" = "ovpatch-cli $version" ]; }

# man renders the page without a warning, with its version and every section a user looks for.
man_page_renders() {
  local text section
  text=$(MANWIDTH=80 man -l --warnings "$1" 2>"$scratch/man-warnings") || return 1
  [ ! -s "$scratch/man-warnings" ] || { cat "$scratch/man-warnings"; return 1; }
  grep -q "OVPatch $version" <<<"$text" || return 1
  for section in NAME SYNOPSIS DESCRIPTION COMMANDS OPTIONS 'EXIT STATUS' FILES EXAMPLES; do
    grep -qx "$section" <<<"$text" || { echo "    no section $section"; return 1; }
  done
}

zip=$(only 'OVPatch-*-win32.zip')
tgz=$(only 'ovpatch-cli-*-linux-*.tar.gz')
deb=$(only 'ovpatch-cli_*.deb')
for artefact in "win32 zip:$zip" "Linux tar.gz:$tgz" "Linux deb:$deb"; do
  check "one ${artefact%%:*} in $dist/: ${artefact#*:}" test -n "${artefact#*:}"
done

# The version: what the Linux program prints; every artefact's name must carry the same.
version=""
if [ -n "$tgz" ]; then
  mkdir "$scratch/tgz"
  tar -xzf "$tgz" -C "$scratch/tgz"
  top=$scratch/tgz/$(basename "$tgz" .tar.gz)
  version=$("$top/bin/ovpatch-cli" --version 2>/dev/null | sed -n 's/^ovpatch-cli //p')
  check "tar.gz: bin/ovpatch-cli --version runs and prints a version ($version)" test -n "$version"
  check "tar.gz: its name carries that version" test "$(basename "$tgz")" = "ovpatch-cli-$version-linux-$(uname -m).tar.gz"
  check "tar.gz: holds the program, the man page and the license" test "$(files_under "$top")" = \
    "$(printf '%s\n' bin/ovpatch-cli share/doc/ovpatch-cli/copyright share/man/man1/ovpatch-cli.1.gz)"
  check "tar.gz: man -l renders ovpatch-cli.1" man_page_renders "$top/share/man/man1/ovpatch-cli.1.gz"
fi

if [ -n "$deb" ] && [ -n "$version" ]; then
  mkdir "$scratch/deb"
  dpkg-deb -x "$deb" "$scratch/deb"
  check "deb: package ovpatch-cli, version $version" \
    test "$(dpkg-deb -f "$deb" Package Version)" = "$(printf 'Package: ovpatch-cli\nVersion: %s' "$version")"
  check "deb: depends on the C library it was linked with" grep -q libc6 <<<"$(dpkg-deb -f "$deb" Depends)"
  check "deb: usr/bin/ovpatch-cli --version prints $version" prints_version "$scratch/deb/usr/bin/ovpatch-cli"
  check "deb: man -l renders usr/share/man/man1/ovpatch-cli.1.gz" \
    man_page_renders "$scratch/deb/usr/share/man/man1/ovpatch-cli.1.gz"
  check "deb: the license is its copyright file" cmp -s LICENSE "$scratch/deb/usr/share/doc/ovpatch-cli/copyright"
fi

if [ -n "$zip" ] && [ -n "$version" ]; then
  mkdir "$scratch/zip"
  (cd "$scratch/zip" && cmake -E tar xf "$OLDPWD/$zip")
  top=$scratch/zip/$(basename "$zip" .zip)
  check "zip: its name carries version $version" test "$(basename "$zip")" = "OVPatch-$version-win32.zip"
  check "zip: holds the two programs, README.txt and LICENSE, side by side" test "$(files_under "$top")" = \
    "$(printf '%s\n' LICENSE OVPatch.exe README.txt ovpatch-cli.exe)"
  for exe in OVPatch.exe ovpatch-cli.exe; do
    check "zip: $exe is a 32-bit Windows program (PE machine i386)" is_i386_pe "$top/$exe"
  done
  check "zip: OVPatch.exe's version record says $version" \
    grep -qx "${version//./, }" <<<"$(strings -el "$top/OVPatch.exe" 2>/dev/null)"
  check "zip: README.txt has Windows line ends" has_windows_line_ends "$top/README.txt"
  check "zip: README.txt names version $version" grep -q "^OVPatch $version" "$top/README.txt"
  check "zip: LICENSE is the project's" cmp -s LICENSE "$top/LICENSE"
fi

echo "check-release: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ -n "$version" ]
