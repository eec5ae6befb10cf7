#!/usr/bin/env bash
# Builds every preset and runs every test: natively (ASan/UBSan), the 64-bit Windows build under
# 64-bit Wine, and the 32-bit Windows build under 32-bit Wine where this machine can run 32-bit
# programs (elsewhere it is built, and its tests are reported as skipped).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

for preset in native windows64 windows; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if [ "$preset" = windows ] && ! why=$(bash scripts/can-run-32bit.sh 2>&1); then
    echo "== windows: 32-bit Windows tests skipped: $why"
    continue
  fi
  echo "== $preset: tests"
  start=$SECONDS
  ctest --preset "$preset" -j "$jobs"
  echo "== $preset: tests took $((SECONDS - start)) s"
done
