# Test hosts for the Gnutella client: Linux network namespaces, each with one
# client (runtime.exe with the real modules, the network module and the
# recording fake user interface) under its own Wine prefix, joined by a veth
# pair with addresses from 198.18.0.0/15 (neither private nor loopback).
# Nothing can leave the namespaces: they have no other link and no route.
#
# Sourced by the tests and benchmarks that drive two clients:
#   . testHosts.sh
#   hosts_begin <build folder> <wine program>   # exits 77 when it cannot be done
#   hosts_client a 0; hosts_client b 1            # folder, prefix, host
#   ...
# hosts_begin sets a trap that ends the clients and removes the namespaces
# and every file when the caller exits, also after a failure.

HOSTS_SKIP=77
HOSTS_NET=198.18.0
hosts_names=()

hosts_fail() { echo "FAILED: $*" >&2; exit 1; }

# What the caller's first argument names: the build folder with stage\ and
# fixtures\; the second: the program that runs Windows programs.
hosts_begin() {
  HOSTS_BUILD=$(cd "${1:?build folder}" && pwd)
  HOSTS_WINE=${2:?wine program}
  HOSTS_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  HOSTS_PREFIX=${WINEPREFIX:-$HOME/.wine}
  if [ "$(id -u)" != 0 ]; then
    echo "skipped: making network namespaces needs root"
    exit $HOSTS_SKIP
  fi
  HOSTS_TAG=vk$$
  if ! ip netns add "${HOSTS_TAG}probe" 2>/dev/null; then
    echo "skipped: this machine cannot make network namespaces"
    exit $HOSTS_SKIP
  fi
  ip netns del "${HOSTS_TAG}probe"
  [ -f "$HOSTS_PREFIX/system.reg" ] || hosts_fail "no Wine prefix at $HOSTS_PREFIX"
  HOSTS_ROOT=$(mktemp -d /tmp/testHosts.XXXXXX)
  trap hosts_end EXIT
  trap 'exit 1' INT TERM
}

# Host n (0, 1...): namespace <tag>h<n> with address 198.18.0.<n+1>/24, the
# veth pair made with the second host joining the first.
hosts_make() {
  local n=$1 ns=${HOSTS_TAG}h$1
  ip netns add "$ns" || hosts_fail "cannot make namespace $ns"
  hosts_names+=("$ns")
  ip -n "$ns" link set lo up
  if [ "$n" != 0 ]; then
    ip link add "${HOSTS_TAG}v$n" netns "$ns" type veth peer name "${HOSTS_TAG}w$n" netns "${HOSTS_TAG}h0" ||
      hosts_fail "cannot join $ns to the first host"
    if [ "$n" = 1 ]; then
      ip -n "${HOSTS_TAG}h0" addr add "$HOSTS_NET.1/24" dev "${HOSTS_TAG}w$n"
      ip -n "${HOSTS_TAG}h0" link set "${HOSTS_TAG}w$n" up
    fi
    ip -n "$ns" addr add "$HOSTS_NET.$((n + 1))/24" dev "${HOSTS_TAG}v$n"
    ip -n "$ns" link set "${HOSTS_TAG}v$n" up
  fi
}

hosts_address() { echo "$HOSTS_NET.$(($1 + 1))"; }
hosts_ns() { echo "${HOSTS_TAG}h$1"; }

# Client <name> on host n: its folder (runtime.exe, the GCC DLLs and
# plugins\ with the modules a test loads) and its own copy of the prefix.
# The third argument "full" makes it the whole staged client, the real user
# interface included; otherwise it has the recording fake user interface.
hosts_client() {
  local name=$1 n=$2 kind=${3:-recorded} dir=$HOSTS_ROOT/$1
  [ "$n" = 0 ] || [ -n "$(ip netns list | grep -w "$(hosts_ns 0)")" ] || hosts_make 0
  ip netns list | grep -w "$(hosts_ns "$n")" >/dev/null || hosts_make "$n"
  mkdir -p "$dir/plugins" || hosts_fail "cannot make $dir"
  cp "$HOSTS_BUILD"/stage/*.exe "$HOSTS_BUILD"/stage/*.dll "$dir/" || hosts_fail "no staged client"
  local module
  if [ "$kind" = full ]; then
    cp "$HOSTS_BUILD"/stage/plugins/*.vkm "$dir/plugins/" || hosts_fail "no staged modules"
  else
    for module in sysrt rsrc fs Quillet persist share2 Ombrel net; do
      cp "$HOSTS_BUILD/stage/plugins/$module.vkm" "$dir/plugins/" || hosts_fail "no $module.vkm"
    done
    cp "$HOSTS_BUILD/fixtures/fakeUi.vkm" "$dir/plugins/ui.vkm" || hosts_fail "no fake user interface"
  fi
  # Without the built-in web caches: nothing but the other host is dialled.
  cp "$HOSTS_BUILD/fixtures/gnutellaNoWebCaches.vkm" "$dir/plugins/gnutella.vkm" || hosts_fail "no gnutella module"
  # Other tests may be making and removing temporary files in the prefix
  # meanwhile: a file gone before it was copied is no failure.
  cp -a "$HOSTS_PREFIX" "$dir.prefix" 2>/dev/null
  [ -f "$dir.prefix/system.reg" ] && [ -f "$dir.prefix/user.reg" ] || hosts_fail "cannot copy the Wine prefix"
  eval "HOSTS_HOST_$name=$n"
}

# The Windows form of a path under the client folders (Wine's Z: is /).
hosts_winpath() { echo "Z:${1//\//\\}"; }
hosts_dir() { echo "$HOSTS_ROOT/$1"; }

# The client's settings file: its Gnutella group, "key (type)value" per line.
hosts_settings() {
  local name=$1 key typed
  shift
  {
    printf '<vesk_settings>\r\n\t<zUdoradur>\r\n'
    for pair in "$@"; do
      key=${pair%% *}
      typed=${pair#* }
      printf '\t\t<%s>%s</%s>\r\n' "$key" "$typed" "$key"
    done
    printf '\t</zUdoradur>\r\n</vesk_settings>\r\n'
  } >"$HOSTS_ROOT/$name/vesk.egg"
}

hosts_script() { printf '%s\r\n' "${@:2}" >"$HOSTS_ROOT/$1/fakeui.script"; }

# Starts the client in its namespace with its own prefix (its wineserver
# starts there, so its sockets are the namespace's).
hosts_start() {
  local name=$1 n dir=$HOSTS_ROOT/$1
  eval "n=\$HOSTS_HOST_$name"
  rm -f "$dir/fakeui.calls"
  (cd "$dir" && exec ip netns exec "$(hosts_ns "$n")" env WINEPREFIX="$dir.prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES=winedbg.exe=d "$HOSTS_WINE" runtime.exe >>"$dir/wine.out" 2>&1) &
  eval "HOSTS_PID_$name=$!"
}

# Waits at most the seconds for the client to end; its exit code.
hosts_wait() {
  local name=$1 limit=$2 pid waited=0
  eval "pid=\$HOSTS_PID_$name"
  while kill -0 "$pid" 2>/dev/null && [ $waited -lt $((limit * 10)) ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  kill -0 "$pid" 2>/dev/null && hosts_fail "client $name did not end within $limit s"
  wait "$pid"
}

# The record's lines (fakeui.calls) without their line ends.
hosts_record() { tr -d '\r' <"$HOSTS_ROOT/$1/fakeui.calls" 2>/dev/null; }

# Waits at most the seconds for a record line beginning with the prefix.
hosts_await() {
  local name=$1 prefix=$2 limit=$3 waited=0
  until hosts_record "$name" | grep -F -- "$prefix" >/dev/null; do
    [ $waited -lt $((limit * 10)) ] || hosts_fail "client $name: no '$prefix' within $limit s"
    sleep 0.1
    waited=$((waited + 1))
  done
}

# Waits at most the seconds for something to listen on the port in the
# client's namespace.
hosts_awaitListening() {
  local name=$1 port=$2 limit=$3 waited=0 n
  eval "n=\$HOSTS_HOST_$name"
  until ip netns exec "$(hosts_ns "$n")" ss -Hltn "sport = :$port" | grep . >/dev/null; do
    [ $waited -lt $((limit * 10)) ] || hosts_fail "client $name: not listening on $port within $limit s"
    sleep 0.1
    waited=$((waited + 1))
  done
}

hosts_expect() {
  local name=$1 line=$2
  hosts_record "$name" | grep -xF -- "$line" >/dev/null || {
    echo "client $name's record:" >&2
    hosts_record "$name" | tail -40 >&2
    hosts_fail "client $name did not record '$line'"
  }
}

# Ends what is left of the clients (by process id, namespace by namespace),
# their wineservers, the namespaces and the files.
hosts_end() {
  local ns pid dir
  for ns in "${hosts_names[@]}"; do
    for pid in $(ip netns pids "$ns" 2>/dev/null); do
      kill -9 "$pid" 2>/dev/null
    done
  done
  for dir in "$HOSTS_ROOT"/*.prefix; do
    [ -d "$dir" ] && WINEPREFIX=$dir "$HOSTS_WINESERVER" -k >/dev/null 2>&1
  done
  for ns in "${hosts_names[@]}"; do
    ip netns del "$ns" 2>/dev/null
  done
  [ -n "${HOSTS_KEEP:-}" ] && echo "kept $HOSTS_ROOT" || rm -rf "$HOSTS_ROOT"
}
