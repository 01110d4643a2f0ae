#!/usr/bin/env bash
# Builds the client and starts it from its staging folder under Wine (see
# build.sh for the flavour and folders).
set -euo pipefail
cd "$(dirname "$0")"
. tools/flavour.sh
./build.sh
cd "$DIST_DIR"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$VESK_WINE" runtime.exe "$@"
fi
exec "$VESK_WINE" runtime.exe "$@"
