#!/usr/bin/env bash
# Two clients on their own test hosts: A shares a folder, B links to A,
# searches a word through the manager, receives A's file as a result that
# names A's own address and downloads it whole. curl on B's host then
# fetches the file from A as any HTTP peer would: whole, by range, and is
# refused as a browser and for a path outside the shares.
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
  "download tangerine quartet.ogg" \
  "await-file 60000 $(hosts_winpath "$downloads/tangerine quartet.ogg")" shutdown

hosts_start a
hosts_awaitListening a $port 60
hosts_start b
hosts_wait b 150 || hosts_fail "client b ended with $?"

# A serves any HTTP peer: curl from B's host (the answer's status line has
# no version, which curl takes only as HTTP/0.9).
index=$(hosts_record b | grep "^script|result|" | head -1 | tr '|' '\n' | sed -n 's/^Index=//p')
[ -n "$index" ] || hosts_fail "the result names no index"
fetch() { ip netns exec "$(hosts_ns 1)" curl -s --http0.9 --max-time 20 "$@"; }
# The name is compared undecoded: its first word, which needs no escape.
url="http://$a:$port/get/$index/tangerine"
fetch -o "$(hosts_dir b)/whole" "$url" || hosts_fail "curl could not fetch the file whole"
fetch -H "Range: bytes=1000-1999" -o "$(hosts_dir b)/range" "$url" || hosts_fail "curl could not fetch a range"
# By SHA-1 once A has hashed the file (base 32 of the digest).
hash=$(printf '%b' "$(sha1sum <"$shared/tangerine quartet.ogg" | cut -c1-40 | sed 's/../\\x&/g')" | base32)
for _ in $(seq 30); do
  fetch -o "$(hosts_dir b)/byHash" "http://$a:$port/uri-res/N2R?urn:sha1:$hash" &&
    head -c 11 "$(hosts_dir b)/byHash" | grep -q "^HTTP 200 OK" && break
  sleep 1
done
browser=$(fetch -i -A "Mozilla/5.0" "$url" | head -c 40 | tr -d '\0')
other=$(fetch -i "http://$a:$port/index.html" | head -c 40 | tr -d '\0')
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
hosts_record b | grep "^script|await-file|.*tangerine quartet.ogg|1" >/dev/null || hosts_fail "b's download did not complete"
source_sum=$(sha1sum <"$shared/tangerine quartet.ogg")
[ "$(sha1sum <"$downloads/tangerine quartet.ogg")" = "$source_sum" ] || hosts_fail "b's copy differs from a's file"
# curl's copies: a header, then the bytes.
tail -c 300000 "$(hosts_dir b)/whole" | sha1sum | grep -qF "${source_sum%% *}" || hosts_fail "curl's whole copy differs"
head -c 100 "$(hosts_dir b)/whole" | grep -q "^HTTP 200 OK" || hosts_fail "the answer is no 200"
tail -c 300000 "$(hosts_dir b)/byHash" | sha1sum | grep -qF "${source_sum%% *}" || hosts_fail "curl's copy by SHA-1 differs"
grep -aq "Content-range: bytes=1000-1999/300000" "$(hosts_dir b)/range" || hosts_fail "the range answer names no range"
[ "$(tail -c 1000 "$(hosts_dir b)/range" | sha1sum)" = "$(tail -c +1001 "$shared/tangerine quartet.ogg" | head -c 1000 | sha1sum)" ] ||
  hosts_fail "the range's bytes differ"
case "$browser" in "HTTP/1.1 403 Forbidden"*) ;; *) hosts_fail "a browser got '$browser', not 403" ;; esac
case "$other" in "HTTP/1.1 400 Bad Request"*) ;; *) hosts_fail "a path outside the shares got '$other', not 400" ;; esac
echo "passed"
