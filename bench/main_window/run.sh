#!/usr/bin/env bash
# The main window with a large catalogue, as a ratio to the same program on a small one,
# measured in the same run: start-up until the list is shown, and one search whose
# answer is a handful of rows. Goal: 100,000 rows up and listed in under a second.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
tool="$BUILD/native/tools/catalog/movarin-catalog"
timer="$BUILD/win64/app/bench/main-window-timer.exe"
movarin="$BUILD/win64/app/Movarin.exe"
for f in "$tool" "$timer" "$movarin"; do
  [ -e "$f" ] || { echo "main_window: $f is not built"; exit 1; }
done
runs=5; [ "${MOVARIN_BENCH_QUICK:-0}" = 1 ] && runs=2
work=$(mktemp -d); trap 'rm -rf "$work"; stop_display' EXIT
ensure_display

measure() {  # rows -> prints "startup search"
  local rows=$1 dir="$work/app$1"
  mkdir -p "$dir"
  { echo "Filename,Version"
    awk -v n="$rows" 'BEGIN { for (i = 0; i < n; i++) printf "lib%06d_%c%c.dll,1.0.%d.0\n", i, 97 + i % 26, 97 + (i / 26) % 26, i % 1000 }'
    echo "zzqmarker.ocx,9.9"; } > "$dir/c.csv"
  "$tool" build --from-csv "$dir/c.csv" -o "$dir/database.mdb" >/dev/null
  cp "$movarin" "$dir/"
  # The pictures and sounds, as they ship beside the program.
  cp -r "$(dirname "$movarin")/Images" "$(dirname "$movarin")/Sounds" "$dir/"
  # A server where nothing listens: the start-up windows end at once.
  printf '[Server]\r\nBaseUrl=http://127.0.0.1:9/\r\n' >"$dir/Movarin.ini"
  "$WINE_BIN" "$timer" "$(printf 'Z:%s' "$dir/Movarin.exe" | tr / '\\')" "$runs" zzq 1 \
    | tr -d '\r' | awk '/startup_ms/ { s = $2 } /search_ms/ { q = $2 } END { print s, q }'
}

read -r small_start small_search < <(measure 1000)
read -r large_start large_search < <(measure 100000)
if [ -z "$small_search" ] || [ -z "$large_search" ]; then
  echo "main_window: the timer measured nothing (see its message above)"
  exit 1
fi
awk -v a="$small_start" -v b="$large_start" -v c="$small_search" -v d="$large_search" 'BEGIN {
  printf "main_window: start-up until listed: 1,000 rows %.0f ms, 100,000 rows %.0f ms, ratio %.2f\n", a, b, b / a
  printf "main_window: one search:            1,000 rows %.1f ms, 100,000 rows %.1f ms, ratio %.2f\n", c, d, d / c
}'
