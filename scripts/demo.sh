#!/usr/bin/env bash
# The demo behind `make run`: the demo catalogue and files served by the local server,
# Movarin opened on them. On the user's display Movarin simply runs; without one it runs
# on a virtual display, a scripted search and download is performed, screenshots go to
# out/ and every step is printed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$ROOT/scripts/test-server.sh"

DEMO="$BUILD/demo"
rm -rf "$DEMO"
mkdir -p "$DEMO/server/files" "$DEMO/app" "$DEMO/downloads" "$OUT"
cp -r "$ROOT/tests/server-root/." "$DEMO/server/"
# The demo files: small stand-ins named like the catalogue's entries.
tail -n +2 "$ROOT/tools/demo/catalogue.csv" | cut -d, -f1 | while read -r name; do
  head -c 4096 /dev/urandom > "$DEMO/server/files/$name"
done
# One real library among them: the test COM library, which the demo registers.
cp "$BUILD/win64/testdata/movarin_test_com.dll" "$DEMO/server/files/"
{ cat "$ROOT/tools/demo/catalogue.csv"; echo "movarin_test_com.dll,1.0.0.0"; } > "$DEMO/catalogue.csv"
"$BUILD/native/tools/catalog/movarin-catalog" build --from-csv "$DEMO/catalogue.csv" \
  -o "$DEMO/server/database.mdb"
# Wine runs the 64-bit build here (see lib.sh); the 32-bit one is in build/win32/app.
cp "$BUILD/win64/app/Movarin.exe" "$DEMO/server/database.mdb" "$DEMO/app/"
cp -r "$BUILD/win64/app/Images" "$DEMO/app/"  # the buttons' pictures
cp -r "$BUILD/win64/app/Sounds" "$DEMO/app/"

start_test_server "$DEMO/server"
trap 'stop_test_server; stop_display' EXIT
printf '[Server]\r\nBaseUrl=%s\r\n' "$MOVARIN_TEST_SERVER" > "$DEMO/app/Movarin.ini"
log "catalogue server at $MOVARIN_TEST_SERVER"

winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  log "opening Movarin on $DISPLAY (close it to end the demo)"
  "$WINE_BIN" "$DEMO/app/Movarin.exe"
else
  ensure_display
  log "no display: a scripted run on the virtual display $DISPLAY"
  "$WINE_BIN" "$BUILD/win64/app/tools/movarin-demo.exe" "$(winpath "$DEMO/app/Movarin.exe")" \
    "$(winpath "$DEMO/downloads")"
  log "screenshots in $OUT"
fi
