#pragma once
// Bounds-checked reading of outside data. Every read checks that its whole width lies
// inside the data before it touches a byte; a failed read leaves the position unchanged.
#include <cstddef>
#include <cstdint>
#include <span>

namespace movarin::imaging {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return data_.size() - pos_; }
  std::size_t size() const { return data_.size(); }

  bool Seek(std::size_t pos) {
    if (pos > data_.size()) return false;
    pos_ = pos;
    return true;
  }
  bool Skip(std::size_t n) {
    if (n > remaining()) return false;
    pos_ += n;
    return true;
  }
  bool ReadBytes(std::size_t n, std::span<const std::uint8_t>& out) {
    if (n > remaining()) return false;
    out = data_.subspan(pos_, n);
    pos_ += n;
    return true;
  }
  bool ReadU8(std::uint8_t& v) {
    if (remaining() < 1) return false;
    v = data_[pos_++];
    return true;
  }
  bool ReadU16LE(std::uint16_t& v) {
    if (remaining() < 2) return false;
    v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool ReadU32LE(std::uint32_t& v) {
    if (remaining() < 4) return false;
    v = LoadU32LE(data_.data() + pos_);
    pos_ += 4;
    return true;
  }
  bool ReadI32LE(std::int32_t& v) {
    std::uint32_t u;
    if (!ReadU32LE(u)) return false;
    v = static_cast<std::int32_t>(u);
    return true;
  }
  bool ReadU32BE(std::uint32_t& v) {
    if (remaining() < 4) return false;
    v = LoadU32BE(data_.data() + pos_);
    pos_ += 4;
    return true;
  }

  static std::uint32_t LoadU32LE(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
  }
  // PNG stores its integers big-endian.
  static std::uint32_t LoadU32BE(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) |
           (std::uint32_t(p[2]) << 8) | std::uint32_t(p[3]);
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

// Overflow-checked size arithmetic: false when the result does not fit.
inline bool CheckedMul(std::size_t a, std::size_t b, std::size_t& out) {
  return !__builtin_mul_overflow(a, b, &out);
}
inline bool CheckedAdd(std::size_t a, std::size_t b, std::size_t& out) {
  return !__builtin_add_overflow(a, b, &out);
}

}  // namespace movarin::imaging
