#!/usr/bin/env bash
# The window skin under Wine: a full redraw of a main-window-sized skin as a ratio to a
# plain FillRect of the same size, and hover ticks that change nothing, which must draw
# nothing (their time as a ratio to the ticks that do draw), measured in the same run.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
timer="$BUILD/win64/app/bench/skin-timer.exe"
[ -e "$timer" ] || { echo "skin: $timer is not built"; exit 1; }
runs=9; [ "${MOVARIN_BENCH_QUICK:-0}" = 1 ] && runs=3
trap stop_display EXIT
ensure_display
out=$("$WINE_BIN" "$timer" "$runs" | tr -d '\r')
awk '{ v[$1] = $2 } END {
  printf "skin: full redraw of a 593 x 489 skin %.0f us, plain FillRect of the same size %.0f us, ratio %.1f\n", v["redraw_us"], v["fill_us"], v["redraw_us"] / v["fill_us"]
  printf "skin: idle hover tick %.2f us, drew %d times (buttons painted %d times); a changing tick %.2f us, drew %d of %d; ratio idle / changing %.2f\n", v["idle_tick_us"], v["idle_draws"], v["idle_paints"], v["changing_tick_us"], v["changing_draws"], v["changing_ticks"], v["idle_tick_us"] / v["changing_tick_us"]
  if (v["idle_draws"] != 0 || v["idle_paints"] != 0) { print "skin: an idle hover tick drew"; exit 1 }
}' <<<"$out"
