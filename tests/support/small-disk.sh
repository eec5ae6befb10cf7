#!/bin/sh
# A small real disk for the full-disk tests: a 256 KiB tmpfs mounted at FOLDER, with a marker file
# that tells the tests it is there. Mounting needs root (or the right capability); where it fails
# the folder stays without the marker and the tests that need the disk skip, saying why.
#
#   small-disk.sh mount FOLDER | small-disk.sh unmount FOLDER
set -u
action=$1 folder=$2
case $action in
  mount)
    mkdir -p "$folder"
    mountpoint -q "$folder" && umount "$folder" 2>/dev/null
    if mount -t tmpfs -o size=256k ovpatch-small-disk "$folder" 2>/dev/null; then
      : > "$folder/SMALL_DISK"
      echo "small disk of 256 KiB mounted at $folder"
    else
      echo "no small disk: mounting a tmpfs at $folder failed (it needs root); the full-disk tests skip"
    fi ;;
  unmount)
    mountpoint -q "$folder" && umount "$folder"
    exit 0 ;;
  *) echo "usage: small-disk.sh mount|unmount FOLDER" >&2; exit 2 ;;
esac
exit 0
