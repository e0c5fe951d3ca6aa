#!/usr/bin/env bash
# The prefix search on a 100,000-row catalogue against a full LIKE scan of the same rows,
# in the same run. Builds nothing: scripts/bench.sh builds the native tree first.
# MOVARIN_BENCH_QUICK=1 makes it a short run.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
bin="$ROOT/build/native/bench/catalogue_search/catalogue_search_bench"
if [ ! -x "$bin" ]; then
  echo "catalogue_search: $bin is not built" >&2
  exit 1
fi
args=(--benchmark_color=false)
if [ "${MOVARIN_BENCH_QUICK:-0}" = 1 ]; then
  args+=(--benchmark_min_time=0.1 --benchmark_repetitions=1)
else
  args+=(--benchmark_min_time=1 --benchmark_repetitions=3 --benchmark_report_aggregates_only=false)
fi
exec "$bin" "${args[@]}"
