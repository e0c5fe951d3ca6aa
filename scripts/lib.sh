# Shared by every script: where things are and how Wine is started.
# Sourced, never run.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
OUT="$ROOT/out"
SHARED="$(cd "$ROOT/.." && pwd)/shared"
export MOVARIN_SOURCE="$ROOT"
export MOVARIN_SHARED="$SHARED"

# This machine's kernel cannot execute 32-bit ELF code, so the 32-bit Unix side
# of Wine (wine32) cannot start. The Windows programs are therefore built twice:
# 32-bit (i686), what ships, and 64-bit (x86_64), what the tests run under wine64.
WINE_BIN=/usr/lib/wine/wine64
WINESERVER_BIN=/usr/lib/wine/wineserver64
# MOVARIN_WINEPREFIX names another prefix (the 32-bit runs use their own, see lib32.sh).
export WINEPREFIX="${MOVARIN_WINEPREFIX:-$BUILD/wineprefix}"
export WINEDEBUG=-all
# No Mono or Gecko installer prompts: the programs need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINE_BIN WINESERVER_BIN

log() { printf '== %s\n' "$*" >&2; }

# The settings every test prefix carries ($WINEPREFIX; each is written once):
# - a crashing program ends with its report on stderr instead of waiting behind Wine's
#   crash dialog until the test times out;
# - windows are unmanaged. The test displays run no window manager, and Wine waits up to
#   two seconds for a window manager to withdraw every managed window it hides: each
#   closed box or window cost that wait. Unmanaged, Wine places and activates its windows
#   itself, as it must where no window manager runs.
configure_test_prefix() {
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$WINE_BIN" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
  fi
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$WINE_BIN" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  fi
  "$WINESERVER_BIN" -w || true
}

# Starts a virtual X display when none is set; sets XVFB_PID so the caller can stop it.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  if [ -n "${DISPLAY:-}" ] && [ -z "$(command -v xdpyinfo)" ]; then return 0; fi
  local n
  for n in $(seq 90 130); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
      done
    fi
  done
  log "could not start a virtual display"
  return 1
}

stop_display() {
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
