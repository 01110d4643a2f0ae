#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds everything and
# stages the client into the flavour's staging folder.
#   VESK_ARCH  i686 or x86_64 (default: chosen by what this machine runs;
#              see tools/flavour.sh)
#   BUILD_DIR  build folder (default: build, or build-x86_64)
#   DIST_DIR   staging folder (default: dist, or dist-x86_64)
#   BUILD_JOBS parallel compile jobs (default: all processors)
#   VESK_COMPONENTS  component folders to build, separated by ; or spaces (default: all)
set -euo pipefail
cd "$(dirname "$0")"
. tools/flavour.sh

need_packages() {
  command -v cmake >/dev/null || return 0
  command -v xvfb-run >/dev/null || return 0
  command -v xauth >/dev/null || return 0
  command -v curl >/dev/null || return 0
  command -v nft >/dev/null || [ -x /usr/sbin/nft ] || return 0
  # Wine's symbol fonts: without them caption buttons show letters.
  dpkg -s fonts-wine >/dev/null 2>&1 || return 0
  [ -f /usr/src/googletest/CMakeLists.txt ] || return 0
  command -v "$VESK_ARCH-w64-mingw32-widl" >/dev/null || return 0
  if [ "$VESK_ARCH" = i686 ]; then
    command -v i686-w64-mingw32-g++-posix >/dev/null || return 0
    command -v i686-w64-mingw32-windres >/dev/null || return 0
    command -v wine >/dev/null || return 0
    dpkg -s wine32:i386 >/dev/null 2>&1 || return 0
  else
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || return 0
    command -v x86_64-w64-mingw32-windres >/dev/null || return 0
    [ -x "$VESK_WINE" ] || return 0
  fi
  return 1
}

if need_packages; then
  if [ "$(id -u)" != 0 ]; then
    echo "build.sh: packages are missing and installing them needs root" >&2
    exit 1
  fi
  echo "build.sh: installing the cross compiler, Wine and test tools ($VESK_ARCH)" >&2
  export DEBIAN_FRONTEND=noninteractive
  common=(mingw-w64-tools xvfb xauth cmake make googletest ca-certificates curl nftables fonts-wine)
  if [ "$VESK_ARCH" = i686 ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y -q --no-install-recommends \
      g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 "${common[@]}"
  else
    apt-get update -q
    apt-get install -y -q --no-install-recommends \
      g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 "${common[@]}"
    VESK_WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
    VESK_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  fi
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "build.sh: creating the Wine prefix $WINEPREFIX" >&2
  "$VESK_WINE" wineboot -i >/dev/null 2>&1 || true
  "$VESK_WINESERVER" -w || true
fi

# Wine's own fonts (the caption buttons' symbols, Tahoma): this Wine looks
# for them in the prefix's Fonts folder, not where the package puts them.
wineFonts=/usr/share/wine/fonts
if [ -d "$wineFonts" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n "$wineFonts"/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi

components=()
if [ -n "${VESK_COMPONENTS+x}" ]; then
  components=("-DVESK_COMPONENTS=${VESK_COMPONENTS// /;}")
fi
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$VESK_TOOLCHAIN" "${components[@]}" >/dev/null
elif [ ${#components[@]} -gt 0 ]; then
  cmake -B "$BUILD_DIR" "${components[@]}" >/dev/null
fi
cmake --build "$BUILD_DIR" -j "${BUILD_JOBS:-$(nproc)}"

# The shipped client: the staged programs and modules, no test fixtures;
# the user's settings and files there stay.
tools/stageClient.sh "$BUILD_DIR/stage" "$DIST_DIR"
