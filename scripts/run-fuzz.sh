#!/usr/bin/env bash
# run-fuzz.sh <fuzz target> <fuzz/<name> folder> <seconds>
# Replays every saved crash input, then fuzzes for a short while from the seeds.
set -euo pipefail
target=$1 dir=$2 seconds=${MOVARIN_FUZZ_SECONDS:-$3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shopt -s nullglob
crashes=()
for f in "$dir"/crashes/*; do [ -f "$f" ] && crashes+=("$f"); done
if [ ${#crashes[@]} -gt 0 ]; then
  "$target" -runs=1 "${crashes[@]}"
fi
mkdir -p "$work/corpus"
[ -d "$dir/corpus" ] && cp -r "$dir/corpus/." "$work/corpus/" 2>/dev/null || true
"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -artifact_prefix="$work/" "$work/corpus" 2>&1 | tail -n 3
