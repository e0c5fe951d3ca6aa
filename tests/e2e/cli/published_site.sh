#!/usr/bin/env bash
# A catalogue site written by `movarin-catalog publish` and served by Debian's nginx (on a
# free port of 127.0.0.1, stopped at the end) answers movarin-cli under Wine: search,
# install of the test COM library (its key in the prefix's registry), uninstall.
set -uo pipefail
source "$(dirname "$0")/../../../scripts/lib.sh"
if [ -z "${DISPLAY:-}" ]; then ensure_display || exit 1; fi

catalog="$BUILD/native/tools/catalog/movarin-catalog"
library="$BUILD/win64/testdata/movarin_test_com.dll"
cli="$BUILD/win64/app/movarin-cli.exe"
for needed in "$catalog" "$library" "$cli"; do
  [ -e "$needed" ] || { echo "missing $needed (build the native and win64 trees)"; exit 1; }
done
command -v nginx >/dev/null || { echo "nginx is not installed"; exit 1; }

work=$(mktemp -d)
class_key='HKLM\Software\Classes\CLSID\{5B0E2C7A-3D94-4F1B-A6E8-71C2D9F04B3E}'
system_copy="$WINEPREFIX/drive_c/windows/system32/movarin_test_com.dll"
had_copy=0; [ -e "$system_copy" ] && had_copy=1 && cp "$system_copy" "$work/saved.dll"
nginx_pid=
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null
  "$WINE_BIN" reg delete "$class_key" /f >/dev/null 2>&1
  if [ $had_copy = 1 ]; then cp "$work/saved.dll" "$system_copy"; else rm -f "$system_copy"; fi
  rm -rf "$work"
  stop_display
}
trap cleanup EXIT
failures=0
check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

mkdir -p "$work/libraries" "$work/app"
cp "$library" "$work/libraries/"
"$catalog" publish "$work/libraries" "$work/site" --version 2 || exit 1

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/nginx.conf" <<CONF
daemon off;
master_process off;
pid $work/nginx.pid;
error_log $work/error.log;
events {}
http {
  access_log off;
  client_body_temp_path $work/body; proxy_temp_path $work/proxy;
  fastcgi_temp_path $work/fastcgi; uwsgi_temp_path $work/uwsgi; scgi_temp_path $work/scgi;
  server {
    listen 127.0.0.1:$port;
    root $work/site;
    location / { try_files \$uri =404; }
    location = /checkversion.php { default_type text/plain; }
  }
}
CONF
nginx -c "$work/nginx.conf" -p "$work" &
nginx_pid=$!
for _ in $(seq 1 50); do curl -sf "http://127.0.0.1:$port/checkversion.php" >/dev/null && break; sleep 0.1; done

# The program folder as installed: the site's catalogue, Movarin.ini naming the site.
cp "$cli" "$work/site/database.mdb" "$work/app/"
printf '[Server]\r\nBaseUrl=http://127.0.0.1:%s/\r\n' "$port" > "$work/app/Movarin.ini"
# What a console shows: of each line, what follows its last carriage return.
run() { "$WINE_BIN" "$work/app/movarin-cli.exe" "$@" 2>&1 | sed 's/\r$//; s/.*\r//'; return "${PIPESTATUS[0]}"; }

out=$(run search movarin); status=$?
check "search finds the published library" [ "$status" = 0 -a "$(printf '%s' "$out" | cut -f1)" = movarin_test_com.dll ]
"$WINE_BIN" reg delete "$class_key" /f >/dev/null 2>&1
out=$(run install movarin_test_com.dll); status=$?
check "install from the site registers ($out)" [ "$status" = 0 ]
check "the library's key is in the registry" bash -c "'$WINE_BIN' reg query '$class_key' >/dev/null 2>&1"
check "the installed copy is the published one" cmp -s "$system_copy" "$library"
out=$(run uninstall movarin_test_com.dll); status=$?
check "uninstall ($out)" [ "$status" = 0 ]
check "the key is gone" bash -c "! '$WINE_BIN' reg query '$class_key' >/dev/null 2>&1"
out=$(run install missing.dll); status=$?
check "a name the site does not list fails ($out)" [ "$status" = 1 ]

[ $failures = 0 ] && echo "passed" || { cat "$work/error.log"; echo "$failures failed"; }
exit $((failures > 0))
