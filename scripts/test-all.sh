#!/usr/bin/env bash
# Builds both presets and runs every test: natively (ASan/UBSan) and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
# Wine's first start in a new prefix takes a while: do it once here, not in every test.
WINEPREFIX="$PWD/build/windows/wineprefix" bash cmake/wine-prefix.sh
ctest --preset windows -j "$jobs"
