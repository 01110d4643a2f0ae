#!/usr/bin/env bash
# Builds everything and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
BUILD_DIR=${BUILD_DIR:-build}
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
export WINEDEBUG=-all
jobs=${TEST_JOBS:-$(nproc)}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$jobs" "$@"
fi
exec ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$jobs" "$@"
