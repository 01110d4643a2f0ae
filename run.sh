#!/usr/bin/env bash
# Builds the client and starts it from dist/ under Wine.
set -euo pipefail
cd "$(dirname "$0")"
./build.sh
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
export WINEDEBUG=${WINEDEBUG:--all}
cd "${DIST_DIR:-dist}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine runtime.exe "$@"
fi
exec wine runtime.exe "$@"
