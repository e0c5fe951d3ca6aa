#include "skin/picture_scaling.h"

#include <algorithm>

namespace movarin::skin {

std::vector<std::uint8_t> ScalePicture(const PixelView& s, int width, int height) {
  if (width < 1 || height < 1 || s.width < 1 || s.height < 1 || !s.bits) return {};
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  for (int y = 0; y < height; ++y) {
    // Source rows [y0, y1) cover this row (at least one).
    const int y0 = static_cast<int>(static_cast<long long>(y) * s.height / height);
    const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * s.height / height));
    for (int x = 0; x < width; ++x) {
      const int x0 = static_cast<int>(static_cast<long long>(x) * s.width / width);
      const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * s.width / width));
      std::uint32_t sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        const std::uint8_t* row = s.bits + static_cast<std::size_t>(sy) * static_cast<std::size_t>(s.stride);
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 4; ++c) sum[c] += row[sx * 4 + c];
      }
      const std::uint32_t n = static_cast<std::uint32_t>((y1 - y0) * (x1 - x0));
      std::uint8_t* px = out.data() + (static_cast<std::size_t>(y) * width + x) * 4;
      for (int c = 0; c < 4; ++c) px[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
    }
  }
  return out;
}

}  // namespace movarin::skin
