#!/usr/bin/env bash
# Everything the build and the tests need, on a fresh Debian machine. Each step is
# skipped when it is already done, so running it again costs a second or two.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

PACKAGES=(
  cmake ninja-build make g++ clang libclang-rt-14-dev llvm zlib1g-dev
  googletest libbenchmark-dev
  # llvm: llvm-symbolizer names the functions each fuzz target's session covered
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  mingw-w64-tools libz-mingw-w64-dev
  wine wine64 fonts-wine xvfb xauth x11-utils
  mdbtools python3 python3-pil imagemagick librsvg2-bin curl file
  # the TLS test server's certificates, made at test time
  openssl
  # ALSA: Wine plays through it; the sound tests record with its file and null devices
  libasound2 libasound2-data
  # the installer (makensis, with its x86- and amd64-unicode stubs), the zip beside it
  # and the web server that serves a published catalogue site in its test
  nsis zip nginx-light
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi
if [ ${#missing[@]} -gt 0 ]; then
  log "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

# The npm package mdb-reader: a second reader of .mdb files, independent of ours
# and of mdbtools, used by the catalogue writer's tests.
if [ ! -d "$BUILD/node/node_modules/mdb-reader" ]; then
  log "installing mdb-reader"
  mkdir -p "$BUILD/node"
  (cd "$BUILD/node" && npm install --silent --no-audit --no-fund mdb-reader@3 >/dev/null 2>&1) \
    || log "mdb-reader could not be installed"
fi

# A quiet 64-bit Wine prefix inside the build folder.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  log "creating the Wine prefix $WINEPREFIX"
  mkdir -p "$BUILD"
  "$WINE_BIN" wineboot -i >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w || true
fi
configure_test_prefix
