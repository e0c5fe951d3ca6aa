#!/usr/bin/env bash
# run-fuzz.sh <fuzz target> <fuzz/<name> folder> <seconds>
# Replays every saved crash input, then fuzzes for a short while from the seeds and
# prints one line with the coverage the session reached:
#   fuzz coverage: <name> cov N ft N corpus N exec/s N, N functions of the libraries reached
# A target that reaches no function of the libraries it calls is fuzzing blind (their
# code carries no coverage instrumentation, so libFuzzer gets no feedback from it): the
# test fails. The line is also kept in $MOVARIN_BUILD/fuzz-coverage/<name>.txt, which
# scripts/test.sh prints after the fuzz layer.
set -euo pipefail
target=$1 dir=$2 seconds=${MOVARIN_FUZZ_SECONDS:-$3}
name=$(basename "$target")
source_root=$(cd "$(dirname "$0")/.." && pwd)
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
status=0
"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_coverage=1 \
  -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log"
  exit "$status"
fi

# The last status line: "#N DONE cov: N ft: N corp: N/Nb lim: N exec/s: N rss: NMb".
last=$(grep -E '^#[0-9]+.*cov: [0-9]+' "$work/log" | tail -n 1)
field() { sed -nE "s|.* $1: ([0-9]+).*|\1|p" <<<"$last"; }
# Covered functions defined in the repository's own sources outside fuzz/: the
# decoders' code, not the harness and not inline library templates.
reached=$(grep -E '^COVERED_FUNC:' "$work/log" \
  | grep -F " $source_root/" | grep -vF " $source_root/fuzz/" \
  | grep -cE '\.cpp:[0-9]+$' || true)
# The harness's own functions are always reached: without them named, the covered
# functions were not symbolised and nothing can be told.
harness=$(grep -E '^COVERED_FUNC:' "$work/log" | grep -cF " $source_root/fuzz/" || true)
line="fuzz coverage: $name cov $(field cov) ft $(field ft) corpus $(field corp) exec/s $(field exec/s), $reached functions of the libraries reached"
if [ "$harness" -eq 0 ]; then
  line="$line: UNKNOWN, the covered functions were not symbolised (llvm-symbolizer missing?)"
  reached=0
elif [ "$reached" -eq 0 ]; then
  line="$line: BLIND, the libraries carry no coverage instrumentation"
fi
echo "$line"
if [ -n "${MOVARIN_BUILD:-}" ]; then
  mkdir -p "$MOVARIN_BUILD/fuzz-coverage"
  echo "$line" >"$MOVARIN_BUILD/fuzz-coverage/$name.txt"
fi
[ "$reached" -gt 0 ]
