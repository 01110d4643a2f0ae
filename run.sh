#!/usr/bin/env bash
# Builds the client and starts it from its staging folder under Wine (see
# build.sh for the flavour and folders).
set -euo pipefail
cd "$(dirname "$0")"
. tools/flavour.sh
./build.sh
cd "$DIST_DIR"
# A first start gets the default settings the reset tool writes, so the
# window opens at a usable size with its windows docked.
if [ ! -f vesk.egg ]; then
  if ! WINEDEBUG=-all "$VESK_WINE" Tessavar.exe </dev/null; then
    echo "run.sh: could not write the default settings; the client starts without them" >&2
  fi
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$VESK_WINE" runtime.exe "$@"
fi
exec "$VESK_WINE" runtime.exe "$@"
