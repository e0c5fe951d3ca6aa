#!/usr/bin/env bash
# dist.sh [win32|win64]: the installer and a zip of the same program tree, from a built
# Windows tree (win32 by default: what ships; win64 gives the installer the Wine tests
# run). Needs the native tree's movarin-catalog for the catalogue that ships.
# Writes build/<tree>/dist/: Movarin/ (the tree), Movarin-<version>-<arch>-setup.exe
# and Movarin-<version>-<arch>.zip.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

tree=${1:-win32}
case $tree in
  win32) arch=x86; target_define=() ;;
  win64) arch=amd64; target_define=(-DAMD64) ;;
  *) log "dist.sh: unknown tree $tree"; exit 2 ;;
esac
app="$BUILD/$tree/app"
catalog="$BUILD/native/tools/catalog/movarin-catalog"
dist="$BUILD/$tree/dist"
stage="$dist/Movarin"
for needed in "$app/Movarin.exe" "$app/movarin-cli.exe" "$app/Adds/Register.exe" \
              "$app/Adds/Unregister.exe" "$catalog"; do
  [ -e "$needed" ] || { log "dist.sh: $needed is missing (build the trees first)"; exit 1; }
done

# The version the programs carry in their version resource.
version=$(sed -n 's/^FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' \
  "$ROOT/programs/main/version_info.rc")
[ -n "$version" ] || { log "dist.sh: no FILEVERSION in version_info.rc"; exit 1; }

rm -rf "$dist"
mkdir -p "$stage/Adds" "$stage/Images" "$stage/Sounds"
cp "$app/Movarin.exe" "$app/movarin-cli.exe" "$stage/"
cp "$app/Adds/Register.exe" "$app/Adds/Unregister.exe" "$stage/Adds/"
cp -r "$app/Images/." "$stage/Images/"
cp "$app/Sounds/"*.wav "$stage/Sounds/"
"$catalog" build --from-csv "$ROOT/tools/demo/catalogue.csv" -o "$stage/database.mdb" >/dev/null
printf '; Where Movarin finds its catalogue server: the folder that holds files/,\r\n; database.mdb, checkversion.php and Ads2.htm (see movarin-catalog publish).\r\n[Server]\r\n;BaseUrl=http://catalogue.example/\r\n' \
  > "$stage/Movarin.ini"

# The tree's files for the script; Movarin.ini is the owner's and is not on the list.
files="$dist/files.nsh"
{
  echo '!macro InstallProgramFiles'
  (cd "$stage" && find . -type d | sort) | while read -r d; do
    rel=${d#./}; [ "$d" = . ] && rel=
    win=${rel//\//\\}
    echo "  SetOutPath \"\$INSTDIR${win:+\\$win}\""
    (cd "$stage/$rel" && find . -maxdepth 1 -type f ! -name Movarin.ini | sort) | while read -r f; do
      echo "  File \"$stage/${rel:+$rel/}${f#./}\""
    done
  done
  echo '!macroend'
  echo '!macro UninstallProgramFiles'
  (cd "$stage" && find . -type f ! -path ./Movarin.ini | sort) | while read -r f; do
    rel=${f#./}; echo "  Delete \"\$INSTDIR\\${rel//\//\\}\""
  done
  echo '!macroend'
  echo '!macro RemoveProgramFolders'
  (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
    rel=${d#./}; echo "  RMDir \"\$INSTDIR\\${rel//\//\\}\""
  done
  echo '!macroend'
} > "$files"

setup="$dist/Movarin-$version-$arch-setup.exe"
makensis -V2 -DAPP="$stage" -DFILES="$files" -DOUTFILE="$setup" "${target_define[@]}" \
  "$ROOT/tools/installer/movarin.nsi" >&2
(cd "$dist" && zip -qr "Movarin-$version-$arch.zip" Movarin)
log "wrote $setup and $dist/Movarin-$version-$arch.zip"
