#!/usr/bin/env bash
# Downloads between two clients on their own test hosts when things go
# wrong on the way. A shares a file; B links to A, searches and downloads it;
# the downloaded file must equal A's byte for byte. One scenario per run:
#   resume  A is stopped when B has part of the file; B's download ends as a
#           lost connection, A starts again and B's start action goes on
#           from the bytes it has (A sends only the rest).
#   push    once B's link to A is up, A's host drops B's new connections to
#           A's listen port: B's dial times out, B sends a Push over the
#           link and the file comes over the connection A makes to B.
#   busy    A has one upload slot and curl on A's host holds it: B is told
#           503, counts down, and its automatic retry gets the file once
#           the slot is free again.
#   transfersTest.sh <build folder> <wine program> <resume|push|busy>
# Exit code 77 (skipped) where network namespaces cannot be made or nft is
# missing. Set HOSTS_KEEP=1 to keep the clients' folders for a look.
set -uo pipefail
. "$(dirname "$0")/testHosts.sh"
scenario=${3:?scenario: resume, push or busy}
case "$scenario" in resume | push | busy) ;; *) hosts_fail "no scenario '$scenario'" ;; esac
command -v nft >/dev/null || {
  echo "skipped: nft is not installed"
  exit $HOSTS_SKIP
}
hosts_begin "$1" "$2"

port=6346
hosts_client a 0
hosts_client b 1
a=$(hosts_address 0)
b=$(hosts_address 1)
name="tangerine quartet.ogg"
shared=$(hosts_dir a)/Shared
downloads=$(hosts_dir b)/Downloads
partial=$(hosts_dir b)/Partial
mkdir -p "$shared" "$downloads" "$partial"
# Large enough to be cut midway, or for curl's upload not to sit whole in
# the sockets' buffers at once.
case "$scenario" in
  resume) size=$((48 * 1024 * 1024)) ;;
  busy) size=$((24 * 1024 * 1024)) ;;
  *) size=$((2 * 1024 * 1024)) ;;
esac
head -c $size /dev/urandom >"$shared/$name"
source_sum=$(sha1sum <"$shared/$name" | cut -c1-40)

in_ns() {
  local n=$1
  shift
  ip netns exec "$(hosts_ns "$n")" "$@"
}
# Counters on A's host: bytes A sends from its listen port, B's new
# connections to it (dropped once the rule is armed), and the connections
# A makes to B's listen port.
in_ns 0 nft -f - <<EOF || hosts_fail "cannot make the counters in a's namespace"
table inet transfers {
  counter sent {}
  counter giv {}
  counter dropped {}
  chain input {
    type filter hook input priority 0; policy accept;
  }
  chain output {
    type filter hook output priority 0; policy accept;
    tcp sport $port counter name sent
    ip daddr $b tcp dport $port ct state new counter name giv
  }
}
EOF
counter() { in_ns 0 nft list counter inet transfers "$1" | awk -v k="$2" '{ for (i = 1; i < NF; i++) if ($i == k) print $(i + 1) }'; }

settings_a=("Gnutella_ListenPort (ushort)$port")
[ "$scenario" = busy ] && settings_a+=("Gnutella_MaxUploads (ulong)1")
hosts_settings a "${settings_a[@]}"
script_a() {
  hosts_script a "share-add $(hosts_winpath "$shared")|1" share-save engine-reload connect \
    "await-file 200000 $(hosts_winpath "$(hosts_dir a)/$1")" shutdown
}
script_a stop
# B knows A as the one host it once linked to: its connection policy dials it.
hosts_settings b "Gnutella_ListenPort (ushort)$port" "Gnutella_SuccessfulEntires (ulong)1" \
  "Gnutella_SuccessfulItemIP1 (ushort)$port" "Gnutella_SuccessfulItemPort1 (string)$a"
linked="IStatusBar::Output|Connections: 1|1"
go=$(hosts_dir b)/go
# A may still be reading its share when the first query comes: B asks again.
script_b=("download-dir $(hosts_winpath "$downloads")" "temp-dir $(hosts_winpath "$partial")" results connect
  "await 60000 $linked" "search tangerine" "await 15000 script|result|" "search tangerine"
  "await 30000 script|result|" "await-file 60000 $(hosts_winpath "$go")" "download $name")
finished="await-file 200000 $(hosts_winpath "$downloads/$name")"
case "$scenario" in
  resume)
    script_b+=("await-download 60000 $name|Connection lost" "await-file 60000 $(hosts_winpath "$go.again")"
      "download-action start|$name" "$finished") ;;
  push) script_b+=("await-download 30000 $name|Push requested" "$finished") ;;
  busy) script_b+=("await-download 30000 $name|Busy" "$finished") ;;
esac
hosts_script b "${script_b[@]}" downloads shutdown

# Waits at most the seconds for the condition (a command).
await() {
  local limit=$1 waited=0
  shift
  until "$@"; do
    [ $waited -lt $((limit * 10)) ] || return 1
    sleep 0.1
    waited=$((waited + 1))
  done
}
recorded() { hosts_record "$1" 2>/dev/null | grep -F -- "$2" >/dev/null; }
partialSize() { find "$partial" -type f -printf '%s\n' | sort -n | tail -1; }
grown() { [ "$(partialSize)" -gt $((size / 4)) ] 2>/dev/null; }

# A listens from its start but takes connections only once it is connected.
startA() {
  hosts_start a
  hosts_awaitListening a $port 60
  hosts_await a "IDockConnectTB::SetConnectedState|1" 120
}
startA
hosts_start b
await 120 recorded b "script|await|script|result||1" || hosts_fail "b got no result"
index=$(hosts_record b | grep "^script|result|" | head -1 | tr '|' '\n' | sed -n 's/^Index=//p')

case "$scenario" in
  resume)
    touch "$go"
    await 120 grown || hosts_fail "b's partial file did not grow past a quarter"
    touch "$(hosts_dir a)/stop"
    hosts_wait a 60 || hosts_fail "client a ended with $?"
    cut_at=$(partialSize)
    sent_before=$(counter sent bytes)
    script_a stop.again
    startA
    touch "$go.again"
    ;;
  push)
    # The link is up and stays: only new connections to A's port are dropped.
    in_ns 0 nft add rule inet transfers input ip saddr "$b" tcp dport $port ct state new counter name dropped drop ||
      hosts_fail "cannot arm the rule"
    touch "$go"
    ;;
  busy)
    [ -n "$index" ] || hosts_fail "the result names no index"
    held=$(hosts_dir a)/held
    # Started directly (not through a function) so that its id is curl's own.
    ip netns exec "$(hosts_ns 0)" curl -s --http0.9 --limit-rate 20k --max-time 150 -o "$held" "http://$a:$port/get/$index/tangerine" &
    holder=$!
    await 30 test -s "$held" || hosts_fail "curl did not get the upload slot"
    touch "$go"
    await 60 recorded b "script|await-download|$name|Busy|" || hosts_fail "b never waited"
    # Still held when B was told: the slot was full, not free.
    [ "$(stat -c %s "$held")" -lt $size ] || hosts_fail "curl's upload ended before b asked"
    kill "$holder" 2>/dev/null
    wait "$holder" 2>/dev/null
    ;;
esac

hosts_wait b 300 || hosts_fail "client b ended with $?"
touch "$(hosts_dir a)/stop" "$(hosts_dir a)/stop.again"
hosts_wait a 60 || hosts_fail "client a ended with $?"

hosts_record b | grep "^script|download-row|" || true
hosts_expect b "script|download|$name|1"
case "$scenario" in
  resume)
    echo "stopped at $cut_at of $size bytes"
    [ "$cut_at" -lt "$size" ] || hosts_fail "the download was complete before a stopped"
    hosts_expect b "script|await-download|$name|Connection lost|1"
    hosts_expect b "script|download-action|start|$name|1"
    # A's second run sent the rest, not the whole file again.
    rest=$(($(counter sent bytes) - sent_before))
    echo "a sent $rest bytes after its restart"
    [ "$rest" -lt $((size - cut_at + size / 8)) ] || hosts_fail "a sent $rest bytes: the download began again"
    ;;
  push)
    echo "b's dropped packets: $(counter dropped packets); a's connections to b's port: $(counter giv packets)"
    hosts_expect b "script|await-download|$name|Push requested|1"
    [ "$(counter dropped packets)" -gt 0 ] || hosts_fail "b never dialled a directly"
    [ "$(counter giv packets)" -gt 0 ] || hosts_fail "a made no connection to b"
    ;;
  busy)
    hosts_expect b "script|await-download|$name|Busy|1"
    # Asked again after its countdown: each asking shows the row running.
    asked=$(hosts_record b | grep -c "^IStatusBar::Output|DL: 1 ")
    [ "$asked" -ge 2 ] || hosts_fail "b asked a only once"
    ;;
esac
hosts_record b | grep "^script|await-file|.*$name|1" >/dev/null || hosts_fail "b's download did not complete"
[ "$(sha1sum <"$downloads/$name" | cut -c1-40)" = "$source_sum" ] || hosts_fail "b's copy differs from a's file"
cmp "$downloads/$name" "$shared/$name" || hosts_fail "b's copy differs from a's file"
echo "passed"
