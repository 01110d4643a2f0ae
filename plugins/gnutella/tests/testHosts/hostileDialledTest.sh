#!/usr/bin/env bash
# Hostile peers the client dials and a hostile web cache: the test program
# gnutella_hostile_dialled_tests.exe and the client it starts run in a
# network namespace of their own whose loopback device also has the address
# 198.18.7.1. The client dials every host it is offered there, and every one
# but that address fails at once: the namespace has no other device and no
# route.
#   hostileDialledTest.sh <build folder> <wine program>
# Exit code 77 (skipped) where network namespaces cannot be made.
set -uo pipefail
. "$(dirname "$0")/testHosts.sh"
hosts_begin "$@"

address=198.18.7.1
hosts_make 0
ns=$(hosts_ns 0)
ip -n "$ns" addr add "$address/32" dev lo || hosts_fail "cannot give the namespace $address"
# A prefix of its own: its wineserver, and so every socket of the test and
# the client, starts inside the namespace.
prefix=$HOSTS_ROOT/dialled.prefix
cp -a "$HOSTS_PREFIX" "$prefix" 2>/dev/null
[ -f "$prefix/system.reg" ] && [ -f "$prefix/user.reg" ] || hosts_fail "cannot copy the Wine prefix"

cd "$HOSTS_BUILD/tests" || hosts_fail "no tests folder"
ip netns exec "$ns" env WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winedbg.exe=d \
  VESK_TEST_ADDRESS="$address" "$HOSTS_WINE" gnutella_hostile_dialled_tests.exe
