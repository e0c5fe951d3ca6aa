#!/usr/bin/env bash
# test_server_test.sh <group>: checks one group of the test server's behaviours with curl
# against a real server started through scripts/test-server.sh.
set -uo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../../.." && pwd)"
source "$ROOT/scripts/test-server.sh"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_eq() { # <what> <expected> <actual>
  if [ "$2" != "$3" ]; then fail "$1: expected [$2], got [$3]"; fi
}
expect_contains() { # <what> <needle> <haystack>
  if [[ "$3" != *"$2"* ]]; then fail "$1: [$2] missing from [$3]"; fi
}

start_test_server || { echo "FAIL: the server did not start" >&2; exit 1; }
trap stop_test_server EXIT
S=$MOVARIN_TEST_SERVER
R=$MOVARIN_TEST_SERVER_ROOT
WORK=$(mktemp -d)
trap 'stop_test_server; rm -rf "$WORK"' EXIT

ctl() { curl -s -o /dev/null -w '%{http_code}' "${S}__control/$1"; }
ctl_log() { curl -s "${S}__control/log"; }
# The status line exactly as sent, CR stripped.
status_line() { curl -s -o /dev/null -D - "$@" | head -n 1 | tr -d '\r'; }
header() { # <name> <curl args...>: the value of one response header
  local name=$1; shift
  curl -s -o /dev/null -D - "$@" | tr -d '\r' | grep -i "^$name: " | head -n 1 | cut -d' ' -f2-
}

group_files() {
  # The served copy is independent of the source folder and byte-exact.
  expect_eq "root is a temp copy" "1" "$([ "$R" != "$ROOT/tests/server-root" ] && [ -f "$R/Ads2.htm" ] && echo 1)"
  curl -s -o "$WORK/got" "${S}files/sample3000.bin"
  expect_eq "GET body" "$(sha1sum <"$R/files/sample3000.bin")" "$(sha1sum <"$WORK/got")"
  expect_eq "GET status" "HTTP/1.1 200 OK" "$(status_line "${S}files/sample3000.bin")"
  expect_eq "Content-Length" "3000" "$(header Content-Length "${S}files/sample3000.bin")"
  local lm; lm=$(header Last-Modified "${S}files/sample3000.bin")
  expect_eq "Last-Modified is the file's time" "$(date -u -r "$R/files/sample3000.bin" '+%a, %d %b %Y %H:%M:%S GMT')" "$lm"
  # HEAD: the same head, no body.
  local head; head=$(curl -s -I "${S}database.txt" -o /dev/null -w '%{http_code}')
  expect_eq "HEAD of a missing file" "404" "$head"
  expect_eq "HEAD length" "3000" "$(curl -s -I "${S}files/sample3000.bin" | tr -d '\r' | grep -i '^Content-Length:' | cut -d' ' -f2)"
  expect_eq "HEAD sends no body" "0" "$(curl -s --head -o /dev/null -w '%{size_download}' "${S}files/sample3000.bin")"
  # A file added to the served folder at run time is served at once.
  printf 'new' > "$R/files/added.dll"
  expect_eq "file added at run time" "new" "$(curl -s "${S}files/added.dll")"
  expect_eq "missing file" "HTTP/1.1 404 Not Found" "$(status_line "${S}files/none.dll")"
  expect_eq "query string ignored" "$(cat "$R/checkversion.php")" "$(curl -s "${S}checkversion.php?x=1")"
  # Nothing outside the served folder is reachable.
  expect_eq "dot-dot escape" "404" "$(curl -s --path-as-is -o /dev/null -w '%{http_code}' "${S}files/../../port")"
  expect_eq "encoded dot-dot escape" "404" "$(curl -s --path-as-is -o /dev/null -w '%{http_code}' "${S}%2e%2e/port")"
  expect_eq "folder is not a file" "404" "$(curl -s -o /dev/null -w '%{http_code}' "${S}files/")"
  # A file larger than one send piece, whole and from an offset.
  head -c 3000000 /dev/urandom > "$R/files/large.bin"
  curl -s -o "$WORK/large" "${S}files/large.bin"
  expect_eq "large file" "$(sha1sum <"$R/files/large.bin")" "$(sha1sum <"$WORK/large")"
  curl -s -H 'Range: bytes=1000001-' -o "$WORK/large" "${S}files/large.bin"
  expect_eq "large file from an offset" "$(tail -c +1000002 "$R/files/large.bin" | sha1sum)" "$(sha1sum <"$WORK/large")"
  # Two requests on one kept-alive connection.
  local both; both=$(curl -s "${S}files/readme.txt" "${S}files/readme.txt" -w '%{num_connects}\n' -o /dev/null -o /dev/null)
  expect_eq "keep-alive reuses the connection" $'1\n0' "$both"
}

group_ranges() {
  curl -s -H 'Range: bytes=1000-' -o "$WORK/part" -D "$WORK/head" "${S}files/sample3000.bin"
  expect_eq "range status" "HTTP/1.1 206 Partial Content" "$(head -n 1 "$WORK/head" | tr -d '\r')"
  expect_contains "Content-Range" "Content-Range: bytes 1000-2999/3000" "$(cat "$WORK/head")"
  expect_contains "range length" "Content-Length: 2000" "$(cat "$WORK/head")"
  expect_eq "range body" "$(tail -c 2000 "$R/files/sample3000.bin" | sha1sum)" "$(sha1sum <"$WORK/part")"
  expect_eq "bytes=0- is the whole file" "3000" "$(curl -s -H 'Range: bytes=0-' -o /dev/null -w '%{size_download}' "${S}files/sample3000.bin")"
  expect_eq "bytes=0- answers 206" "206" "$(curl -s -H 'Range: bytes=0-' -o /dev/null -w '%{http_code}' "${S}files/sample3000.bin")"
  expect_eq "closed range" "$(head -c 20 "$R/files/sample3000.bin" | tail -c 11 | od -An -tx1)" \
    "$(curl -s -H 'Range: bytes=9-19' "${S}files/sample3000.bin" | od -An -tx1)"
  expect_eq "suffix range" "100" "$(curl -s -H 'Range: bytes=-100' -o /dev/null -w '%{size_download}' "${S}files/sample3000.bin")"
  expect_eq "range beyond the end" "416" "$(curl -s -H 'Range: bytes=3000-' -o /dev/null -w '%{http_code}' "${S}files/sample3000.bin")"
  expect_eq "416 Content-Range" "bytes */3000" "$(header Content-Range -H 'Range: bytes=5000-' "${S}files/sample3000.bin")"
  local bad
  for bad in 'pages=1-' 'bytes=+5-' 'bytes=1_0-' 'bytes=5-2' 'bytes=1-2,4-5' 'bytes=x-'; do
    expect_eq "malformed range $bad served whole" "200" "$(curl -s -H "Range: $bad" -o /dev/null -w '%{http_code}' "${S}files/sample3000.bin")"
  done
  # Bad behaviours keep the range: a slow ranged answer is still 206 with the right bytes.
  ctl "set?path=/files/sample3000.bin&mode=slow&bytes=500&delay_ms=1" >/dev/null
  curl -s -H 'Range: bytes=2500-' -o "$WORK/slow" "${S}files/sample3000.bin"
  expect_eq "slow range body" "$(tail -c 500 "$R/files/sample3000.bin" | sha1sum)" "$(sha1sum <"$WORK/slow")"
}

group_control() {
  expect_eq "set answers 200" "200" "$(ctl 'set?path=/files/readme.txt&mode=status&status=500%20Internal%20Server%20Error')"
  expect_eq "behaviour applies" "HTTP/1.1 500 Internal Server Error" "$(status_line "${S}files/readme.txt")"
  expect_eq "other paths stay normal" "200" "$(curl -s -o /dev/null -w '%{http_code}' "${S}files/sample3000.bin")"
  ctl "set?path=/files/readme.txt&mode=normal" >/dev/null
  expect_eq "mode=normal restores" "200" "$(curl -s -o /dev/null -w '%{http_code}' "${S}files/readme.txt")"
  # A path without its leading slash, then reset.
  ctl "set?path=files/readme.txt&mode=zero-length" >/dev/null
  expect_eq "path without slash" "0" "$(header Content-Length "${S}files/readme.txt")"
  ctl reset >/dev/null
  expect_eq "reset restores" "46" "$(header Content-Length "${S}files/readme.txt")"
  # '*' covers every path without a behaviour of its own.
  ctl "set?path=*&mode=status&status=401%20Unauthorized" >/dev/null
  ctl "set?path=/Ads2.htm&mode=normal&header=X-Test:%20yes" >/dev/null
  expect_eq "wildcard" "401" "$(curl -s -o /dev/null -w '%{http_code}' "${S}checkversion.php")"
  expect_eq "own behaviour beats wildcard" "200" "$(curl -s -o /dev/null -w '%{http_code}' "${S}Ads2.htm")"
  expect_eq "extra header" "yes" "$(header X-Test "${S}Ads2.htm")"
  ctl reset >/dev/null
  # times=N: the behaviour wears off.
  ctl "set?path=/files/readme.txt&mode=status&status=404%20Not%20Found&times=2" >/dev/null
  local codes=""
  for _ in 1 2 3; do codes+=$(curl -s -o /dev/null -w '%{http_code} ' "${S}files/readme.txt"); done
  expect_eq "times=2" "404 404 200 " "$codes"
  # body and omit.
  ctl "set?path=/checkversion.php&body=checkupdates%20ccc3ddd&omit=Last-Modified" >/dev/null
  expect_eq "body replaces the file" "checkupdates ccc3ddd" "$(curl -s "${S}checkversion.php")"
  expect_eq "omitted header" "" "$(header Last-Modified "${S}checkversion.php")"
  expect_eq "length of the set body" "20" "$(header Content-Length "${S}checkversion.php")"
  # Malformed control requests are refused with a reason, and change nothing.
  expect_eq "unknown mode" "400" "$(ctl 'set?path=/x&mode=explode')"
  expect_eq "missing path" "400" "$(ctl 'set?mode=stall')"
  expect_eq "status without text" "400" "$(ctl 'set?path=/x&mode=status')"
  expect_eq "header injection" "400" "$(ctl 'set?path=/x&mode=status&status=200%20OK%0d%0aX:%201')"
  expect_eq "non-number" "400" "$(ctl 'set?path=/x&mode=slow&delay_ms=abc')"
  expect_eq "out of range" "400" "$(ctl 'set?path=/x&mode=slow&delay_ms=-5')"
  expect_eq "unknown control" "404" "$(ctl 'explode')"
  # The log: request lines and headers in order, control requests left out.
  ctl reset >/dev/null
  curl -s -o /dev/null -H 'Range: bytes=0-' "${S}files/readme.txt"
  curl -s -o /dev/null -I "${S}database.mdb"
  local log; log=$(curl -s "${S}__control/log")
  expect_eq "log request lines" $'GET /files/readme.txt HTTP/1.1\nHEAD /database.mdb HTTP/1.1' \
    "$(tr -d '\r' <<<"$log" | grep -E '^(GET|HEAD) ')"
  expect_contains "log keeps headers" "Range: bytes=0-" "$log"
  expect_contains "log lines end in CR LF" $'Range: bytes=0-\r\n' "$log"
  ctl reset >/dev/null
  expect_eq "reset clears the log" "" "$(curl -s "${S}__control/log")"
}

group_statuses() {
  local text
  for text in "404 File Not Found" "404 Not Found" "404 Object Not Found" "500 Internal Server Error" \
              "401 Unauthorized" "204 No Content" "200 OK" "302 Moved"; do
    ctl "set?path=/files/readme.txt&mode=status&status=${text// /%20}" >/dev/null
    expect_eq "status line" "HTTP/1.1 $text" "$(status_line "${S}files/readme.txt")"
    expect_eq "HEAD status line" "HTTP/1.1 $text" "$(status_line -I "${S}files/readme.txt")"
  done
  # The exact bytes of the head: status line and headers end in CR LF (curl -v shows them).
  ctl "set?path=/files/readme.txt&mode=status&status=404%20File%20Not%20Found" >/dev/null
  expect_eq "raw status line" "$(printf 'HTTP/1.1 404 File Not Found\r\n' | od -An -tx1)" \
    "$(curl -s -D - -o /dev/null "${S}files/readme.txt" | head -n 1 | od -An -tx1)"
  expect_contains "curl -sv shows it" "< HTTP/1.1 404 File Not Found" "$(curl -sv -o /dev/null "${S}files/readme.txt" 2>&1)"
  ctl "set?path=/files/readme.txt&mode=status&status=401%20Unauthorized" >/dev/null
  expect_contains "401 asks for credentials" "Basic" "$(header WWW-Authenticate "${S}files/readme.txt")"
  ctl "set?path=/files/readme.txt&mode=status&status=204%20No%20Content" >/dev/null
  expect_eq "204 has no body" "0" "$(curl -s -o /dev/null -w '%{size_download}' "${S}files/readme.txt")"
  ctl "set?path=/files/readme.txt&mode=status&status=500%20Internal%20Server%20Error&body=broken" >/dev/null
  expect_eq "status with body" "broken" "$(curl -s "${S}files/readme.txt")"
  # raw: the answer is exactly the given bytes; close: no answer at all.
  expect_eq "raw needs a body" "400" "$(ctl 'set?path=/x&mode=raw')"
  ctl "set?path=/files/readme.txt&mode=raw&body=HTTP/1.1%20%0D%0A%0D%0A" >/dev/null
  expect_eq "raw bytes" "$(printf 'HTTP/1.1 \r\n\r\n' | od -An -tx1)" \
    "$(printf 'GET /files/readme.txt HTTP/1.1\r\nHost: x\r\n\r\n' | curl -s --max-time 5 telnet://127.0.0.1:${S##*:} 2>/dev/null | od -An -tx1)"
  ctl "set?path=/files/readme.txt&mode=close" >/dev/null
  curl -s -o /dev/null "${S}files/readme.txt"
  expect_eq "close: empty reply (52)" "52" "$?"
}

group_lengths() {
  ctl "set?path=/files/sample3000.bin&mode=no-length" >/dev/null
  curl -s -D "$WORK/head" -o "$WORK/body" "${S}files/sample3000.bin"
  expect_eq "no-length: no Content-Length" "" "$(grep -i '^Content-Length' "$WORK/head")"
  expect_eq "no-length: whole body then close" "$(sha1sum <"$R/files/sample3000.bin")" "$(sha1sum <"$WORK/body")"
  ctl "set?path=/files/sample3000.bin&mode=long-length" >/dev/null
  curl -s -D "$WORK/head" -o "$WORK/body" "${S}files/sample3000.bin"; local rc=$?
  expect_eq "long-length: announced" "4000" "$(grep -i '^Content-Length' "$WORK/head" | tr -d '\r' | cut -d' ' -f2)"
  expect_eq "long-length: short body" "3000" "$(stat -c %s "$WORK/body")"
  expect_eq "long-length: curl sees a short transfer" "18" "$rc"
  ctl "set?path=/files/sample3000.bin&mode=long-length&length=99999" >/dev/null
  expect_eq "long-length: given length" "99999" "$(header Content-Length "${S}files/sample3000.bin")"
  ctl "set?path=/files/sample3000.bin&mode=zero-length" >/dev/null
  curl -s -D "$WORK/head" -o "$WORK/body" "${S}files/sample3000.bin"
  expect_contains "zero-length header" "Content-Length: 0" "$(cat "$WORK/head")"
  expect_eq "zero-length status" "HTTP/1.1 200 OK" "$(head -n 1 "$WORK/head" | tr -d '\r')"
  expect_eq "zero-length body" "0" "$(stat -c %s "$WORK/body")"
  ctl "set?path=/files/sample3000.bin&mode=reset&bytes=1000" >/dev/null
  curl -s -o "$WORK/body" "${S}files/sample3000.bin"; rc=$?
  expect_eq "reset: curl sees a reset (56)" "56" "$rc"
  expect_eq "reset: body bytes before the reset" "1000" "$(stat -c %s "$WORK/body")"
  local heads=0 i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    [ "$(header Content-Length -I "${S}files/sample3000.bin")" = 3000 ] && heads=$((heads + 1))
  done
  expect_eq "reset: a HEAD always gets its head" "10" "$heads"
}

group_timing() {
  # A stall holds its connection while other requests go on in parallel.
  ctl "set?path=/files/sample3000.bin&mode=stall&bytes=700" >/dev/null
  curl -s -m 3 -o "$WORK/stalled" "${S}files/sample3000.bin" & local stalled=$!
  sleep 0.5
  local t0 t1; t0=$(date +%s%N)
  local i codes=""
  for i in 1 2 3 4 5; do codes+=$(curl -s -m 3 -o /dev/null -w '%{http_code} ' "${S}files/readme.txt"); done
  t1=$(date +%s%N)
  expect_eq "others served during a stall" "200 200 200 200 200 " "$codes"
  expect_eq "stalled request still open" "1" "$(kill -0 $stalled 2>/dev/null && echo 1)"
  wait $stalled; local rc=$?
  expect_eq "stall: curl gave up (28)" "28" "$rc"
  expect_eq "stall: bytes before the stall" "700" "$(stat -c %s "$WORK/stalled")"
  # A stall with a bound ends by itself with a close.
  ctl "set?path=/files/sample3000.bin&mode=stall&bytes=10&delay_ms=300" >/dev/null
  curl -s -m 8 -o "$WORK/stalled" "${S}files/sample3000.bin"; rc=$?
  expect_eq "bounded stall closes (18)" "18" "$rc"
  # Slow: pieces with pauses; the whole body arrives and takes at least the pauses.
  ctl "set?path=/files/sample3000.bin&mode=slow&bytes=300&delay_ms=100" >/dev/null
  t0=$(date +%s%N)
  curl -s -o "$WORK/slow" "${S}files/sample3000.bin"
  t1=$(date +%s%N)
  expect_eq "slow: whole body" "$(sha1sum <"$R/files/sample3000.bin")" "$(sha1sum <"$WORK/slow")"
  expect_eq "slow: nine pauses of 100 ms" "1" "$([ $(((t1 - t0) / 1000000)) -ge 850 ] && echo 1)"
  # A client that gives up on a stall frees the server's thread (the log still answers).
  expect_eq "log after stalls" "200" "$(ctl log)"
}

group_lifecycle() {
  local py=/usr/bin/python3 srv="$ROOT/tools/test_server/server.py" d="$WORK/life"
  mkdir -p "$d/root"
  # SIGTERM ends the server.
  $py "$srv" --root "$d/root" --port 0 --port-file "$d/port" & local pid=$!
  for _ in $(seq 1 50); do [ -s "$d/port" ] && break; sleep 0.1; done
  expect_eq "port file holds a port" "1" "$(grep -qE '^[0-9]+$' "$d/port" && echo 1)"
  kill -TERM $pid; local ended=0
  for _ in $(seq 1 50); do kill -0 $pid 2>/dev/null || { ended=1; break; }; sleep 0.1; done
  expect_eq "SIGTERM ends the server" "1" "$ended"
  wait $pid 2>/dev/null
  # It ends by itself when idle.
  rm -f "$d/port"
  $py "$srv" --root "$d/root" --port 0 --port-file "$d/port" --idle-exit 1 & pid=$!
  ended=0
  for _ in $(seq 1 60); do kill -0 $pid 2>/dev/null || { ended=1; break; }; sleep 0.1; done
  expect_eq "idle exit" "1" "$ended"
  wait $pid 2>/dev/null
  # A missing root is refused.
  $py "$srv" --root "$d/none" --port 0 2>/dev/null; expect_eq "missing root" "2" "$?"
  # stop_test_server removes the temp copy and the variables.
  local root=$MOVARIN_TEST_SERVER_ROOT
  stop_test_server
  expect_eq "temp folder removed" "" "$([ -e "$root" ] && echo exists)"
  expect_eq "variable unset" "" "${MOVARIN_TEST_SERVER:-}"
  # Scripts with set -euo pipefail can start and stop it (twice) without dying midway.
  local strict
  strict=$(bash -c 'set -euo pipefail; source "$1"; start_test_server; r=$MOVARIN_TEST_SERVER_ROOT;
                    stop_test_server; stop_test_server; [ ! -e "$r" ] && echo clean' _ "$ROOT/scripts/test-server.sh")
  expect_eq "strict-mode script" "clean" "$strict"
  # start_test_server with a folder of one's own.
  mkdir -p "$d/own"; printf 'mine' > "$d/own/x.txt"
  start_test_server "$d/own" || fail "start with own folder"
  expect_eq "own folder served" "mine" "$(curl -s "${MOVARIN_TEST_SERVER}x.txt")"
}

group_startup() {
  # checkversion.php: the version control request, and any other reply through body=.
  expect_eq "version control" "200" "$(ctl 'version?number=3')"
  expect_eq "reply names version 3" "checkupdates ccc3ddd" "$(curl -s "${S}checkversion.php")"
  ctl 'version?number=10' >/dev/null
  expect_eq "reply names version 10" "checkupdates ccc10ddd" "$(curl -s "${S}checkversion.php")"
  expect_eq "version needs a number" "400" "$(ctl 'version')"
  ctl 'set?path=/checkversion.php&body=ccc3ddd' >/dev/null
  expect_eq "reply without the marker" "ccc3ddd" "$(curl -s "${S}checkversion.php")"
  ctl 'set?path=/checkversion.php&body=checkupdates%20cccxddd' >/dev/null
  expect_eq "damaged reply" "checkupdates cccxddd" "$(curl -s "${S}checkversion.php")"
  ctl 'set?path=/checkversion.php&mode=close' >/dev/null
  curl -s -o /dev/null "${S}checkversion.php"
  expect_eq "no reply at all (52)" "52" "$?"
  ctl reset >/dev/null
  expect_eq "reset restores the file's reply" "$(cat "$R/checkversion.php")" "$(curl -s "${S}checkversion.php")"

  # database.mdb: HEAD gives size and date; file= switches the copy served for HEAD and GET.
  head -c 5000 /dev/urandom > "$R/database.mdb"
  head -c 7000 /dev/urandom > "$R/database-larger.mdb"
  head -c 7000 /dev/zero > "$R/database-broken.mdb"
  curl -s -I -o /dev/null -D "$WORK/head" "${S}database.mdb"
  expect_eq "HEAD status" "HTTP/1.1 200 OK" "$(head -n 1 "$WORK/head" | tr -d '\r')"
  expect_contains "HEAD length" "Content-Length: 5000" "$(cat "$WORK/head")"
  expect_eq "HEAD date" "1" "$(grep -qiE '^Last-Modified: [A-Z][a-z]{2}, [0-9]{2} ' "$WORK/head" && echo 1)"
  expect_eq "file= needs a name" "400" "$(ctl 'set?path=/database.mdb&file=')"
  ctl 'set?path=/database.mdb&file=/database-larger.mdb' >/dev/null
  expect_eq "larger copy: HEAD" "7000" "$(header Content-Length -I "${S}database.mdb")"
  curl -s -o "$WORK/copy" "${S}database.mdb"
  expect_eq "larger copy: GET" "$(sha1sum <"$R/database-larger.mdb")" "$(sha1sum <"$WORK/copy")"
  ctl 'set?path=/database.mdb&file=database-broken.mdb' >/dev/null
  curl -s -o "$WORK/copy" "${S}database.mdb"
  expect_eq "broken copy" "$(sha1sum <"$R/database-broken.mdb")" "$(sha1sum <"$WORK/copy")"
  ctl 'set?path=/database.mdb&file=/database-larger.mdb&mode=reset&bytes=3000' >/dev/null
  curl -s -o "$WORK/copy" "${S}database.mdb"; local rc=$?
  expect_eq "cut-off copy: reset (56)" "56" "$rc"
  expect_eq "cut-off copy: bytes before the cut" "3000" "$(stat -c %s "$WORK/copy")"
  ctl 'set?path=/database.mdb&mode=normal' >/dev/null
  expect_eq "normal again" "5000" "$(header Content-Length -I "${S}database.mdb")"
  ctl 'set?path=/database.mdb&file=/missing.mdb' >/dev/null
  expect_eq "file= of a missing file" "404" "$(curl -s -o /dev/null -w '%{http_code}' "${S}database.mdb")"
  ctl 'set?path=/database.mdb&file=/../port' >/dev/null
  expect_eq "file= stays inside the folder" "404" "$(curl -s -o /dev/null -w '%{http_code}' "${S}database.mdb")"
  ctl reset >/dev/null

  # The sponsor page with its picture and links.
  local page; page=$(curl -s "${S}Ads2.htm")
  expect_contains "page shows the picture" '<img src="sponsor.png"' "$page"
  expect_contains "page links a sponsor" '<a href="sponsor.htm">' "$page"
  expect_eq "picture type" "image/png" "$(header Content-Type "${S}sponsor.png")"
  expect_eq "picture is a PNG" "89504e470d0a1a0a" "$(curl -s "${S}sponsor.png" | head -c 8 | od -An -tx1 | tr -d ' \n')"
  expect_eq "picture size" "120x60" "$(curl -s "${S}sponsor.png" | /usr/bin/python3 -c '
import struct, sys; d = sys.stdin.buffer.read(); print("%dx%d" % struct.unpack(">II", d[16:24]))')"

  # As a proxy: absolute-form requests for any host are served from the folder and logged.
  local port=${S##*:}; port=${port%/}
  expect_eq "proxied GET" "$(sha1sum <"$R/Ads2.htm")" \
    "$(curl -s -x "http://127.0.0.1:$port" http://origin.movarin.invalid/Ads2.htm | sha1sum)"
  expect_eq "proxied HEAD" "5000" \
    "$(header Content-Length -I -x "http://127.0.0.1:$port" http://origin.movarin.invalid:8080/database.mdb)"
  curl -s -o /dev/null "${S}Ads2.htm"
  expect_eq "proxy log" $'GET http://origin.movarin.invalid/Ads2.htm HTTP/1.1\nHEAD http://origin.movarin.invalid:8080/database.mdb HTTP/1.1' \
    "$(curl -s "${S}__control/proxy-log" | tr -d '\r')"
  expect_contains "proxied requests are in the request log too" "GET http://origin.movarin.invalid/Ads2.htm" "$(ctl_log)"
  ctl reset >/dev/null
  expect_eq "reset clears the proxy log" "" "$(curl -s "${S}__control/proxy-log")"
}

case ${1:-} in
  files|ranges|control|statuses|lengths|timing|lifecycle|startup) "group_$1" ;;
  *) echo "usage: $0 files|ranges|control|statuses|lengths|timing|lifecycle|startup" >&2; exit 2 ;;
esac
if [ $failures -ne 0 ]; then echo "$failures check(s) failed" >&2; exit 1; fi
echo "all checks passed"
