#!/bin/sh
# Builds every tree and runs every test (native, sanitized, fuzzers, Win32
# under wine, end-to-end) in one ctest run on a virtual display.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
cd "$build"
exec xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" --timeout 1200
