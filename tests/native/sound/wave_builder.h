#pragma once
// Building RIFF/WAVE files byte by byte for tests: chunks with any declared size, with
// or without their padding byte, so that both good files and every kind of broken one
// can be written down in a line. Portable; the Wine tests use it too.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace movarin::sound::test {

inline std::string Le16(std::uint16_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}
inline std::string Le32(std::uint32_t v) { return Le16(static_cast<std::uint16_t>(v)) + Le16(static_cast<std::uint16_t>(v >> 16)); }

// A chunk: id, size (the data's length unless `declared` says otherwise), data, and the
// padding byte after odd-sized data unless `pad` is false.
inline std::string Chunk(std::string_view id, std::string_view data,
                         std::optional<std::uint32_t> declared = std::nullopt, bool pad = true) {
  std::string out(id);
  out += Le32(declared.value_or(static_cast<std::uint32_t>(data.size())));
  out += data;
  if (pad && data.size() % 2 == 1) out += '\0';
  return out;
}

// The RIFF chunk around a form type and its sub-chunks.
inline std::string Riff(std::string_view body, std::string_view form_type = "WAVE",
                        std::optional<std::uint32_t> declared = std::nullopt) {
  return Chunk("RIFF", std::string(form_type) + std::string(body), declared);
}

// The 16 bytes of a PCM format record.
inline std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  const std::uint16_t block = static_cast<std::uint16_t>(channels * bits / 8);
  return Le16(1) + Le16(channels) + Le32(rate) + Le32(rate * block) + Le16(block) + Le16(bits);
}

// A whole PCM file: "fmt " (16 bytes) then "data".
inline std::string PcmWave(std::string_view samples, std::uint16_t channels = 1,
                           std::uint32_t rate = 8000, std::uint16_t bits = 16) {
  return Riff(Chunk("fmt ", PcmFormat(channels, rate, bits)) + Chunk("data", samples));
}

// 16-bit mono samples of a sine tone at `amplitude` (0..1 of full scale).
inline std::string SineSamples(double seconds, std::uint32_t rate, double frequency, double amplitude) {
  std::string out;
  const auto count = static_cast<std::size_t>(seconds * rate);
  for (std::size_t i = 0; i < count; ++i) {
    const double v = amplitude * 32767.0 * std::sin(2.0 * 3.141592653589793 * frequency * static_cast<double>(i) / rate);
    out += Le16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))));
  }
  return out;
}

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace movarin::sound::test
