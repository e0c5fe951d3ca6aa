// The one way every decoder looks at outside bytes. Each read checks that its whole
// width lies inside the data before it touches a byte, so a hostile offset or length can
// only make a read fail, never reach past the end.
//
// Two styles over the same bytes:
//  - offset reads (U16(offset), ...) return std::nullopt when out of range and leave the
//    reader unchanged: for formats addressed by offsets (pages, headers, directories);
//  - cursor reads (ReadU16(), ...) advance a position. A failed cursor read returns 0 (or
//    an empty span) and sets a sticky failure state that stays until Reset(), so a decoder
//    can read a whole structure and check failed() once at the end.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

namespace movarin::base {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  // True when [offset, offset + length) lies inside the data (overflow-safe).
  bool Covers(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }

  // ---- Offset reads ----
  std::optional<ByteReader> Sub(std::uint64_t offset, std::uint64_t length) const {
    if (!Covers(offset, length)) return std::nullopt;
    return ByteReader(bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
  }
  std::optional<std::span<const std::uint8_t>> Bytes(std::uint64_t offset, std::uint64_t length) const {
    if (!Covers(offset, length)) return std::nullopt;
    return bytes_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
  }
  std::optional<std::uint8_t> U8(std::uint64_t offset) const { return Load<std::uint8_t, false>(offset); }
  std::optional<std::uint16_t> U16(std::uint64_t offset) const { return Load<std::uint16_t, false>(offset); }
  std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Load<std::uint32_t, false>(offset); }
  std::optional<std::uint64_t> U64(std::uint64_t offset) const { return Load<std::uint64_t, false>(offset); }
  std::optional<std::int16_t> I16(std::uint64_t offset) const { return Load<std::int16_t, false>(offset); }
  std::optional<std::int32_t> I32(std::uint64_t offset) const { return Load<std::int32_t, false>(offset); }
  std::optional<std::int64_t> I64(std::uint64_t offset) const { return Load<std::int64_t, false>(offset); }
  std::optional<std::uint16_t> U16BE(std::uint64_t offset) const { return Load<std::uint16_t, true>(offset); }
  std::optional<std::uint32_t> U32BE(std::uint64_t offset) const { return Load<std::uint32_t, true>(offset); }
  std::optional<float> F32(std::uint64_t offset) const {
    auto raw = U32(offset);
    if (!raw) return std::nullopt;
    return std::bit_cast<float>(*raw);
  }
  std::optional<double> F64(std::uint64_t offset) const {
    auto raw = U64(offset);
    if (!raw) return std::nullopt;
    return std::bit_cast<double>(*raw);
  }

  // ---- Cursor reads ----
  std::size_t position() const { return position_; }
  std::size_t remaining() const { return bytes_.size() - position_; }
  bool AtEnd() const { return position_ == bytes_.size(); }
  bool failed() const { return failed_; }
  bool ok() const { return !failed_; }
  // Clears the failure state (the position stays where the last good read left it).
  void Reset() { failed_ = false; }

  bool Seek(std::uint64_t position) {
    if (position > bytes_.size()) return Fail();
    position_ = static_cast<std::size_t>(position);
    return true;
  }
  bool Skip(std::uint64_t count) {
    if (count > remaining()) return Fail();
    position_ += static_cast<std::size_t>(count);
    return true;
  }
  // The next `count` bytes, or an empty span (and the failure state) when fewer remain.
  std::span<const std::uint8_t> ReadBytes(std::uint64_t count) {
    if (count > remaining()) {
      Fail();
      return {};
    }
    auto out = bytes_.subspan(position_, static_cast<std::size_t>(count));
    position_ += static_cast<std::size_t>(count);
    return out;
  }
  std::uint8_t ReadU8() { return Next<std::uint8_t, false>(); }
  std::uint16_t ReadU16() { return Next<std::uint16_t, false>(); }
  std::uint32_t ReadU32() { return Next<std::uint32_t, false>(); }
  std::uint64_t ReadU64() { return Next<std::uint64_t, false>(); }
  std::int16_t ReadI16() { return Next<std::int16_t, false>(); }
  std::int32_t ReadI32() { return Next<std::int32_t, false>(); }
  std::uint16_t ReadU16BE() { return Next<std::uint16_t, true>(); }
  std::uint32_t ReadU32BE() { return Next<std::uint32_t, true>(); }

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }

  template <typename T, bool kBigEndian>
  std::optional<T> Load(std::uint64_t offset) const {
    if (!Covers(offset, sizeof(T))) return std::nullopt;
    return Assemble<T, kBigEndian>(static_cast<std::size_t>(offset));
  }

  template <typename T, bool kBigEndian>
  T Next() {
    if (sizeof(T) > remaining()) {
      Fail();
      return T{};
    }
    const T value = Assemble<T, kBigEndian>(position_);
    position_ += sizeof(T);
    return value;
  }

  template <typename T, bool kBigEndian>
  T Assemble(std::size_t at) const {
    using U = std::make_unsigned_t<T>;
    U value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      const std::size_t shift = kBigEndian ? 8 * (sizeof(T) - 1 - i) : 8 * i;
      value = static_cast<U>(value | (static_cast<U>(bytes_[at + i]) << shift));
    }
    return static_cast<T>(value);
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool failed_ = false;
};

}  // namespace movarin::base
