#!/usr/bin/env bash
# Builds what users download into dist/: OVPatch-VERSION-win32.zip (the 32-bit OVPatch.exe and
# ovpatch-cli.exe, README.txt, LICENSE) and, for Linux, a .deb and a .tar.gz of ovpatch-cli with
# its man page. Each is made by CPack from a Release build without tests (presets
# release-windows and release), then unpacked and checked as a user would (check-release.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh release

rm -rf dist
mkdir -p build
for build in "release-windows OVPatch ovpatch-cli" "release ovpatch-cli"; do
  read -r preset targets <<<"$build"
  log=build/make-release-$preset.log
  echo "== $preset: build and package (log: $log)"
  # shellcheck disable=SC2086 # the targets are separate words
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$(nproc)" --target $targets &&
         (cd "build/$preset" && cpack); } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "FAILED: $preset did not build or package (whole log: $log)" >&2
    exit 1
  fi
done

bash scripts/check-release.sh dist
