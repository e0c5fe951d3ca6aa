#!/usr/bin/env bash
# bench.sh [--quick]: runs every benchmark program in bench/ and prints their ratios, then
# the ratios again in one summary block (make test ends with it, before its own count).
# Each program measures its own reference in the same run (see bench/README.md).
set -uo pipefail
source "$(dirname "$0")/lib.sh"
quick=0; [ "${1:-}" = "--quick" ] && quick=1
[ -d "$BUILD/native/bench" ] || bash "$ROOT/scripts/build.sh" native
status=0
summary=$(mktemp "${TMPDIR:-/tmp}/movarin-bench-summary.XXXXXX")
trap 'rm -f "$summary"' EXIT
for runner in "$ROOT"/bench/*/run.sh; do
  [ -f "$runner" ] || continue
  log "benchmark $(basename "$(dirname "$runner")")"
  # Wine's ALSA driver complains once per start on a machine without a sound card.
  MOVARIN_BENCH_QUICK=$quick bash "$runner" 2>&1 | grep --line-buffered -v '^ALSA lib' | tee -a "$summary"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
done
echo "benchmark summary (ratios, each against its reference in the same run):"
grep -i -w 'ratio' "$summary" | grep -v 'no ratio' | sed 's/^/  /'
exit $status
