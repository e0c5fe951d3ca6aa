#include "imaging/bmp_writer.h"

#include <cstring>

namespace movarin::imaging {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

void Put16(std::uint8_t*& p, std::uint32_t v) {
  *p++ = static_cast<std::uint8_t>(v), *p++ = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t*& p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) *p++ = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp32(const std::uint8_t* bits, int width, int height) {
  if (!bits || width < 1 || height < 1) return {};
  const std::size_t stride = std::size_t(width) * 4;
  const std::size_t pixel_bytes = stride * std::size_t(height);
  std::vector<std::uint8_t> out(kFileHeaderSize + kInfoHeaderSize + pixel_bytes);
  std::uint8_t* p = out.data();
  *p++ = 'B', *p++ = 'M';
  Put32(p, static_cast<std::uint32_t>(out.size()));
  Put32(p, 0);
  Put32(p, kFileHeaderSize + kInfoHeaderSize);
  Put32(p, kInfoHeaderSize);
  Put32(p, static_cast<std::uint32_t>(width));
  Put32(p, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
  Put16(p, 1);                                    // planes
  Put16(p, 32);                                   // bits per pixel
  Put32(p, 0);                                    // uncompressed
  Put32(p, static_cast<std::uint32_t>(pixel_bytes));
  Put32(p, kPixelsPerMetre);
  Put32(p, kPixelsPerMetre);
  Put32(p, 0);
  Put32(p, 0);
  for (int y = height - 1; y >= 0; --y, p += stride) {
    std::memcpy(p, bits + std::size_t(y) * stride, stride);
  }
  return out;
}

}  // namespace movarin::imaging
