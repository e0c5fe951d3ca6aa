#!/usr/bin/env bash
# wine32-run.sh [--with-server] <program.exe> [arguments]: wine-run.sh for the 32-bit
# programs, in the prefix of the 32-bit runs (build/wineprefix32).
set -uo pipefail
source "$(dirname "$0")/lib.sh"
source "$ROOT/scripts/lib32.sh"
exec bash "$ROOT/scripts/wine-run.sh" "$@"
