#!/usr/bin/env bash
# make run: set-up, the trees the demo needs, then the demo (scripts/demo.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" native win64
exec bash "$ROOT/scripts/demo.sh"
