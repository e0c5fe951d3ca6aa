// Little-endian edits inside a file image, for tests that build or damage binary files.
// Every access is checked (std::vector::at): a test that edits outside its image stops.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace movarin::test {

inline void PutU8(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint8_t value) {
  bytes.at(at) = value;
}
inline void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  for (std::size_t i = 0; i < 2; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}
inline void PutF64(std::vector<std::uint8_t>& bytes, std::size_t at, double value) {
  const auto raw = std::bit_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < 8; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(raw >> (8 * i));
}
inline std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}
inline std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return GetU16(bytes, at) | (static_cast<std::uint32_t>(GetU16(bytes, at + 2)) << 16);
}

}  // namespace movarin::test
