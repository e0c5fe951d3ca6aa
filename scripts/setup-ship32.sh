#!/usr/bin/env bash
# setup-ship32.sh: lets this machine run the 32-bit programs (what ships) under Wine.
# The kernel here executes no 32-bit ELF code, so the 32-bit half of Wine (wine32:i386)
# runs under QEMU's i386 user-mode emulator, registered with the kernel through
# binfmt_misc. Each step is skipped when it is already done. Exit status 0: ready;
# 3: this machine cannot (no root, no binfmt_misc, packages out of reach), with the
# reason on stderr; anything else: a step failed.
#
# What it changes on the host, all additions:
# - the i386 architecture for dpkg and the packages wine32:i386 and libwine:i386
#   (the 64-bit Wine packages stay as they are; a refused plan stops the set-up);
# - /opt/movarin-qemu/qemu-i386, QEMU 10's i386 emulator, taken from Debian's
#   bookworm-backports without installing that suite (a private apt list);
# - the binfmt_misc entry "movarin-i386", which hands i386 ELF programs to it.
# Debian 12's own qemu-user-static (7.2) would do, but without MAP_FIXED_NOREPLACE it
# makes every 32-bit Wine process start take a minute or more: Wine reserves the upper
# half of the 32-bit address space with that flag, the old emulator places the mapping
# elsewhere, and Wine then retries the range in halves down to 64 KiB, some 65,000
# mmap calls each searching the emulator's page table. QEMU 10 honours the flag.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

cannot() { log "the 32-bit programs cannot run on this machine: $*"; exit 3; }

QEMU_DIR=/opt/movarin-qemu
QEMU_BIN=$QEMU_DIR/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc
ENTRY=movarin-i386
QEMU_SUITE=bookworm-backports

[ "$(id -u)" = 0 ] || cannot "the set-up needs root (packages, binfmt_misc)"
[ "$(dpkg --print-architecture 2>/dev/null)" = amd64 ] || cannot "not an amd64 Debian machine"

# 1. binfmt_misc, mounted if it is not yet.
if [ ! -e "$BINFMT/register" ]; then
  mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null \
    || cannot "binfmt_misc is not available (mount failed)"
fi

# 2. wine32:i386 beside the 64-bit Wine, checked by a simulated install first: the plan
# must neither remove a package nor replace a Wine package.
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    dpkg --add-architecture i386
  fi
  apt-get update -q >/dev/null 2>&1 || cannot "apt-get update failed"
  plan=$(apt-get -s install --no-install-recommends wine32:i386 2>&1) \
    || cannot "wine32:i386 cannot be installed: $(tail -n 3 <<<"$plan")"
  if grep -qE '^Remv ' <<<"$plan"; then
    cannot "installing wine32:i386 would remove: $(grep -E '^Remv ' <<<"$plan" | tr '\n' ' ')"
  fi
  if grep -E '^Inst ' <<<"$plan" | grep -vE ':i386 ' | grep -qiE '^Inst [^ ]*wine'; then
    cannot "installing wine32:i386 would replace a 64-bit Wine package"
  fi
  log "installing wine32:i386"
  apt-get install -y -q --no-install-recommends wine32:i386 >/dev/null \
    || { log "installing wine32:i386 failed"; exit 1; }
fi

# 3. The emulator: the static qemu-i386 out of QEMU 10's package, nothing else of it.
if [ ! -x "$QEMU_BIN" ]; then
  log "fetching QEMU's i386 emulator from $QEMU_SUITE"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/deb"
  echo "deb http://deb.debian.org/debian $QEMU_SUITE main" >"$work/sources.list"
  apt_private=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
    -o APT::Architectures::=amd64 -o APT::Sandbox::User=root)
  apt-get "${apt_private[@]}" update -q >/dev/null 2>&1 || cannot "the list of $QEMU_SUITE is out of reach"
  (cd "$work/deb" && apt-get "${apt_private[@]}" download qemu-user >/dev/null 2>&1) \
    || cannot "qemu-user could not be fetched from $QEMU_SUITE"
  dpkg-deb -x "$work/deb"/qemu-user_*.deb "$work/x" || { log "unpacking qemu-user failed"; exit 1; }
  [ -x "$work/x/usr/bin/qemu-i386" ] || cannot "qemu-user brings no qemu-i386"
  mkdir -p "$QEMU_DIR"
  install -m 755 "$work/x/usr/bin/qemu-i386" "$QEMU_BIN.new" && mv -f "$QEMU_BIN.new" "$QEMU_BIN"
fi

# 4. The binfmt entry. F: the kernel opens the emulator once, now, so it is found in any
# mount namespace and chroot.
if [ ! -e "$BINFMT/$ENTRY" ]; then
  log "registering $QEMU_BIN for i386 programs (binfmt_misc entry $ENTRY)"
  printf '%s' ":$ENTRY:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU_BIN:F" \
    >"$BINFMT/register" 2>/dev/null || cannot "binfmt_misc refused the entry"
fi
grep -qx enabled "$BINFMT/$ENTRY" 2>/dev/null || cannot "the binfmt_misc entry $ENTRY is disabled"
/usr/lib/wine/wine --version >/dev/null 2>&1 || cannot "wine32 does not start under the emulator"

# 5. A 64-bit prefix of its own for the 32-bit runs, its syswow64 filled by wineboot
# (the other Wine tests keep build/wineprefix as it is).
source "$ROOT/scripts/lib32.sh"
if [ ! -f "$WINEPREFIX/.movarin-ship32-ready" ]; then
  log "creating the Wine prefix $WINEPREFIX"
  mkdir -p "$BUILD"
  "$WINE_BIN" wineboot -i >/dev/null 2>&1 || true
  "$WINESERVER_BIN" -w || true
  [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] || { log "wineboot left no syswow64"; exit 1; }
  "$WINE_BIN" 'C:\windows\syswow64\cmd.exe' /c exit >/dev/null 2>&1 \
    || { log "a 32-bit program does not start in $WINEPREFIX"; exit 1; }
  "$WINESERVER_BIN" -w || true
  touch "$WINEPREFIX/.movarin-ship32-ready"
fi
configure_test_prefix
exit 0
