#!/usr/bin/python3
"""Synthesises the program's two sound cues into a folder.

    synthesize_cues.py <folder>    writes <folder>/Found.wav and <folder>/Notfound.wav

Found.wav is a bright rising chime of three soft bell notes (G5, C6, E6); Notfound.wav a
warmer falling pair (E4, C4). Both are 16-bit PCM mono at 44100 Hz, peak at half of full
scale, with a short attack and a tail that ends in silence, so they never click. The
output depends on nothing but this file.
"""
import math
import os
import struct
import sys
import wave

RATE = 44100
PEAK = 0.5           # of full scale
ATTACK = 0.006       # seconds
TAIL_FADE = 0.04     # seconds of fade to silence at the end


def note_frequency(name):
    """Equal temperament, A4 = 440 Hz; names like "C6" or "F#4"."""
    steps = {"C": -9, "C#": -8, "D": -7, "D#": -6, "E": -5, "F": -4, "F#": -3,
             "G": -2, "G#": -1, "A": 0, "A#": 1, "B": 2}
    pitch, octave = name[:-1], int(name[-1])
    return 440.0 * 2.0 ** ((steps[pitch] + 12 * (octave - 4)) / 12.0)


def render(notes, duration, harmonics, decay):
    """notes: (start seconds, note name, gain); harmonics: relative amplitudes of the
    partials 1, 2, 3...; decay: time constant of the exponential fade of each note."""
    count = int(round(duration * RATE))
    out = [0.0] * count
    for start, name, gain in notes:
        frequency = note_frequency(name)
        first = int(round(start * RATE))
        for i in range(first, count):
            t = (i - first) / RATE
            envelope = min(1.0, t / ATTACK) * math.exp(-t / decay)
            # Higher partials fade faster, as a struck bar's do.
            value = sum(a * math.exp(-t * k / (2 * decay)) * math.sin(2 * math.pi * frequency * (k + 1) * t)
                        for k, a in enumerate(harmonics))
            out[i] += gain * envelope * value
    fade = int(TAIL_FADE * RATE)
    for j in range(fade):
        out[count - 1 - j] *= j / fade
    top = max(abs(v) for v in out) or 1.0
    return [v * PEAK / top for v in out]


def write_wav(path, samples):
    frames = b"".join(struct.pack("<h", max(-32768, min(32767, int(round(v * 32767)))))
                      for v in samples)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    found = render([(0.00, "G5", 0.8), (0.09, "C6", 0.9), (0.18, "E6", 1.0)],
                   duration=0.62, harmonics=[1.0, 0.3, 0.1], decay=0.16)
    not_found = render([(0.00, "E4", 1.0), (0.15, "C4", 1.0)],
                       duration=0.55, harmonics=[1.0, 0.25, 0.06], decay=0.14)
    write_wav(os.path.join(folder, "Found.wav"), found)
    write_wav(os.path.join(folder, "Notfound.wav"), not_found)


if __name__ == "__main__":
    main()
