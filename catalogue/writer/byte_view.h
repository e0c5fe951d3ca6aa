// A bounds-checked view of untrusted bytes: every read covers its whole width or fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace movarin::catalogue::writer {

class ByteView {
 public:
  ByteView() = default;
  explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }

  // True when [offset, offset + length) lies inside the view; never overflows.
  bool Covers(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  std::optional<ByteView> Sub(std::uint64_t offset, std::uint64_t length) const {
    if (!Covers(offset, length)) return std::nullopt;
    return ByteView(bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
  }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const {
    if (!Covers(offset, 2)) return std::nullopt;
    const auto at = static_cast<std::size_t>(offset);
    return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
  }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const {
    auto low = U16(offset);
    auto high = low ? U16(offset + 2) : std::nullopt;
    if (!high) return std::nullopt;
    return static_cast<std::uint32_t>(*low | static_cast<std::uint32_t>(*high) << 16);
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace movarin::catalogue::writer
