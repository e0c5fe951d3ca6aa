#!/usr/bin/env bash
# wine-run.sh [--with-server] <program.exe> [arguments]
# Runs a Windows program of ours under wine64 with the project's prefix and display;
# its exit status is the program's. With --with-server, the test HTTP server is started
# first on a free port of 127.0.0.1 and its address is passed on in MOVARIN_TEST_SERVER
# (its TLS addresses in MOVARIN_TEST_SERVER_HTTPS...), and the prefix is made to trust the
# test certificate authority (once; see scripts/test-certificates.sh).
set -uo pipefail
source "$(dirname "$0")/lib.sh"
with_server=0
if [ "${1:-}" = "--with-server" ]; then with_server=1; shift; fi
if [ -z "${DISPLAY:-}" ]; then ensure_display || exit 1; trap stop_display EXIT; fi
if [ $with_server = 1 ]; then
  source "$ROOT/scripts/test-server.sh"
  start_test_server || exit 1
  trap 'stop_test_server; stop_display' EXIT
  helper="${MOVARIN_BUILD:-$BUILD/win64}/test-tools/trust-test-ca.exe"
  if [ -f "$helper" ]; then
    trust_test_ca "$helper" >&2 || log "the test CA could not be trusted in $WINEPREFIX"
  else
    log "no $helper: the test CA is not trusted in $WINEPREFIX"
  fi
fi
"$WINE_BIN" "$@"
