// Little-endian stores into a byte buffer, for the pages the writer builds.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace movarin::tools::catalog_writer {

inline void Store16(std::span<std::uint8_t> to, std::size_t at, std::uint16_t v) {
  to[at] = static_cast<std::uint8_t>(v);
  to[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void Store32(std::span<std::uint8_t> to, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) to[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void Store64(std::span<std::uint8_t> to, std::size_t at, std::uint64_t v) {
  for (std::size_t i = 0; i < 8; ++i) to[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Appends little-endian values to a growing buffer.
class ByteAppender {
 public:
  explicit ByteAppender(std::vector<std::uint8_t>& out) : out_(out) {}
  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(std::uint16_t v) { U8(static_cast<std::uint8_t>(v)), U8(static_cast<std::uint8_t>(v >> 8)); }
  void U32(std::uint32_t v) { U16(static_cast<std::uint16_t>(v)), U16(static_cast<std::uint16_t>(v >> 16)); }
  void F64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    U32(static_cast<std::uint32_t>(bits)), U32(static_cast<std::uint32_t>(bits >> 32));
  }
  void Utf16(std::u16string_view text) {
    for (char16_t unit : text) U16(static_cast<std::uint16_t>(unit));
  }
  void Zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
  std::size_t size() const { return out_.size(); }

 private:
  std::vector<std::uint8_t>& out_;
};

}  // namespace movarin::tools::catalog_writer
