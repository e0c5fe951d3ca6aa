#!/usr/bin/env bash
# make test: set-up, the four build trees, then every test layer. The last line is
# the summary "N passed, N failed" over all layers.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

bash "$ROOT/scripts/setup.sh" || { echo "0 passed, 1 failed"; exit 1; }
bash "$ROOT/scripts/build.sh" || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

ensure_display || { echo "0 passed, 1 failed"; exit 1; }
trap stop_display EXIT
mkdir -p "$OUT"

passed=0 failed=0
run_layer() {
  local name=$1 tree=$2; shift 2
  log "tests: $name"
  local logf="$BUILD/$tree/ctest-$name.log"
  export MOVARIN_BUILD="$BUILD/$tree"
  (cd "$BUILD/$tree" && ctest --output-on-failure --timeout 900 "$@") 2>&1 | tee "$logf" \
    | grep -E "^(  *[0-9]+/[0-9]+ Test|[0-9]+% tests passed|The following tests FAILED|.*\*\*\*Failed|.*Timeout)" || true
  local line total nfail
  line=$(grep -E "[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+" "$logf" | tail -n 1)
  if [ -z "$line" ]; then
    if grep -q "No tests were found" "$logf"; then return; fi
    log "$name: ctest printed no summary"; failed=$((failed + 1)); return
  fi
  nfail=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  if [ "$nfail" -gt 0 ] && [ "${RERUN_FAILED:-0}" = 1 ]; then
    # The desktop tests drive real windows with real input and timing. A test program
    # that fails is run once more; one that passes then counts, but is named as flaky
    # here, with what its first run printed (below), so a flake never goes unseen.
    log "$name: $nfail failed; running them once more"
    local relog="$BUILD/$tree/ctest-$name-rerun.log"
    (cd "$BUILD/$tree" && ctest --output-on-failure --timeout 900 --rerun-failed "$@") >"$relog" 2>&1
    local reline renfail
    reline=$(grep -E "[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+" "$relog" | tail -n 1)
    if [ -n "$reline" ]; then
      renfail=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$reline")
      grep -E "Test +#[0-9]+: .* Passed" "$relog" | sed -E 's/.*Test +#[0-9]+: ([^ ]+) .*/== FLAKY: \1 failed, then passed when run again/' >&2
      grep -E "\*\*\*Failed|Timeout" "$relog" >&2 || true
      passed=$((passed + nfail - renfail)); failed=$((failed - nfail + renfail))
    fi
  fi
  passed=$((passed + total - nfail)); failed=$((failed + nfail))
  if [ "$nfail" -gt 0 ]; then
    # What each failing case said, so that a run read from its output alone (CI) names it.
    log "$name: what the failing tests printed about their failures"
    grep -v '^ALSA lib' "$logf" | grep -E -A 12 ': Failure$|^\[  FAILED  \]|Timeout|Exception' \
      | head -n 200 >&2 || true
  fi
}

run_layer native native -j 2
run_layer asan asan -j 2 -LE fuzz
# A short fuzzing session per target keeps the run quick; longer runs: see the README.
export MOVARIN_FUZZ_SECONDS=${MOVARIN_FUZZ_SECONDS:-5}
rm -rf "$BUILD/asan/fuzz-coverage"
run_layer fuzz asan -j 2 -L fuzz
# One line per target with the coverage its session reached; a target whose libraries
# carry no coverage instrumentation says BLIND here and fails above.
cat "$BUILD/asan/fuzz-coverage/"*.txt 2>/dev/null || log "fuzz: no target reported its coverage"
"$WINESERVER_BIN" -p 600 >/dev/null 2>&1 || true   # one Wine server for all Wine tests
# Wine starts its background services with the first program it runs; started inside
# ctest they would hold that test's output open and keep ctest waiting until its
# time-out. They start here instead.
"$WINE_BIN" cmd /c exit >/dev/null 2>&1 || true
# The TLS test server's certificate authority, trusted inside the test prefix only.
(source "$ROOT/scripts/test-certificates.sh" &&
 trust_test_ca "$BUILD/win64/test-tools/trust-test-ca.exe") ||
  log "the test CA could not be trusted: the https tests will fail"
# One at a time: every Wine test shares the prefix's desktop, and a window of one
# test must not take the focus from another.
RERUN_FAILED=1 run_layer wine win64 -j 1
"$WINESERVER_BIN" -k >/dev/null 2>&1 || true

# The 32-bit programs, what ships: a smoke set under wine32 and the i386 emulator, in a
# prefix of its own. A machine that cannot run them (no root, no binfmt_misc) skips it
# with the reason; a set-up that fails on a machine that can counts as a failure.
bash "$ROOT/scripts/setup-ship32.sh"
case $? in
  0) rm -f "$BUILD/ship32-counts"
     (
       source "$ROOT/scripts/lib32.sh"
       "$WINESERVER_BIN" -p 600 >/dev/null 2>&1 || true
       "$WINE_BIN" cmd /c exit >/dev/null 2>&1 || true
       RERUN_FAILED=1 run_layer ship32 win32 -L ship32
       "$WINESERVER_BIN" -k >/dev/null 2>&1 || true
       echo "$passed $failed" >"$BUILD/ship32-counts"
     )
     read -r passed failed <"$BUILD/ship32-counts" || failed=$((failed + 1)) ;;
  3) log "ship32: skipped, this machine cannot run the 32-bit programs (reason above)" ;;
  *) log "ship32: the set-up failed"; failed=$((failed + 1)) ;;
esac

bash "$ROOT/scripts/bench.sh" --quick || log "benchmarks failed (not counted as tests)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
