#!/usr/bin/env bash
# The client as a user sees it, driven step by step as a user would: client
# A is the whole staged client with its window on an Xvfb of its own, in a
# network namespace; client B (the recording fake user interface) shares a
# folder in a second namespace. A connects, links to B through an address
# typed into the host window, searches, downloads a result, shows each
# options page and its tray icon; its window is maximized and restored, its
# windows, a toolbar and the status bar hidden and shown, and the window
# made small and large, each shown as it paints itself (no forced redraw);
# it exits and starts again with its layout; then it exits in the middle of
# a download and starts cleanly once more.
# A screenshot is kept at each step in <build folder>/tests/walkthrough/.
#   walkThrough.sh <build folder> <wine program>
# Exit code 77 (skipped) where network namespaces cannot be made or Xvfb is
# missing. HOSTS_KEEP=1 keeps the clients' folders, logs and records.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../../gnutella/tests/testHosts/testHosts.sh"
command -v Xvfb >/dev/null || {
  echo "skipped: Xvfb is not installed"
  exit $HOSTS_SKIP
}
hosts_begin "$@"
. "$here/walkSteps.sh"
walk_begin

port=6346
hosts_client a 0 full
hosts_client b 1
b=$(hosts_address 1)
shared=$(hosts_dir b)/Shared
downloads=$(hosts_dir a)/Downloads
mkdir -p "$shared" "$downloads" "$(hosts_dir a)/Partial"
small="tangerine quartet.ogg"
big="zebra parade.avi"
head -c 300000 /dev/urandom >"$shared/$small"
head -c 2000 /dev/urandom >"$shared/walnut notes.txt"
head -c $((64 * 1024 * 1024)) /dev/urandom >"$shared/$big"

# B shares its folder and waits to be told to stop.
hosts_settings b "Gnutella_ListenPort (ushort)$port"
hosts_script b "share-add $(hosts_winpath "$shared")|1" share-save engine-reload connect \
  "await-file 600000 $(hosts_winpath "$(hosts_dir b)/stop")" shutdown
hosts_start b
hosts_awaitListening b $port 60
# B listens from its start but takes links only once connected.
hosts_await b "IDockConnectTB::SetConnectedState|1" 120

# A as run.sh leaves it before a first start, with its download and
# temporary folders in its own folder.
walk_firstStart "$downloads" "$(hosts_dir a)/Partial"

step "first start"
walk_start
walk_shot first-start frame
walk_docks first

step "connect"
drive command 40023 "${frame[@]}" || hosts_fail "cannot post Connect"
sleep 1
walk_shot connect frame
walk_differ first-start connect

step "an address typed into the host window"
walk_typeEnter "$b:$port" "${frame[@]}" --in ComboBoxEx32 --id 1001 --in Edit
hosts_await b "IStatusBar::Output|Connections: 1|1" 60
drive await-count 1 --wait 30 "${frame[@]}" --in "$dockClass" --caption Hosts --in SysListView32 >/dev/null ||
  hosts_fail "the host window lists no link"
sleep 1
walk_shot linked frame
walk_differ connect linked

step "a search typed into the search bar"
walk_typeEnter tangerine "${frame[@]}" --in ComboBoxEx32 --id 1002 --in Edit
sleep 1
walk_shot searching frame

step "results from B"
results=("${frame[@]}" --in MDIClient --in SysListView32)
drive await-count 1 --wait 60 "${results[@]}" >/dev/null || hosts_fail "no result came"
sleep 1
[ "$(drive count "${results[@]}")" = 1 ] || hosts_fail "more than the one matching file came back"
walk_shot results frame
walk_differ linked searching

step "Enter on the result downloads it"
drive key Down Home Enter "${results[@]}" || hosts_fail "cannot press keys on the result"
drive await-count 1 --wait 30 "${frame[@]}" --in "$dockClass" --caption "Transfer Window" --in SysListView32 >/dev/null ||
  hosts_fail "the transfer window lists no download"
walk_awaitFile "$downloads/$small" 300000 60
sleep 1
walk_shot downloaded frame
walk_differ results downloaded
[ "$(sha1sum <"$downloads/$small" | cut -c1-40)" = "$(sha1sum <"$shared/$small" | cut -c1-40)" ] ||
  hosts_fail "the downloaded file differs from B's"
# By now B's pongs have put B into A's host cache: A still links to it once.
[ "$(drive count "${frame[@]}" --in "$dockClass" --caption Hosts --in SysListView32)" = 1 ] ||
  hosts_fail "A links to B more than once"

step "each options page"
options=(--in "#32770" --caption Options)
drive command 40003 "${frame[@]}" || hosts_fail "cannot post Options"
pages=$(drive count --wait 10 "${options[@]}" --in SysTreeView32 --id 469) || hosts_fail "no options dialog"
[ "$pages" -gt 1 ] || hosts_fail "the options show $pages pages"
drive key Home "${options[@]}" --in SysTreeView32 --id 469 || hosts_fail "cannot press keys on the page tree"
previous=
for page in $(seq "$pages"); do
  sleep 0.5
  title=$(drive caption "${options[@]}" --in "*" --id 470) || hosts_fail "no page title"
  walk_shot "options-${title// /-}" --class "#32770" --caption Options
  [ -z "$previous" ] || walk_differ "$previous" "options-${title// /-}"
  previous=options-${title// /-}
  drive key Down "${options[@]}" --in SysTreeView32 --id 469 || hosts_fail "cannot press keys on the page tree"
done
[ "$(grep -c '^options-' "$WALK_SHOTS/digests.txt")" = "$pages" ] || hosts_fail "two pages showed the same title"
drive command 2 "${options[@]}" || hosts_fail "cannot post Cancel"
sleep 0.5
drive find "${options[@]}" >/dev/null 2>&1 && hosts_fail "the options dialog stayed after Cancel"

step "the tray icon"
# Without a tray on the display, Wine shows the icons in a small window of
# its own, shown with the first icon.
tray=(--in __winex11_standalone_tray --caption "Wine System Tray")
drive raise --wait 10 "${tray[@]}" || hosts_fail "no icon in the notification area"
sleep 0.5
# The small window holds one icon of a few colours.
WALK_MIN_COLOURS=4 walk_shot tray --class __winex11_standalone_tray --caption "Wine System Tray"

step "maximize and restore"
drive maximize "${frame[@]}" || hosts_fail "cannot maximize"
walk_settled maximized
drive restore "${frame[@]}" || hosts_fail "cannot restore"
walk_settled restored
walk_differ maximized restored

step "View: a window, a toolbar and the status bar hidden and shown"
for item in "40035 hosts" "40062 connect-toolbar" "40061 status-bar"; do
  set -- $item
  drive command "$1" "${frame[@]}" || hosts_fail "cannot post the View command $1"
  walk_settled "$2-hidden"
  drive command "$1" "${frame[@]}" || hosts_fail "cannot post the View command $1"
  walk_settled "$2-shown"
  walk_differ "$2-hidden" "$2-shown"
done

step "a small and a large window"
drive resize 420 300 "${frame[@]}" || hosts_fail "cannot make the window small"
walk_settled small
drive resize 1280 1024 "${frame[@]}" || hosts_fail "cannot make the window large"
walk_settled large
walk_differ small large
# The size the reset tool's settings give it.
drive resize 1000 720 "${frame[@]}" || hosts_fail "cannot give the window its size back"
walk_settled size-back

step "Exit keeps the layout for the next start"
# A layout of the user's own: the statistics window hidden.
drive command 40037 "${frame[@]}" || hosts_fail "cannot post the statistics window's command"
sleep 1
walk_docks changed
grep -q "^Statistics|" "$WALK_SHOTS/docks-changed.txt" && hosts_fail "the statistics window still shows"
walk_shot changed frame
walk_exit
walk_start
walk_docks restarted
cmp "$WALK_SHOTS/docks-changed.txt" "$WALK_SHOTS/docks-restarted.txt" || hosts_fail "the next start did not restore the layout"
walk_shot restarted frame

step "Exit with a link, a search and a download running"
# B sends slowly (where the kernel can shape), so the big file is still
# coming when A exits.
ip netns exec "$(hosts_ns 1)" tc qdisc add dev "${HOSTS_TAG}v1" root tbf rate 8mbit burst 32kbit latency 400ms ||
  echo "(B's sending is not slowed)"
# A typed address is dialled once the client is online.
drive command 40023 "${frame[@]}" || hosts_fail "cannot post Connect"
walk_typeEnter "$b:$port" "${frame[@]}" --in ComboBoxEx32 --id 1001 --in Edit
drive await-count 1 --wait 60 "${frame[@]}" --in "$dockClass" --caption Hosts --in SysListView32 >/dev/null ||
  hosts_fail "the host window lists no link"
walk_typeEnter zebra "${frame[@]}" --in ComboBoxEx32 --id 1002 --in Edit
drive await-count 1 --wait 60 "${results[@]}" >/dev/null || hosts_fail "no result came"
drive key Down Home Enter "${results[@]}" || hosts_fail "cannot press keys on the result"
walk_awaitPartial "$(hosts_dir a)/Partial" 60
walk_shot running frame
[ "$(stat -c %s "$downloads/$big" 2>/dev/null || echo 0)" -lt $((64 * 1024 * 1024)) ] ||
  hosts_fail "the big file came whole before Exit"
walk_exit

step "the next start reads the settings cleanly"
walk_start
walk_docks third
cmp "$WALK_SHOTS/docks-changed.txt" "$WALK_SHOTS/docks-third.txt" || hosts_fail "the layout changed after the busy exit"
walk_shot third frame
walk_exit

step "nothing left running"
touch "$(hosts_dir b)/stop"
hosts_wait b 60 || hosts_fail "client b ended with $?"
walk_awaitOnlyXvfb 30
echo "passed"
