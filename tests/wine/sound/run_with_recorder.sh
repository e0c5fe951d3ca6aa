#!/usr/bin/env bash
# run_with_recorder.sh [--per-device] [wine-run.sh arguments]: runs a Wine test whose
# sound goes to a recorder. Wine's wave-out finds only the devices ALSA offers, and ALSA
# reads its configuration from $HOME: a HOME of the test's own makes the default device
# ALSA's `file` plugin over the `null` device, which writes everything played into a WAV
# file (MOVARIN_SOUND_RECORDING). Every device opened writes that one file from its
# start; with --per-device each device writes a file of its own instead, into the folder
# MOVARIN_SOUND_RECORDINGS (through a pipe, so their headers name no length), which tells
# apart what several devices of one program played. PULSE_SERVER points nowhere, so that
# Wine never finds a PulseAudio server of the machine instead. The folder goes away with
# the run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
per_device=0
if [ "${1:-}" = "--per-device" ]; then per_device=1; shift; fi
home=$(mktemp -d "${TMPDIR:-/tmp}/movarin-sound-home.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/run" "$home/recordings"
if [ $per_device = 1 ]; then
  # ALSA starts the command through the shell once per device; $$ is that shell's id.
  target="|cat > $home/recordings/device-\$\$.wav"
else
  target="$home/recording.wav"
fi
cat > "$home/.asoundrc" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "$target"
  format "wav"
}
CONF
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
  PULSE_SERVER="unix:$home/run/no-pulse-server" MOVARIN_SOUND_RECORDING="$home/recording.wav" \
  MOVARIN_SOUND_RECORDINGS="$home/recordings" \
  bash "$here/../../../scripts/wine-run.sh" "$@"
