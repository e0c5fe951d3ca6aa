# The 32-bit runs (what ships): sourced after lib.sh. Same Wine binaries, a prefix of
# their own, whose syswow64 the 32-bit programs use; the 32-bit half of Wine runs under
# the i386 emulator that scripts/setup-ship32.sh registers.
export MOVARIN_WINEPREFIX="$BUILD/wineprefix32"
export WINEPREFIX="$MOVARIN_WINEPREFIX"
