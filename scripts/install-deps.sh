#!/usr/bin/env bash
# Installs the Debian packages one of the README's commands needs and this machine lacks:
#
#   install-deps.sh demo       a C++ compiler, make, CMake and xxHash (scripts/run-demo.sh)
#   install-deps.sh test       everything scripts/test-all.sh builds and runs with
#   install-deps.sh release    what scripts/make-release.sh builds, packs and checks with
#
# A package list that cannot be refreshed (a mirror mid-sync) does not stop it: apt-get update is
# tried twice, then it goes on with the lists it has and says so. It fails only when a package the
# command needs cannot be installed, and names it. 32-bit Wine is asked for only where this machine
# runs 32-bit programs; when it cannot be installed, the 32-bit Windows tests are skipped
# (test-all.sh says so) and this script still succeeds.
set -euo pipefail
cd "$(dirname "$0")/.."

case ${1:-} in
  demo) needed=(cmake make g++ libxxhash-dev) ;;
  test) needed=(cmake make g++ binutils googletest libxxhash-dev g++-mingw-w64-i686
                g++-mingw-w64-x86-64 wine wine64 xvfb x11-apps imagemagick) ;;
  release) needed=(cmake make g++ binutils libxxhash-dev g++-mingw-w64-i686 dpkg-dev man-db) ;;
  *) echo "usage: install-deps.sh demo|test|release" >&2; exit 2 ;;
esac
command=$1

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# Waits for another apt or dpkg run on this machine instead of failing at its lock.
apt=($SUDO apt-get -o DPkg::Lock::Timeout=600 -y -qq --no-install-recommends)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

refreshed=""
refresh_lists() {
  [ -z "$refreshed" ] || return 0
  refreshed=1
  "${apt[@]}" update >"$log" 2>&1 && return 0
  echo "install-deps: apt-get update failed; trying once more in 10 s" >&2
  sleep 10
  "${apt[@]}" update >"$log" 2>&1 && return 0
  echo "install-deps: the package lists could not all be refreshed; going on with the lists this" \
       "machine has. apt-get said: $(grep -m1 '^E:' "$log" || tail -n1 "$log")" >&2
}

# Installs the packages that are missing; returns 1 with the names of those that could not be
# installed in $not_installed.
not_installed=()
install_missing() {
  local missing=() p
  not_installed=()
  for p in "$@"; do have "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  refresh_lists
  echo "install-deps: installing ${missing[*]}" >&2
  "${apt[@]}" install "${missing[@]}" >"$log" 2>&1 && return 0
  if [ ${#missing[@]} -eq 1 ]; then
    not_installed=("${missing[@]}")
    return 1
  fi
  # One at a time, to name the ones that cannot be installed.
  for p in "${missing[@]}"; do
    have "$p" || "${apt[@]}" install "$p" >"$log" 2>&1 || not_installed+=("$p")
  done
  [ ${#not_installed[@]} -eq 0 ]
}

if ! install_missing "${needed[@]}"; then
  echo "install-deps: cannot install ${not_installed[*]}, which the $command command needs." \
       "apt-get said:" >&2
  grep '^E:' "$log" | head -n 5 >&2 || tail -n 5 "$log" >&2
  exit 1
fi

if [ "$command" = test ] && ! have wine32:i386 && bash scripts/can-run-32bit.sh 2>/dev/null; then
  added_i386=""
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    added_i386=1
    refreshed=""
  fi
  if ! install_missing wine32:i386; then
    echo "install-deps: 32-bit Wine (wine32:i386) could not be installed, so the 32-bit Windows" \
         "tests will be skipped. apt-get said: $(grep -m1 '^E:' "$log" || tail -n1 "$log")" >&2
    # Leaves the package configuration as it was: no i386 lists to refresh from now on.
    [ -z "$added_i386" ] || $SUDO dpkg --remove-architecture i386 || true
  fi
fi
