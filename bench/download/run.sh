#!/usr/bin/env bash
# The download engine's throughput and memory: movarin-get under Wine fetches a 10 MB and a
# 100 MB file from the local test server, and in the same run curl fetches the same files
# (the reference) and WinINet alone reads them (the floor Wine's WinINet sets). Prints the
# throughput ratios (medians of the runs, and the best runs) and the peak working set per
# size. MOVARIN_BENCH_QUICK=1: 10 MB only, fewer runs.
# The files are generated in the server's temp folder, never in the repository.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
source "$ROOT/scripts/test-server.sh"

get_exe="$BUILD/win64/app/tools/movarin-get.exe"
ref_exe="$BUILD/win64/app/bench/wininet_read_reference.exe"
if [ ! -f "$get_exe" ] || [ ! -f "$ref_exe" ]; then
  [ -f "$BUILD/win64/build.ninja" ] || bash "$ROOT/scripts/build.sh" win64 || exit 1
  cmake --build "$BUILD/win64" --target movarin-get wininet_read_reference -j 2 >/dev/null || exit 1
fi

# A 10 MB run takes some tens of milliseconds, where one scheduling hiccup counts: the
# medians need many runs, and a run costs little more than starting Wine.
if [ "${MOVARIN_BENCH_QUICK:-0}" = 1 ]; then sizes=(10); runs=9; else sizes=(10 100); runs=15; fi

work=$(mktemp -d "${TMPDIR:-/tmp}/movarin-bench-download.XXXXXX")
cleanup() { stop_test_server; rm -rf "$work"; }
trap cleanup EXIT
start_test_server || exit 1

winpath() { printf 'Z:%s' "${1//\//\\}"; }
# The smallest, and the median, of the numbers on standard input (one a line; the
# reference prints CR LF line ends).
best() { tr -d '\r' | sort -g | head -n 1; }
median() { tr -d '\r' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

status=0
declare -A peak
for size in "${sizes[@]}"; do
  name="bench-$size.bin"
  head -c $((size * 1000000)) /dev/urandom >"$MOVARIN_TEST_SERVER_ROOT/files/$name"
  url="${MOVARIN_TEST_SERVER}files/$name"
  curl -s -o /dev/null "$url"  # warm the server's page cache for everyone alike
  : >"$work/curl" ; : >"$work/ours" ; : >"$work/ref" ; : >"$work/peak"
  for _ in $(seq 1 "$runs"); do
    # Every run writes a new file, as a download of a missing library does: replacing the
    # previous run's file would add the file system's flush of the new data at the rename
    # (ext4 does so when a file replaces another) to curl's and movarin-get's time alike.
    rm -f "$work/curl.bin" "$work/ours.bin"
    curl -s -H 'Range: bytes=0-' -o "$work/curl.bin" -w '%{time_total}\n' "$url" >>"$work/curl"
    "$WINE_BIN" "$ref_exe" "$url" 2>/dev/null | sed -n 's/^elapsed seconds: //p' >>"$work/ref"
    "$WINE_BIN" "$get_exe" "$url" "$(winpath "$work/ours.bin")" --stats >"$work/out" 2>/dev/null
    if ! grep -q '^result: True$' "$work/out" || ! cmp -s "$work/ours.bin" "$MOVARIN_TEST_SERVER_ROOT/files/$name"; then
      log "movarin-get failed on $size MB: $(tail -n 4 "$work/out" | tr '\n' ' ')"
      status=1
      continue
    fi
    sed -n 's/^elapsed seconds: //p' "$work/out" >>"$work/ours"
    sed -n 's/^peak working set: //p' "$work/out" >>"$work/peak"
  done
  [ -s "$work/ours" ] || continue
  curl_s=$(median <"$work/curl"); ours_s=$(median <"$work/ours"); ref_s=$(median <"$work/ref")
  curl_b=$(best <"$work/curl"); ours_b=$(best <"$work/ours"); ref_b=$(best <"$work/ref")
  peak[$size]=$(sort -g "$work/peak" | tail -n 1)
  awk -v n="$size" -v k="$runs" -v c="$curl_s" -v o="$ours_s" -v r="$ref_s" -v cb="$curl_b" -v ob="$ours_b" \
      -v rb="$ref_b" -v p="${peak[$size]}" 'BEGIN {
    printf "download %d MB: medians of %d runs: curl %.3f s, movarin-get %.3f s, WinINet alone %.3f s\n", n, k, c, o, r
    printf "download %d MB: throughput ratio movarin-get/curl %.3f (goal >= 0.25), movarin-get/WinINet alone %.3f (goal >= 0.8)\n", n, c / o, r / o
    printf "download %d MB: best runs: movarin-get/curl %.3f, movarin-get/WinINet alone %.3f\n", n, cb / ob, rb / ob
    printf "download %d MB: peak working set %.1f MB\n", n, p / 1048576 }'
done
if [ -n "${peak[10]:-}" ] && [ -n "${peak[100]:-}" ]; then
  awk -v a="${peak[10]}" -v b="${peak[100]}" 'BEGIN {
    printf "download: peak working set 100 MB / 10 MB = %.2f (flat when near 1)\n", b / a }'
fi
exit $status
