# The test HTTP server for shell scripts and Wine tests. Sourced, never run; safe under
# set -euo pipefail.
#   start_test_server [folder]  copies the folder (default tests/server-root/) into a fresh
#                               temp folder, serves it on a free port of 127.0.0.1 and
#                               exports MOVARIN_TEST_SERVER=http://127.0.0.1:PORT/ and
#                               MOVARIN_TEST_SERVER_ROOT=<the temp folder>
#   stop_test_server            stops the server and removes the temp folder
_TS_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

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
  /usr/bin/python3 "$_TS_ROOT/tools/test_server/server.py" --root "$_TS_WORK/root" \
    --port 0 --port-file "$_TS_WORK/port" --idle-exit "${MOVARIN_TEST_SERVER_IDLE:-900}" \
    2>"$_TS_WORK/server.log" &
  _TS_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$_TS_WORK/port" ]; then
      local port
      port=$(cat "$_TS_WORK/port")
      export MOVARIN_TEST_SERVER="http://127.0.0.1:$port/"
      export MOVARIN_TEST_SERVER_ROOT="$_TS_WORK/root"
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
  unset MOVARIN_TEST_SERVER MOVARIN_TEST_SERVER_ROOT
  return 0
}
