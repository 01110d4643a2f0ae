#!/usr/bin/env bash
# Builds the client and starts it from its staging folder under Wine (see
# build.sh for the flavour and folders). Without a display it starts an
# Xvfb of its own for the whole start and says how to reach it. The exit
# code is the client's.
#   VESK_TESTS_BUILT=1  refreshes the staging folder from the existing
#                       build instead of building
set -euo pipefail
cd "$(dirname "$0")"
. tools/flavour.sh
if [ -n "${VESK_TESTS_BUILT:-}" ]; then
  tools/stageClient.sh "$BUILD_DIR/stage" "$DIST_DIR"
else
  ./build.sh
fi
build=$(cd "$BUILD_DIR" && pwd)
cd "$DIST_DIR"

# The first Wine program of a prefix starts its background services with
# the display it has, and every later program shares them: services left
# from an earlier start hold that start's display, perhaps gone with its
# Xvfb. Let them end first.
if ! timeout 20 "$VESK_WINESERVER" -w </dev/null >/dev/null 2>&1; then
  echo "run.sh: Wine programs of $WINEPREFIX are still running; the client shares their display" >&2
fi

xvfb=
managedBefore=
managedKey='HKCU\Software\Wine\AppDefaults\runtime.exe\X11 Driver'
xvfb_end() {
  [ -n "$xvfb" ] || return 0
  managed_restore
  # The client's Wine services end with it; the display goes last.
  timeout 20 "$VESK_WINESERVER" -w </dev/null >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}

# Xvfb runs no window manager: a managed window would get no caption. The
# client's windows are unmanaged for this start only; what the prefix held
# before comes back at its end.
managed_off() {
  managedBefore=$("$VESK_WINE" reg query "$managedKey" /v Managed 2>/dev/null </dev/null |
    tr -d '\r' | awk '$1 == "Managed" { print $3 }') || true
  "$VESK_WINE" reg add "$managedKey" /v Managed /d N /f </dev/null >/dev/null 2>&1 ||
    echo "run.sh: could not keep the window manager out; the window may show without a caption" >&2
}

managed_restore() {
  if [ -n "$managedBefore" ]; then
    "$VESK_WINE" reg add "$managedKey" /v Managed /d "$managedBefore" /f </dev/null >/dev/null 2>&1 || true
  else
    "$VESK_WINE" reg delete "$managedKey" /v Managed /f </dev/null >/dev/null 2>&1 || true
  fi
}

# An Xvfb on the first free display, for the reset tool and the client
# alike; its number comes back on a pipe once it accepts clients.
xvfb_start() {
  local numberFile
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" 2>/dev/null &
  xvfb=$!
  trap xvfb_end EXIT
  local waited=0
  until [ -s "$numberFile" ]; do
    if [ $waited -ge 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
      rm -f "$numberFile"
      echo "run.sh: no display, and Xvfb did not start" >&2
      exit 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  export DISPLAY=:$(head -1 "$numberFile")
  rm -f "$numberFile"
  cat >&2 <<EOF
run.sh: no display: the client runs on Xvfb display $DISPLAY (1280x1024).
  Screenshot: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $VESK_WINE $build/tests/vskshot.exe shot.png
  Exit:       DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $VESK_WINE $build/tests/vskdrive.exe command 40002 --in Pelloran:Dravik32:FrameWnd:1
EOF
}

if [ -z "${DISPLAY:-}" ]; then
  xvfb_start
  managed_off
fi

# A first start gets the default settings the reset tool writes, so the
# window opens at a usable size with its windows docked.
if [ ! -f vesk.egg ]; then
  reset=0
  "$VESK_WINE" Tessavar.exe </dev/null || reset=$?
  case $reset in
    0) ;;
    2) echo "run.sh: the default settings were written; the language choice could not be reset" >&2 ;;
    *) echo "run.sh: the default settings could not be written (reset tool exit code $reset); the client starts without them" >&2 ;;
  esac
fi

status=0
"$VESK_WINE" runtime.exe "$@" </dev/null || status=$?
if [ $status != 0 ]; then
  echo "run.sh: the client ended with exit code $status" >&2
  grep -F '!!ERROR!!' vesk.log 2>/dev/null | tail -n 5 | tr -d '\r' >&2 || true
fi
exit $status
