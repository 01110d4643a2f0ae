#!/usr/bin/env bash
# Builds everything and runs every test under Wine (see build.sh for the
# flavour and folders); arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"
. tools/flavour.sh
[ -n "${VESK_TESTS_BUILT:-}" ] || ./build.sh
if [ -z "${DISPLAY:-}" ]; then
  # Wine's background processes, started below, serve every later program
  # of the prefix, windows included: they must start inside the display the
  # tests get.
  VESK_TESTS_BUILT=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export WINEDEBUG=-all
# Wine's background processes keep the output of whichever program starts
# them first: started here, with their output nowhere, no test waits for them.
# A server left from an earlier run would serve this one with that run's
# display: end it first.
"$VESK_WINESERVER" -k >/dev/null 2>&1 </dev/null || true
"$VESK_WINESERVER" -w >/dev/null 2>&1 </dev/null || true
"$VESK_WINESERVER" -p60 >/dev/null 2>&1 </dev/null || true
"$VESK_WINE" wineboot >/dev/null 2>&1 </dev/null || true
jobs=${TEST_JOBS:-$(nproc)}
status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$jobs" "$@" || status=$?
# The services hold this run's display, which ends with it: a later Wine
# program of the prefix (./run.sh) must not join them.
"$VESK_WINESERVER" -k >/dev/null 2>&1 </dev/null || true
exit $status
