# The test HTTP server for shell scripts and Wine tests. Sourced, never run; safe under
# set -euo pipefail.
#   start_test_server [folder]  copies the folder (default tests/server-root/) into a fresh
#                               temp folder, serves it on a free port of 127.0.0.1 and
#                               exports MOVARIN_TEST_SERVER=http://127.0.0.1:PORT/ and
#                               MOVARIN_TEST_SERVER_ROOT=<the temp folder>. The same folder
#                               is served over TLS too (test-certificates.sh), on three
#                               more ports: MOVARIN_TEST_SERVER_HTTPS (a certificate for
#                               127.0.0.1 from the test CA), ..._HTTPS_WRONG_HOST (the test
#                               CA's certificate for another name) and ..._HTTPS_UNTRUSTED
#                               (a certificate for 127.0.0.1 from a CA nobody trusts).
#                               Without openssl only the plain server runs.
#   stop_test_server            stops the server and removes the temp folder
_TS_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$_TS_ROOT/scripts/test-certificates.sh"

start_test_server() {
  local source_folder=${1:-$_TS_ROOT/tests/server-root}
  if [ ! -d "$source_folder" ]; then
    echo "start_test_server: no folder $source_folder" >&2
    return 1
  fi
  _TS_WORK=$(mktemp -d "${TMPDIR:-/tmp}/movarin-server.XXXXXX") || return 1
  mkdir -p "$_TS_WORK/root"
  cp -R "$source_folder/." "$_TS_WORK/root/" || { rm -rf "$_TS_WORK"; return 1; }
  /usr/bin/python3 "$_TS_ROOT/tools/test_server/make_pictures.py" "$_TS_WORK/root" ||
    { rm -rf "$_TS_WORK"; return 1; }
  local tls=() certificates
  if certificates=$(make_test_certificates); then
    tls=(--tls trusted "$certificates/server.pem" "$certificates/server.key"
         --tls wrong-host "$certificates/wrong-host.pem" "$certificates/wrong-host.key"
         --tls untrusted "$certificates/untrusted.pem" "$certificates/untrusted.key")
  else
    echo "start_test_server: no test certificates, so no TLS" >&2
  fi
  /usr/bin/python3 "$_TS_ROOT/tools/test_server/server.py" --root "$_TS_WORK/root" \
    --port 0 --port-file "$_TS_WORK/port" --idle-exit "${MOVARIN_TEST_SERVER_IDLE:-900}" \
    "${tls[@]}" 2>"$_TS_WORK/server.log" &
  _TS_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$_TS_WORK/port" ]; then
      local port
      port=$(cat "$_TS_WORK/port")
      export MOVARIN_TEST_SERVER="http://127.0.0.1:$port/"
      export MOVARIN_TEST_SERVER_ROOT="$_TS_WORK/root"
      if [ ${#tls[@]} -gt 0 ]; then
        export MOVARIN_TEST_SERVER_HTTPS="https://127.0.0.1:$(cat "$_TS_WORK/port.trusted")/"
        export MOVARIN_TEST_SERVER_HTTPS_WRONG_HOST="https://127.0.0.1:$(cat "$_TS_WORK/port.wrong-host")/"
        export MOVARIN_TEST_SERVER_HTTPS_UNTRUSTED="https://127.0.0.1:$(cat "$_TS_WORK/port.untrusted")/"
      fi
      return 0
    fi
    if ! kill -0 "$_TS_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "start_test_server: the server did not start" >&2
  cat "$_TS_WORK/server.log" >&2 2>/dev/null || true
  stop_test_server
  return 1
}

stop_test_server() {
  if [ -n "${_TS_PID:-}" ]; then
    kill "$_TS_PID" 2>/dev/null || true
    local i
    for i in $(seq 1 50); do
      kill -0 "$_TS_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$_TS_PID" 2>/dev/null || true
    wait "$_TS_PID" 2>/dev/null || true
    _TS_PID=
  fi
  if [ -n "${_TS_WORK:-}" ]; then
    rm -rf "$_TS_WORK"
    _TS_WORK=
  fi
  unset MOVARIN_TEST_SERVER MOVARIN_TEST_SERVER_ROOT MOVARIN_TEST_SERVER_HTTPS \
    MOVARIN_TEST_SERVER_HTTPS_WRONG_HOST MOVARIN_TEST_SERVER_HTTPS_UNTRUSTED
  return 0
}
