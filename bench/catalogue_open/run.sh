#!/usr/bin/env bash
# Opening and listing a 100,000-row catalogue with our reader, against mdb-export on the
# same file in the same run. Builds nothing: scripts/bench.sh builds the native tree first.
# MOVARIN_BENCH_QUICK=1 makes it a short run.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
bin="$ROOT/build/native/bench/catalogue_open/catalogue_open_bench"
tool="$ROOT/build/native/tools/catalog/movarin-catalog"
if [ ! -x "$bin" ]; then
  echo "catalogue_open: $bin is not built" >&2
  exit 1
fi
args=(--benchmark_color=false)
[ -x "$tool" ] && args+=(--tool "$tool")
if [ "${MOVARIN_BENCH_QUICK:-0}" = 1 ]; then
  args+=(--benchmark_min_time=0.2 --benchmark_repetitions=1)
else
  args+=(--benchmark_min_time=2 --benchmark_repetitions=3 --benchmark_report_aggregates_only=false)
fi
exec "$bin" "${args[@]}"
