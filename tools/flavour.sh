# Sourced by build.sh, test.sh and run.sh: chooses the flavour to build and
# run, and sets where it lives.
#   VESK_ARCH  i686 (the shipped 32-bit client) or x86_64; unset: i686 where
#              this machine runs 32-bit programs, else x86_64
# Sets VESK_ARCH, BUILD_DIR, DIST_DIR, WINEPREFIX, VESK_WINE, VESK_WINESERVER,
# VESK_TOOLCHAIN.

# A 93-byte 32-bit Linux program that only exits with 0: some 64-bit kernels
# run no 32-bit program at all ("Exec format error"), Wine's 32-bit loader
# included, and this asks the kernel itself, with nothing installed.
vesk_runs_32bit() {
  local probe
  probe=$(mktemp) || return 1
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
  chmod +x "$probe"
  local ok=1
  "$probe" 2>/dev/null && ok=0
  rm -f "$probe"
  return $ok
}

if [ -z "${VESK_ARCH:-}" ]; then
  if vesk_runs_32bit; then
    VESK_ARCH=i686
    echo "flavour: i686 (this machine runs 32-bit programs; VESK_ARCH=x86_64 builds the 64-bit flavour)" >&2
  else
    VESK_ARCH=x86_64
    echo "flavour: x86_64 under wine64 (this machine cannot run 32-bit programs; VESK_ARCH=i686 forces the 32-bit build)" >&2
  fi
fi
export VESK_ARCH

case "$VESK_ARCH" in
  i686)
    BUILD_DIR=${BUILD_DIR:-build}
    DIST_DIR=${DIST_DIR:-dist}
    WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
    VESK_TOOLCHAIN=cmake/mingw32-toolchain.cmake
    VESK_WINE=wine
    VESK_WINESERVER=wineserver
    ;;
  x86_64)
    BUILD_DIR=${BUILD_DIR:-build-x86_64}
    DIST_DIR=${DIST_DIR:-dist-x86_64}
    WINEPREFIX=${WINEPREFIX:-$HOME/.wine64}
    VESK_TOOLCHAIN=cmake/mingw64-toolchain.cmake
    # The plain wine launcher tries the 32-bit loader first.
    VESK_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
    VESK_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
    ;;
  *)
    echo "VESK_ARCH must be i686 or x86_64, not '$VESK_ARCH'" >&2
    exit 1
    ;;
esac
export BUILD_DIR DIST_DIR WINEPREFIX VESK_TOOLCHAIN VESK_WINE VESK_WINESERVER
export WINEDEBUG=${WINEDEBUG:--all}
