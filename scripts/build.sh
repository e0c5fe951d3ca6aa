#!/usr/bin/env bash
# build.sh [tree ...]: configures (once) and builds the build trees; all four by default.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

configure() {
  local tree=$1; shift
  if [ ! -f "$BUILD/$tree/build.ninja" ]; then
    log "configuring $tree"
    cmake -S "$ROOT" -B "$BUILD/$tree" -G Ninja "$@" >/dev/null
  fi
}

trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native asan win64 win32)
for tree in "${trees[@]}"; do
  case $tree in
    native) configure native -DCMAKE_BUILD_TYPE=Release -DMOVARIN_BENCH=ON ;;
    asan)   configure asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
              -DCMAKE_CXX_COMPILER=clang++ -DMOVARIN_SANITIZE=ON -DMOVARIN_FUZZ=ON ;;
    win64)  configure win64 -DCMAKE_BUILD_TYPE=Release -DMOVARIN_WINE_TESTS=ON \
              -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" ;;
    win32)  # Trees configured before the 32-bit smoke set existed lack its test program.
            if [ -f "$BUILD/win32/CMakeCache.txt" ] \
               && ! grep -q '^MOVARIN_WINE_TESTS:BOOL=ON' "$BUILD/win32/CMakeCache.txt"; then
              rm -f "$BUILD/win32/build.ninja" "$BUILD/win32/CMakeCache.txt"
            fi
            configure win32 -DCMAKE_BUILD_TYPE=MinSizeRel -DMOVARIN_WINE_TESTS=ON \
              -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" ;;
    *) log "unknown tree $tree"; exit 2 ;;
  esac
  log "building $tree"
  if [ "$tree" = win32 ]; then
    # The 32-bit tree: what ships, and the three test programs that run its smoke
    # set (tests/e2e/main, tests/wine/registration); the other Wine tests run on the
    # 64-bit tree alone.
    cmake --build "$BUILD/$tree" -j 2 --target movarin_ship movarin_e2e_test movarin_registration_e2e_test \
      registration_wine_test
  else
    cmake --build "$BUILD/$tree" -j 2
  fi
done
