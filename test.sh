#!/usr/bin/env bash
# Builds everything and runs every test under Wine (see build.sh for the
# flavour and folders); arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"
. tools/flavour.sh
./build.sh
export WINEDEBUG=-all
# Wine's background processes keep the output of whichever program starts
# them first: started here, with their output nowhere, no test waits for them.
"$VESK_WINESERVER" -p60 >/dev/null 2>&1 </dev/null || true
"$VESK_WINE" wineboot >/dev/null 2>&1 </dev/null || true
jobs=${TEST_JOBS:-$(nproc)}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$jobs" "$@"
fi
exec ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$jobs" "$@"
