#!/usr/bin/env bash
# run.sh as a newcomer meets it on a machine without a display: each start
# brings up an Xvfb of its own for every Wine program of that start (the
# reset tool included), says how to reach it and draws the main window;
# File, Exit ends it with code 0 and takes the Xvfb along; a setting changed
# before Exit is there at the next start, across a refresh of the staging
# folder; and a window that cannot be made ends run.sh with the client's
# failure code and the log's reason on standard error, beside the reset
# tool's own failure.
#   runScriptTest.sh <build folder> <wine program> [starts]
# Runs in a copy of the prefix of its own: the start's Wine services must
# be the ones run.sh starts. Exit code 77 (skipped) without Xvfb.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
wine=${2:?wine program}
starts=${3:-2}
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
command -v Xvfb >/dev/null || {
  echo "skipped: Xvfb is not installed"
  exit 77
}

frameClass="Pelloran:Dravik32:FrameWnd:1"
dockClass="Pelloran:Dravik32:DockContainer:1"
root=$(mktemp -d /tmp/runScript.XXXXXX)
prefix=$root/prefix
dist=$root/dist
runPid=

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

finish() {
  if [ -n "$runPid" ] && kill -0 "$runPid" 2>/dev/null; then
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
    kill "$runPid" 2>/dev/null
    wait "$runPid" 2>/dev/null
  fi
  WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
  rm -rf "$root"
}
trap finish EXIT

cp -a "${WINEPREFIX:-$HOME/.wine}" "$prefix" || fail "cannot copy the Wine prefix"
rm -f "$prefix"/.update-timestamp.lock

# run.sh as the user starts it, on the staged build; its messages in
# <name>.err.
run_start() {
  local name=$1
  shift
  (cd "$repo" && env "$@" VESK_TESTS_BUILT=1 BUILD_DIR="$build" DIST_DIR="$dist" WINEPREFIX="$prefix" \
    WINEDEBUG=-all ./run.sh </dev/null >"$root/$name.out" 2>"$root/$name.err") &
  runPid=$!
}

# Waits at most the seconds for run.sh to end; its exit code in runStatus.
run_wait() {
  local limit=$1 waited=0
  while kill -0 "$runPid" 2>/dev/null; do
    [ $waited -lt $((limit * 10)) ] || fail "run.sh did not end within $limit s: $(cat "$root"/*.err)"
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$runPid"
  runStatus=$?
  runPid=
}

# The display run.sh said the client runs on, into display.
run_display() {
  local name=$1 waited=0
  display=
  until [ -n "$display" ]; do
    display=$(grep -o 'Xvfb display :[0-9]*' "$root/$name.err" | cut -d' ' -f3)
    [ -n "$display" ] && break
    [ $waited -lt 300 ] && kill -0 "$runPid" 2>/dev/null || fail "run.sh named no display: $(cat "$root/$name.err")"
    sleep 0.1
    waited=$((waited + 1))
  done
}

on_display() {
  local display=$1
  shift
  (cd "$root" && DISPLAY=$display WINEPREFIX=$prefix WINEDEBUG=-all "$wine" "$@" </dev/null | tr -d '\r')
}

drive() {
  local display=$1
  shift
  on_display "$display" "$build/tests/vskdrive.exe" "$@"
}

# One start without a display, up to its drawn window, its display in
# display; the docked windows' places in docks-<name>.txt.
start_headless() {
  local name=$1 stats
  run_start "$name" -u DISPLAY
  run_display "$name"
  drive "$display" find --wait 90 --in "$frameClass" --in "$dockClass" --caption View >/dev/null ||
    fail "$name: the main window did not show its layout: $(cat "$root/$name.err")"
  sleep 1
  stats=$(on_display "$display" "$build/tests/vskshot.exe" "$root/$name.png" --stats) ||
    fail "$name: no screenshot"
  [ "$(sed -n 's/^colours=\([0-9]*\) .*/\1/p' <<<"$stats")" -ge 16 ] || fail "$name: the screen is (nearly) blank"
  # Wine's screen is the whole Xvfb screen.
  [ "$(od -An -tu1 -j16 -N8 "$root/$name.png" | tr -s ' ')" = " 0 0 5 0 0 0 4 0" ] ||
    fail "$name: the screen is not 1280x1024"
  drive "$display" docks "$dockClass" --in "$frameClass" >"$root/docks-$name.txt" ||
    fail "$name: a docked window lies outside the frame"
}

exit_client() {
  local name=$1 display=$2
  drive "$display" command 40002 --in "$frameClass" || fail "$name: cannot post Exit"
  run_wait 60
  [ "$runStatus" = 0 ] || fail "$name: run.sh ended with $runStatus: $(cat "$root/$name.err")"
  [ ! -e "/tmp/.X11-unix/X${display#:}" ] || fail "$name: run.sh left its Xvfb $display running"
  grep -q "could not\|ended with" "$root/$name.err" && fail "$name: run.sh reported a failure: $(cat "$root/$name.err")"
  return 0
}

echo "== first start: the reset tool's settings on run.sh's own display"
start_headless first
[ -f "$dist/vesk.egg" ] || fail "no settings after the first start"
grep -q '^Statistics|' "$root/docks-first.txt" || fail "the default layout shows no statistics window"
# The user's own layout: the statistics window hidden.
drive "$display" command 40037 --in "$frameClass" || fail "cannot post the statistics window's command"
sleep 1
exit_client first "$display"
echo "a note of the user's own" >"$dist/notes.txt"

for n in $(seq 2 "$starts"); do
  echo "== start $n: the changed layout after a refresh of the staging folder"
  start_headless "start$n"
  grep -q '^Statistics|' "$root/docks-start$n.txt" && fail "start $n: the hidden statistics window is back"
  [ -f "$dist/notes.txt" ] || fail "start $n: a file of the user's own went"
  exit_client "start$n" "$display"
done

echo "== a display that cannot be opened: the client's failure, told on standard error"
WINEPREFIX=$prefix timeout 30 "$wineserver" -w
# And no default settings to be had: the reset tool cannot write its file.
rm -f "$dist/vesk.egg"
mkdir "$dist/vesk.egg.new"
run_start unreachable DISPLAY=:999
run_wait 120
[ "$runStatus" != 0 ] || fail "run.sh ended with 0 without a window"
grep -q "the client ended with exit code $runStatus" "$root/unreachable.err" ||
  fail "run.sh did not say the client failed: $(cat "$root/unreachable.err")"
grep -q "the default settings could not be written (reset tool exit code 1)" "$root/unreachable.err" ||
  fail "run.sh did not say the settings were not written: $(cat "$root/unreachable.err")"
grep -q "!!ERROR!! UI: the main window could not be made" "$root/unreachable.err" ||
  fail "run.sh did not show the log's reason: $(cat "$root/unreachable.err")"
echo "passed"
