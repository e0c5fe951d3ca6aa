#!/usr/bin/env bash
# Listing a 100,000-row catalogue: movarin-catalog list as a whole program and our open +
# list in-process, each against mdb-export on the same file, run in turns in the same run.
# Builds nothing: scripts/bench.sh builds the native tree first.
# MOVARIN_BENCH_QUICK=1 makes it a short run; further arguments go to the benchmark
# (--other-tool <movarin-catalog> compares another build of the tool in the same rounds).
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
bin="$ROOT/build/native/bench/catalogue_open/catalogue_open_bench"
tool="$ROOT/build/native/tools/catalog/movarin-catalog"
for f in "$bin" "$tool"; do
  if [ ! -x "$f" ]; then
    echo "catalogue_open: $f is not built" >&2
    exit 1
  fi
done
rounds=15
[ "${MOVARIN_BENCH_QUICK:-0}" = 1 ] && rounds=5
exec "$bin" --tool "$tool" --rounds "$rounds" "$@"
