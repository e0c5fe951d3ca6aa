#!/usr/bin/env bash
# make run: builds everything and opens Movarin.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh"
if [ -x "$ROOT/scripts/demo.sh" ]; then exec bash "$ROOT/scripts/demo.sh"; fi
echo "Movarin is not runnable yet; the programs built so far:"
find "$BUILD/win32/app" "$BUILD/native/tools" -maxdepth 3 -type f \( -name '*.exe' -o -perm -u+x \) 2>/dev/null | sort
