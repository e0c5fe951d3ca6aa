#!/usr/bin/env bash
# run_with_recorder.sh [wine-run.sh arguments]: runs a Wine test whose sound goes to a
# recorder. Wine's wave-out finds only the devices ALSA offers, and ALSA reads its
# configuration from $HOME: a HOME of the test's own makes the default device ALSA's
# `file` plugin over the `null` device, which writes everything played into a WAV file
# (MOVARIN_SOUND_RECORDING). PULSE_SERVER points nowhere, so that Wine never finds a
# PulseAudio server of the machine instead. The folder goes away with the run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d "${TMPDIR:-/tmp}/movarin-sound-home.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT
cat > "$home/.asoundrc" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "$home/recording.wav"
  format "wav"
}
CONF
mkdir -p "$home/run"
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
  PULSE_SERVER="unix:$home/run/no-pulse-server" MOVARIN_SOUND_RECORDING="$home/recording.wav" \
  bash "$here/../../../scripts/wine-run.sh" "$@"
