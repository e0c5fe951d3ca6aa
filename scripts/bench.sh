#!/usr/bin/env bash
# bench.sh [--quick]: runs every benchmark program in bench/ and prints their ratios.
# Each program measures its own reference in the same run (see bench/README.md).
set -uo pipefail
source "$(dirname "$0")/lib.sh"
quick=0; [ "${1:-}" = "--quick" ] && quick=1
[ -d "$BUILD/native/bench" ] || bash "$ROOT/scripts/build.sh" native
status=0
for runner in "$ROOT"/bench/*/run.sh; do
  [ -f "$runner" ] || continue
  log "benchmark $(basename "$(dirname "$runner")")"
  MOVARIN_BENCH_QUICK=$quick bash "$runner" || status=1
done
exit $status
