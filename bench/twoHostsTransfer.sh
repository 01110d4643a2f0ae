#!/usr/bin/env bash
# One download between two clients on their own test hosts (see
# plugins/gnutella/tests/testHosts/testHosts.sh): B downloads a file A
# shares, over the namespace link; then curl on B's host fetches the same
# file from A's upload side. Prints MiB/s of both, the transfer thread's
# passes per second as A's pieces per second (it sends one 8,192-byte piece
# per pass, so each piece is a pass) and the ratio of the download to the
# ceiling of one piece per pass at the nominal pass rate (a pass sleeps
# 1 ms twice). A figure, not a test.
#   twoHostsTransfer.sh <build folder> <wine program> [MiB, default 64]
# As root (network namespaces), with the client built.
set -uo pipefail
. "$(dirname "$0")/../plugins/gnutella/tests/testHosts/testHosts.sh"
mib=${3:-64}
hosts_begin "$1" "$2"

port=6346
hosts_client a 0
hosts_client b 1
a=$(hosts_address 0)
name="tangerine quartet.ogg"
shared=$(hosts_dir a)/Shared
downloads=$(hosts_dir b)/Downloads
partial=$(hosts_dir b)/Partial
mkdir -p "$shared" "$downloads" "$partial"
size=$((mib * 1024 * 1024))
head -c $size /dev/urandom >"$shared/$name"

hosts_settings a "Gnutella_ListenPort (ushort)$port"
hosts_script a "share-add $(hosts_winpath "$shared")|1" share-save engine-reload connect \
  "await-file 600000 $(hosts_winpath "$(hosts_dir a)/stop")" shutdown
hosts_settings b "Gnutella_ListenPort (ushort)$port" "Gnutella_SuccessfulEntires (ulong)1" \
  "Gnutella_SuccessfulItemIP1 (ushort)$port" "Gnutella_SuccessfulItemPort1 (string)$a"
hosts_script b "download-dir $(hosts_winpath "$downloads")" "temp-dir $(hosts_winpath "$partial")" results connect \
  "await 60000 IStatusBar::Output|Connections: 1|1" "search tangerine" "await 15000 script|result|" \
  "search tangerine" "await 30000 script|result|" "download $name" \
  "await-file 600000 $(hosts_winpath "$downloads/$name")" shutdown

hosts_start a
hosts_awaitListening a $port 60
hosts_await a "IDockConnectTB::SetConnectedState|1" 120
hosts_start b

now() { date +%s.%N; }
partialSize() { find "$partial" -type f -printf '%s\n' 2>/dev/null | sort -n | tail -1; }
# From the first byte on B's disk to the last.
waited=0
until [ "$(partialSize)" ] && [ "$(partialSize)" -gt 0 ]; do
  [ $waited -lt 1200 ] || hosts_fail "the download did not begin"
  sleep 0.05
  waited=$((waited + 1))
done
first=$(now)
first_bytes=$(partialSize)
until [ "$(partialSize)" -ge $size ] 2>/dev/null || [ -f "$downloads/$name" ]; do
  sleep 0.02
done
last=$(now)
hosts_wait b 120 || hosts_fail "client b ended with $?"
cmp -s "$downloads/$name" "$shared/$name" || hosts_fail "b's copy differs from a's file"

index=$(hosts_record b | grep "^script|result|" | head -1 | tr '|' '\n' | sed -n 's/^Index=//p')
curl_start=$(now)
ip netns exec "$(hosts_ns 1)" curl -s --http0.9 --max-time 600 -o "$(hosts_dir b)/curl" \
  "http://$a:$port/get/$index/tangerine" || hosts_fail "curl could not fetch the file"
curl_end=$(now)
touch "$(hosts_dir a)/stop"
hosts_wait a 60

awk -v bytes=$((size - first_bytes)) -v t0="$first" -v t1="$last" -v c0="$curl_start" -v c1="$curl_end" \
  -v total=$size 'BEGIN {
  mib = 1048576; piece = 8192; nominal = 500
  secs = t1 - t0; csecs = c1 - c0
  rate = bytes / mib / secs; crate = total / mib / csecs
  passes = bytes / piece / secs; ceiling = piece * nominal / mib
  printf "download B from A over the namespace link: %.2f MiB/s (%.1f MiB in %.2f s)   reference: curl --http0.9 from A: %.2f MiB/s\n", rate, bytes / mib, secs, crate
  printf "transfer thread passes per second (one piece each): %.0f   reference: nominal %d (two 1 ms sleeps per pass)\n", passes, nominal
  printf "download against the ceiling of one 8,192-byte piece per pass: %.2f of %.2f MiB/s = %.0f%%   reference: 100%%\n", rate, ceiling, 100 * rate / ceiling
}'
