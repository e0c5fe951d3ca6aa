// The one way the reader looks at file bytes: every read is checked to lie wholly inside
// the viewed range, so a hostile offset or length can only make a read fail.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <type_traits>

namespace movarin::catalogue::jet {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  // True when [offset, offset + length) lies inside the view (overflow-safe).
  bool Covers(std::size_t offset, std::size_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  std::optional<ByteReader> Sub(std::size_t offset, std::size_t length) const {
    if (!Covers(offset, length)) return std::nullopt;
    return ByteReader(bytes_.subspan(offset, length));
  }

  std::optional<std::uint8_t> U8(std::size_t offset) const { return Little<std::uint8_t>(offset); }
  std::optional<std::uint16_t> U16(std::size_t offset) const { return Little<std::uint16_t>(offset); }
  std::optional<std::uint32_t> U32(std::size_t offset) const { return Little<std::uint32_t>(offset); }
  std::optional<std::uint64_t> U64(std::size_t offset) const { return Little<std::uint64_t>(offset); }
  std::optional<std::int16_t> I16(std::size_t offset) const { return Little<std::int16_t>(offset); }
  std::optional<std::int32_t> I32(std::size_t offset) const { return Little<std::int32_t>(offset); }
  std::optional<std::int64_t> I64(std::size_t offset) const { return Little<std::int64_t>(offset); }
  std::optional<float> F32(std::size_t offset) const {
    auto raw = U32(offset);
    if (!raw) return std::nullopt;
    return std::bit_cast<float>(*raw);
  }
  std::optional<double> F64(std::size_t offset) const {
    auto raw = U64(offset);
    if (!raw) return std::nullopt;
    return std::bit_cast<double>(*raw);
  }

 private:
  template <typename T>
  std::optional<T> Little(std::size_t offset) const {
    if (!Covers(offset, sizeof(T))) return std::nullopt;
    using U = std::make_unsigned_t<T>;
    U value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      value = static_cast<U>(value | (static_cast<U>(bytes_[offset + i]) << (8 * i)));
    }
    return static_cast<T>(value);
  }

  std::span<const std::uint8_t> bytes_;
};

}  // namespace movarin::catalogue::jet
