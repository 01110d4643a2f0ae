#!/usr/bin/env bash
# The client as a user sees it, driven step by step as a user would: client
# A is the whole staged client with its window on an Xvfb of its own, in a
# network namespace; client B (the recording fake user interface) shares a
# folder in a second namespace. A connects, links to B through an address
# typed into the host window, searches, downloads a result, shows each
# options page and its tray icon, exits and starts again with its layout;
# then it exits in the middle of a download and starts cleanly once more.
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

echo "passed"
