#!/usr/bin/env bash
# Our DEFLATE decoder against zlib on the same 16 MB of filtered picture rows, and the
# decoding of a 2048 x 2048 RGBA PNG, in the same run; prints the ratios at the end.
# Builds nothing: scripts/bench.sh builds the native tree first.
# MOVARIN_BENCH_QUICK=1 makes it a short run.
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
bin="$ROOT/build/native/bench/imaging/imaging_bench"
if [ ! -x "$bin" ]; then
  echo "imaging: $bin is not built" >&2
  exit 1
fi
args=(--benchmark_color=false)
if [ "${MOVARIN_BENCH_QUICK:-0}" = 1 ]; then
  args+=(--benchmark_min_time=0.1 --benchmark_repetitions=1)
else
  args+=(--benchmark_min_time=1 --benchmark_repetitions=5)
fi
exec "$bin" "${args[@]}"
