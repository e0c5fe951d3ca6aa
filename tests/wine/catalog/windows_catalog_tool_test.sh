#!/usr/bin/env bash
# The Windows build of movarin-catalog under Wine: builds a catalogue from a folder and from
# CSV (with a non-ASCII password given on the command line), lists and searches it, checks
# errors, and has mdb-export read what it wrote.
# Usage: windows_catalog_tool_test.sh <movarin-catalog.exe>
set -uo pipefail
tool=$1
root="$(cd "$(dirname "$0")/../../.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check <what> <expected> <actual>
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  else
    printf 'ok   %s\n' "$1"
  fi
}
# The program's output without CR; with pipefail, the status is the program's.
run() { bash "$root/scripts/wine-run.sh" "$tool" "$@" 2>"$work/stderr" | tr -d '\r'; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

mkdir "$work/libs"
cp "$root/fuzz/pe_version_fuzz/corpus/pe32_version" "$work/libs/Alpha.OCX"
cp "$root/fuzz/pe_version_fuzz/corpus/pe32plus_version" "$work/libs/beta.dll"
printf 'not a library' >"$work/libs/broken.dll"
printf 'ignored' >"$work/libs/readme.txt"

check "build from a folder" "wrote 3 files to $(winpath "$work/db.mdb")" \
  "$(run build "$(winpath "$work/libs")" -o "$(winpath "$work/db.mdb")")"
check "warning for a damaged library" "1" "$(grep -c 'broken.dll: not a Windows executable' "$work/stderr")"
# A folder build carries each file's SHA-256, which sha256sum computes independently.
digest() { sha256sum "$work/libs/$1" | cut -d' ' -f1; }
alpha=$(digest Alpha.OCX); beta=$(digest beta.dll); broken=$(digest broken.dll)
check "list" "$(printf 'Alpha.OCX\t6.1.7601.0\t%s\nbeta.dll\t6.1.7601.0\t%s\nbroken.dll\t\t%s\n3' "$alpha" "$beta" "$broken")" \
  "$(run list "$(winpath "$work/db.mdb")")"
if command -v mdb-export >/dev/null; then
  check "mdb-export reads the folder catalogue" \
    "$(printf 'Filename,Version,sha256\n"Alpha.OCX","6.1.7601.0","%s"\n"beta.dll","6.1.7601.0","%s"\n"broken.dll",,"%s"' "$alpha" "$beta" "$broken")" \
    "$(mdb-export "$work/db.mdb" Files)"
fi

printf 'Filename,Version\r\n"it'"'"'s.dll","1"\r\nŽluť.ocx,2\r\n' >"$work/rows.csv"
run build --from-csv "$(winpath "$work/rows.csv")" -o "$(winpath "$work/csv.mdb")" --password 'heslo-žluť' >/dev/null
check "search with an apostrophe" "$(printf "it's.dll\t1\n1")" \
  "$(run search "$(winpath "$work/csv.mdb")" "it's" --password 'heslo-žluť')"
check "search non-ASCII" "$(printf 'Žluť.ocx\t2\n1')" \
  "$(run search "$(winpath "$work/csv.mdb")" 'ž' --password 'heslo-žluť')"

run build --from-csv "$(winpath "$work/rows.csv")" -o "$(winpath "$work/db.mdb")" >/dev/null
check "a new build replaces the old catalogue" "$(printf "it's.dll\t1\nŽluť.ocx\t2\n2")" \
  "$(run list "$(winpath "$work/db.mdb")")"

run list "$(winpath "$work/csv.mdb")" >/dev/null
check "wrong password exits 1" "1" "$?"
check "wrong password message" "1" "$(grep -c 'Not a valid password.' "$work/stderr")"
run list "$(winpath "$work/missing.mdb")" >/dev/null
check "missing file message" "1" "$(grep -c "Could not find file '$(winpath "$work/missing.mdb" | sed 's/\\/\\\\/g')'." "$work/stderr")"
run build --from-csv "$(winpath "$work/rows.csv")" -o "$(winpath "$work/no/db.mdb")" >/dev/null
check "build into a missing folder leaves nothing" "" "$(ls "$work" | grep -v -e libs -e rows.csv -e db.mdb -e csv.mdb -e stderr)"
[ $failures -eq 0 ]
