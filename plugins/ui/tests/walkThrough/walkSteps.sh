# The walk-through's steps on client A: its own Xvfb in its namespace, its
# Windows programs (the client, the driver, the screenshot program) under
# its prefix, and the checks on what each screenshot shows. Sourced after
# testHosts.sh's hosts_begin.

frameClass="Pelloran:Dravik32:FrameWnd:1"
dockClass="Pelloran:Dravik32:DockContainer:1"
frame=(--in "$frameClass")
WALK_SHOTS=$HOSTS_BUILD/tests/walkthrough
WALK_DISPLAY=
WALK_XVFB=
walk_count=0

# Screenshots of an earlier run go; the trap also ends Xvfb and keeps A's
# log and B's record beside the screenshots.
walk_begin() {
  rm -rf "$WALK_SHOTS"
  mkdir -p "$WALK_SHOTS" || hosts_fail "cannot make $WALK_SHOTS"
  trap walk_end EXIT
}

walk_end() {
  local status=$?
  # What A showed when a step failed.
  if [ $status != 0 ] && [ -n "$WALK_DISPLAY" ]; then
    walk_wine "$HOSTS_BUILD/tests/vskshot.exe" "$(hosts_winpath "$WALK_SHOTS/failed.png")" >/dev/null 2>&1
    ip netns exec "$(hosts_ns 0)" ss -tan >"$WALK_SHOTS/failed-sockets.txt" 2>&1
  fi
  cp "$(hosts_dir a)/vesk.log" "$WALK_SHOTS/a-vesk.log" 2>/dev/null
  cp "$(hosts_dir b)/fakeui.calls" "$WALK_SHOTS/b-record.txt" 2>/dev/null
  hosts_end
  if [ -n "$WALK_XVFB" ]; then
    kill "$WALK_XVFB" 2>/dev/null
    wait "$WALK_XVFB" 2>/dev/null
  fi
  # Xvfb ended by force leaves its lock and socket.
  [ -n "$WALK_DISPLAY" ] && rm -f "/tmp/.X${WALK_DISPLAY#:}-lock" "/tmp/.X11-unix/X${WALK_DISPLAY#:}"
}

step() { echo "== $*"; }

# Xvfb in A's namespace, on the first free display: A's programs reach it
# through either of its sockets there.
walk_xvfb() {
  local file=$HOSTS_ROOT/display waited=0
  ip netns exec "$(hosts_ns 0)" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$file" \
    2>"$HOSTS_ROOT/xvfb.out" &
  WALK_XVFB=$!
  until [ -s "$file" ]; do
    [ $waited -lt 100 ] && kill -0 "$WALK_XVFB" 2>/dev/null || hosts_fail "Xvfb did not start: $(cat "$HOSTS_ROOT/xvfb.out")"
    sleep 0.1
    waited=$((waited + 1))
  done
  WALK_DISPLAY=:$(head -1 "$file")
}

# A Windows program in A's namespace under A's prefix, on A's display; its
# output without carriage returns.
walk_wine() {
  (cd "$(hosts_dir a)" && ip netns exec "$(hosts_ns 0)" env WINEPREFIX="$(hosts_dir a).prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES=winedbg.exe=d DISPLAY="$WALK_DISPLAY" "$HOSTS_WINE" "$@" | tr -d '\r')
}

drive() { walk_wine "$HOSTS_BUILD/tests/vskdrive.exe" "$@"; }

# A's folder as run.sh leaves it before a first start (the reset tool's
# settings), with its download and temporary folders given; its windows
# unmanaged, as Xvfb runs no window manager.
walk_firstStart() {
  walk_xvfb
  printf '[DIR]\r\nDOWNLOAD=%s\r\nTEMP=%s\r\n' "$(hosts_winpath "$1")" "$(hosts_winpath "$2")" \
    >"$(hosts_dir a)/pelloran.ini"
  walk_wine Tessavar.exe </dev/null || hosts_fail "the reset tool could not write the settings"
  [ -f "$(hosts_dir a)/vesk.egg" ] || hosts_fail "no settings after the reset tool"
  walk_wine reg add 'HKCU\Software\Wine\AppDefaults\runtime.exe\X11 Driver' /v Managed /d N /f >/dev/null ||
    hosts_fail "cannot set the windows unmanaged"
}

# Starts A and waits for its main window with the layout's last window.
walk_start() {
  DISPLAY=$WALK_DISPLAY hosts_start a
  drive find --wait 90 "${frame[@]}" --in "$dockClass" --caption View >/dev/null ||
    hosts_fail "the main window did not show its layout"
  sleep 1
}

# A screenshot of the window (vskshot's --class/--caption arguments, or
# "frame" for A's main window) as <n>-<name>.png; it must not be blank (at
# least WALK_MIN_COLOURS colours, 16 unless set). Its digest is kept by name.
walk_shot() {
  local name=$1 stats colours digest file
  shift
  [ "$*" = frame ] && set -- --class "$frameClass"
  walk_count=$((walk_count + 1))
  file=$WALK_SHOTS/$(printf %02d $walk_count)-$name.png
  stats=$(walk_wine "$HOSTS_BUILD/tests/vskshot.exe" "$(hosts_winpath "$file")" --wait 10 --stats "$@") ||
    hosts_fail "no screenshot for $name"
  colours=$(sed -n 's/^colours=\([0-9]*\) .*/\1/p' <<<"$stats")
  digest=$(sed -n 's/.* digest=\([0-9a-f]*\)$/\1/p' <<<"$stats")
  echo "$name: $colours colours"
  [ "${colours:-0}" -ge "${WALK_MIN_COLOURS:-16}" ] || hosts_fail "the screenshot $name is (nearly) blank: $stats"
  echo "$name $digest" >>"$WALK_SHOTS/digests.txt"
}

# A screenshot of A's main window as it shows once it stopped changing,
# with no redraw forced first, as <n>-<name>.png; it must not be blank and
# must equal the same window painted again whole (vskshot --redraw-check,
# which keeps that one as <n>-<name>-redrawn.png when they differ).
walk_settled() {
  local name=$1 stats colours digest file status
  walk_count=$((walk_count + 1))
  file=$WALK_SHOTS/$(printf %02d $walk_count)-$name.png
  stats=$(walk_wine "$HOSTS_BUILD/tests/vskshot.exe" "$(hosts_winpath "$file")" --wait 10 --stats --redraw-check \
    --class "$frameClass")
  status=$?
  colours=$(sed -n 's/^colours=\([0-9]*\) .*/\1/p' <<<"$stats")
  digest=$(sed -n 's/.* digest=\([0-9a-f]*\)$/\1/p' <<<"$stats")
  echo "$name: $colours colours"
  [ $status = 4 ] && hosts_fail "after $name the window shows stale or unpainted parts that a redraw mends: $stats"
  [ $status = 0 ] || hosts_fail "no screenshot for $name"
  [ "${colours:-0}" -ge 16 ] || hosts_fail "the screenshot $name is (nearly) blank: $stats"
  echo "$name $digest" >>"$WALK_SHOTS/digests.txt"
}

walk_digest() { awk -v n="$1" '$1 == n { d = $2 } END { print d }' "$WALK_SHOTS/digests.txt"; }

# Two screenshots taken before and after a change of state must differ.
walk_differ() {
  [ "$(walk_digest "$1")" != "$(walk_digest "$2")" ] || hosts_fail "the screenshots $1 and $2 are the same"
}

# Clicks into the edit box, replaces its text and presses Enter. The box
# takes Enter only while it has the focus, which the click gives.
walk_typeEnter() {
  local text=$1
  shift
  drive click 5 5 "$@" || hosts_fail "cannot click into the box for '$text'"
  drive await-focus --wait 5 "$@" || hosts_fail "the box for '$text' did not take the focus"
  drive type "$text" "$@" && drive key Enter "$@" || hosts_fail "cannot type '$text'"
}

# The docked windows of A's frame, relative to it, into docks-<name>.txt;
# each inside the frame with a size.
walk_docks() {
  drive docks "$dockClass" "${frame[@]}" >"$WALK_SHOTS/docks-$1.txt" || {
    cat "$WALK_SHOTS/docks-$1.txt" >&2
    hosts_fail "a docked window lies outside the frame or has no size ($1)"
  }
}

# Waits at most the seconds for the file to have the size.
walk_awaitFile() {
  local file=$1 size=$2 limit=$3 waited=0
  until [ "$(stat -c %s "$file" 2>/dev/null)" = "$size" ]; do
    [ $waited -lt $((limit * 10)) ] || hosts_fail "no $file of $size bytes within $limit s"
    sleep 0.1
    waited=$((waited + 1))
  done
}

# Waits at most the seconds for a partial file with some bytes.
walk_awaitPartial() {
  local folder=$1 limit=$2 waited=0
  until [ -n "$(find "$folder" -type f -size +0 2>/dev/null)" ]; do
    [ $waited -lt $((limit * 10)) ] || hosts_fail "no partial download in $folder within $limit s"
    sleep 0.1
    waited=$((waited + 1))
  done
}

# Exit from the menu: A ends within the bound with code 0, its log shows no
# unhandled exception and no failed module entry point, and its settings
# file is whole.
walk_exit() {
  local settings=$(hosts_dir a)/vesk.egg
  drive command 40002 "${frame[@]}" || hosts_fail "cannot post Exit"
  hosts_wait a 30 || hosts_fail "client a ended with $?"
  if grep -qi "unhandled exception" "$(hosts_dir a)/vesk.log"; then
    hosts_fail "a's log shows an unhandled exception"
  fi
  if grep -qF "[FAILED]" "$(hosts_dir a)/vesk.log"; then
    hosts_fail "a module's entry point failed: $(grep -F "[FAILED]" "$(hosts_dir a)/vesk.log" | head -1)"
  fi
  tail -c 18 "$settings" | cmp -s - <(printf '</vesk_settings>\r\n') || hosts_fail "the settings file is cut short"
  grep -q "<SaveOnExit>(long)1</SaveOnExit>" "$settings" || hosts_fail "the settings no longer save on exit"
}

# Waits at most the seconds for A's and B's Wine processes to be gone: in
# the namespaces nothing but A's Xvfb runs on.
walk_awaitOnlyXvfb() {
  local limit=$1 waited=0 left
  while :; do
    left=$( (ip netns pids "$(hosts_ns 0)"; ip netns pids "$(hosts_ns 1)") | grep -vx "$WALK_XVFB")
    [ -z "$left" ] && break
    [ $waited -lt $((limit * 10)) ] || hosts_fail "still running: $(ps -o pid=,args= -p "$(echo $left | tr ' ' ,)")"
    sleep 0.1
    waited=$((waited + 1))
  done
}
