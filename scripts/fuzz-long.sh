#!/usr/bin/env bash
# fuzz-long.sh <target> [seconds]: a long guided session of one fuzz target of the asan
# tree (default ten minutes), at low priority. The target keeps going after a crash; each
# crashing input lands in fuzz/<target>/crashes, and the inputs that reach new coverage
# are merged into fuzz/<target>/corpus (only those that reach new edges, so it stays small).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
name=$1 seconds=${2:-600}
binary="$BUILD/asan/fuzz/$name/$name"
dir="$ROOT/fuzz/$name"
[ -x "$binary" ] || { log "build the asan tree first: $binary is missing"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/grown" "$dir/crashes"
cp "$dir/corpus/." "$work/grown/" -r
# The program is copied so that a rebuild during the session does not pull it away.
cp "$binary" "$work/$name"
log "$name: fuzzing for $seconds seconds"
nice -n 15 "$work/$name" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
  -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$dir/crashes/" "$work/grown" >"$work/log" 2>&1 || true
grep -E '^#[0-9]+' "$work/log" | tail -n 1
nice -n 15 "$work/$name" -merge=1 -use_counters=0 -rss_limit_mb=2048 -timeout=10 \
  "$dir/corpus" "$work/grown" >"$work/merge.log" 2>&1 || { tail -n 20 "$work/merge.log"; exit 1; }
grep -E 'MERGE-OUTER: [0-9]+ new files' "$work/merge.log" || true
ls "$dir/crashes"
