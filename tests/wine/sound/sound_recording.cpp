#include "tests/wine/sound/sound_recording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <windows.h>

#include "platform/win32/text.h"
#include "sound/wave_file.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::sound::test {

namespace support = movarin::test;

std::optional<Sound> Decode(const std::string& file_bytes) {
  const std::vector<std::uint8_t> bytes(file_bytes.begin(), file_bytes.end());
  const auto layout = ReadWaveLayout(bytes);
  if (!layout) return std::nullopt;
  const WaveFormat& f = layout->format;
  const std::size_t bytes_per_sample = f.bits_per_sample / 8;
  if (f.channels == 0 || (bytes_per_sample != 2 && bytes_per_sample != 4)) return std::nullopt;
  const std::size_t frame = bytes_per_sample * f.channels;
  const std::size_t available = bytes.size() - static_cast<std::size_t>(layout->data_offset);
  const std::size_t length =
      layout->declared_data_size == 0 ? available : std::min<std::size_t>(layout->declared_data_size, available);
  Sound sound;
  sound.rate = f.samples_per_second;
  for (std::size_t at = static_cast<std::size_t>(layout->data_offset);
       at + frame <= layout->data_offset + length; at += frame) {
    if (bytes_per_sample == 2) {
      sound.samples.push_back(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8) / 32768.0);
    } else {
      float v;
      std::memcpy(&v, &bytes[at], 4);
      sound.samples.push_back(v);
    }
  }
  return sound;
}

std::vector<double> Envelope(const Sound& sound) {
  const auto window = static_cast<std::size_t>(sound.rate / 100);
  std::vector<double> out;
  for (std::size_t at = 0; at + window <= sound.samples.size(); at += window) {
    double sum = 0;
    for (std::size_t i = at; i < at + window; ++i) sum += sound.samples[i] * sound.samples[i];
    out.push_back(std::sqrt(sum / static_cast<double>(window)));
  }
  return out;
}

Span Audible(const std::vector<double>& envelope, double threshold) {
  Span span;
  for (std::size_t i = 0; i < envelope.size(); ++i) {
    if (envelope[i] <= threshold) continue;
    if (!span.any) span.first = i;
    span.last = i;
    span.any = true;
  }
  return span;
}

double ShapeCorrelation(const std::vector<double>& reference, const std::vector<double>& heard) {
  const Span a = Audible(reference), b = Audible(heard);
  if (!a.any || !b.any) return 0;
  const std::size_t n = std::min(a.length(), heard.size() - b.first);
  double ma = 0, mb = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ma += reference[a.first + i];
    mb += heard[b.first + i];
  }
  ma /= static_cast<double>(n);
  mb /= static_cast<double>(n);
  double sab = 0, saa = 0, sbb = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = reference[a.first + i] - ma, y = heard[b.first + i] - mb;
    sab += x * y;
    saa += x * x;
    sbb += y * y;
  }
  return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0;
}

double Peak(const Sound& sound) {
  double peak = 0;
  for (double v : sound.samples) peak = std::max(peak, std::abs(v));
  return peak;
}

std::optional<Sound> Recording() {
  const auto path = support::EnvVar("MOVARIN_SOUND_RECORDING");
  if (!path) return std::nullopt;
  const auto bytes = support::ReadWholeFile(support::WindowsPath(*path));
  if (!bytes) return std::nullopt;
  return Decode(*bytes);
}

namespace {
std::optional<std::string> RecordingsFolder() {
  const auto path = support::EnvVar("MOVARIN_SOUND_RECORDINGS");
  if (!path) return std::nullopt;
  return support::WindowsPath(*path);
}
}  // namespace

std::vector<Sound> DeviceRecordings() {
  std::vector<Sound> sounds;
  const auto folder = RecordingsFolder();
  if (!folder) return sounds;
  for (const std::string& name : support::FolderEntries(*folder)) {
    const auto bytes = support::ReadWholeFile(support::JoinPath(*folder, name));
    if (!bytes) continue;
    if (auto sound = Decode(*bytes)) sounds.push_back(std::move(*sound));
  }
  return sounds;
}

void ClearDeviceRecordings() {
  const auto folder = RecordingsFolder();
  if (!folder) return;
  for (const std::string& name : support::FolderEntries(*folder))
    DeleteFileW(movarin::win32::Widen(support::JoinPath(*folder, name)).c_str());
}

}  // namespace movarin::sound::test
