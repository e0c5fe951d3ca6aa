#!/usr/bin/env bash
# run.sh [--with-server] <test.exe>: builds the 64-bit installer from the win64 tree, then
# runs the test with MOVARIN_INSTALLER naming it.
set -uo pipefail
source "$(dirname "$0")/../../../scripts/lib.sh"
bash "$ROOT/scripts/dist.sh" win64 || exit 1
setup=$(ls "$BUILD/win64/dist/"*-setup.exe | head -n 1)
export MOVARIN_INSTALLER="Z:${setup//\//\\}"
# Shortcuts the installer makes stay inside the prefix: no menu entries on this desktop.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
exec bash "$ROOT/scripts/wine-run.sh" "$@"
