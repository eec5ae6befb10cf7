#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs, 1 when it does not, and says why on stderr.
# It finds out by building and running a tiny 32-bit program (it only exits with status 7): some
# x86-64 kernels are built without 32-bit support, and nothing short of running one tells.
set -u
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n movl $7, %%ebx\n int $0x80\n' >"$dir/exit7.s"
if ! as --32 "$dir/exit7.s" -o "$dir/exit7.o" 2>/dev/null || ! ld -m elf_i386 "$dir/exit7.o" -o "$dir/exit7" 2>/dev/null; then
  echo "cannot build a 32-bit test program (binutils missing?)" >&2
  exit 1
fi
"$dir/exit7" 2>/dev/null
status=$?
if [ "$status" -ne 7 ]; then
  echo "this machine cannot run 32-bit programs (a tiny one exited with $status, not 7)" >&2
  exit 1
fi
exit 0
