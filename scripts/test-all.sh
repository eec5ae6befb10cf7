#!/usr/bin/env bash
# Builds every preset and runs every test: natively (ASan/UBSan), the 64-bit Windows build under
# 64-bit Wine, and the 32-bit Windows build under 32-bit Wine where this machine can run 32-bit
# programs and 32-bit Wine is installed (elsewhere it is built, and one line says why its tests
# were skipped).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

for preset in native windows64 windows; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  if [ "$preset" = windows ]; then
    # cmake/wine.sh runs the 32-bit tests with this loader, which only 32-bit Wine brings.
    if ! why=$(bash scripts/can-run-32bit.sh 2>&1) ||
       { [ ! -x /usr/lib/wine/wine ] && why="32-bit Wine (wine32:i386) is not installed"; }; then
      echo "== windows: 32-bit Windows tests skipped: $why"
      continue
    fi
  fi
  echo "== $preset: tests"
  start=$SECONDS
  ctest --preset "$preset" -j "$jobs"
  echo "== $preset: tests took $((SECONDS - start)) s"
done
