#!/usr/bin/env bash
# `make run` after `make test`: the demo's script, run the way `make run` runs it when
# there is no display of the user's, in the prefix the tests use. It starts from the
# options an earlier run may have left (a search that does not download) and must still
# download its file; the prefix's options are put back as they were afterwards.
set -uo pipefail
source "$(dirname "$0")/../../../scripts/lib.sh"

key='HKCU\Software\VB and VBA Program Settings\MovarinFiles\OPTIONS'
saved=$(mktemp -d)
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
had=0
"$WINE_BIN" reg export "$key" "$(winpath "$saved/options.reg")" /y >/dev/null 2>&1 && had=1
restore() {
  "$WINE_BIN" reg delete "$key" /f >/dev/null 2>&1
  if [ $had = 1 ]; then "$WINE_BIN" reg import "$(winpath "$saved/options.reg")" >/dev/null 2>&1; fi
  rm -rf "$saved"
}
trap restore EXIT

"$WINE_BIN" reg add "$key" /v YesMovarinFiles2 /d False /f >/dev/null 2>&1
"$WINE_BIN" reg add "$key" /v NoMovarinFiles2 /d True /f >/dev/null 2>&1

if ! CI=1 bash "$ROOT/scripts/demo.sh" > "$saved/demo.log" 2>&1; then
  cat "$saved/demo.log"
  echo "the demo FAILED after left-over options"
  exit 1
fi
grep '^demo:' "$saved/demo.log"
