#!/usr/bin/env bash
# Two clients on their own test hosts: A shares a folder, B links to A,
# searches a word through the manager and receives A's file as a result
# that names A's own address.
#   twoHostsTest.sh <build folder> <wine program>
# Exit code 77 (skipped) where network namespaces cannot be made. Set
# HOSTS_KEEP=1 to keep the clients' folders for a look afterwards.
set -uo pipefail
. "$(dirname "$0")/testHosts.sh"
hosts_begin "$@"

port=6346
hosts_client a 0
hosts_client b 1
a=$(hosts_address 0)

shared=$(hosts_dir a)/Shared
mkdir -p "$shared"
head -c 300000 /dev/urandom >"$shared/tangerine quartet.ogg"
head -c 1000 /dev/urandom >"$shared/unrelated.txt"
stop=$(hosts_dir a)/stop

hosts_settings a "Gnutella_ListenPort (ushort)$port"
hosts_script a "share-add $(hosts_winpath "$shared")|1" share-save engine-reload connect \
  "await-file 150000 $(hosts_winpath "$stop")" links shutdown
# B knows A as the one host it once linked to: its connection policy dials it.
hosts_settings b "Gnutella_ListenPort (ushort)$port" "Gnutella_SuccessfulEntires (ulong)1" \
  "Gnutella_SuccessfulItemIP1 (ushort)$port" "Gnutella_SuccessfulItemPort1 (string)$a"
linked="IStatusBar::Output|Connections: 1|1"
downloads=$(hosts_dir b)/Downloads
mkdir -p "$downloads" "$(hosts_dir b)/Partial"
hosts_script b "download-dir $(hosts_winpath "$downloads")" "temp-dir $(hosts_winpath "$(hosts_dir b)/Partial")" \
  results connect "await 60000 $linked" "search tangerine" "await 60000 script|result|" links \
  "download tangerine quartet.ogg" "await 30000 IStatusBar::Output|DL: 1 " shutdown

hosts_start a
hosts_awaitListening a $port 60
hosts_start b
hosts_wait b 150 || hosts_fail "client b ended with $?"
touch "$stop"
hosts_wait a 60 || hosts_fail "client a ended with $?"

hosts_expect a "script|share-add|$(hosts_winpath "$shared")|1"
hosts_expect b "script|await|$linked|1"
hosts_expect b "script|await|script|result||1"
hosts_record b | grep "^script|search|tangerine|1|" >/dev/null || hosts_fail "b's search did not start"
# The tray tip tells the direction: A took the link, B dialled it.
hosts_expect a $'Connections: 1 In: 1 Out: 0'
hosts_expect b $'Connections: 1 In: 0 Out: 1'
# Only a 0.6 connect tells the dialling side's program: A's row names B's.
hosts_record a | grep "^script|link|Address=$(hosts_address 1)|.*|State=Incoming|Client=Pelloran" >/dev/null ||
  hosts_fail "a's link shows no 0.6 handshake"
hosts_record b | grep "^script|link|Address=$a|Port=$port|.*|State=Outgoing" >/dev/null || hosts_fail "b's link is not outgoing"
result=$(hosts_record b | grep "^script|result|" | head -1)
echo "result: $result"
for field in "File Name=tangerine quartet.ogg" "Size=300000" "Address=$a" "Port=$port"; do
  case "|$result|" in
    *"|$field|"*) ;;
    *) hosts_fail "the result lacks $field" ;;
  esac
done
[ "$(hosts_record b | grep -c "^script|result|")" = 1 ] || hosts_fail "more than the one matching file came back"
# The result's download action makes it a running download.
hosts_expect b "script|download|tangerine quartet.ogg|1"
hosts_expect b "script|await|IStatusBar::Output|DL: 1 |1"
echo "passed"
