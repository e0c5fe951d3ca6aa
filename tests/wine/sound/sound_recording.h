// What the recording ALSA device heard (run_with_recorder.sh), decoded and compared with
// the cue files: the audible length, the loudness and the shape of the envelope in 10 ms
// windows. Used by the sound player's Wine test and the program's end-to-end sound test.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace movarin::sound::test {

struct Sound {
  double rate = 0;
  std::vector<double> samples;  // the first channel, in -1..1
};

// Decodes 16-bit PCM or 32-bit float. A header that names no data at all was written
// before the recording's length was known (or by a second device of the same process
// that recorded nothing and closed last): the data then runs to the end of the file.
std::optional<Sound> Decode(const std::string& file_bytes);

// Loudness in 10 ms windows.
std::vector<double> Envelope(const Sound& sound);

// The windows louder than a quiet threshold: [first, last].
struct Span {
  std::size_t first = 0, last = 0;
  bool any = false;
  std::size_t length() const { return any ? last - first + 1 : 0; }
};
Span Audible(const std::vector<double>& envelope, double threshold = 0.01);

// Correlation of the two envelopes from their first audible window on, over the
// reference's audible length.
double ShapeCorrelation(const std::vector<double>& reference, const std::vector<double>& heard);

double Peak(const Sound& sound);

// The recording the device wrote (MOVARIN_SOUND_RECORDING), decoded; nullopt when there
// is none.
std::optional<Sound> Recording();

// With run_with_recorder.sh --per-device: what each device recorded (every file in
// MOVARIN_SOUND_RECORDINGS, decoded), and emptying that folder before a new run.
std::vector<Sound> DeviceRecordings();
void ClearDeviceRecordings();

}  // namespace movarin::sound::test
