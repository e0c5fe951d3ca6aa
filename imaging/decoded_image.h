#pragma once
// A decoded picture as every parser hands it over: rows top-down, 4 bytes per pixel in
// the order blue, green, red, alpha, the colours premultiplied by alpha.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/result.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  bool alpha = false;
  std::int32_t image_type = 0;

  std::size_t stride() const { return std::size_t(width) * 4; }
  std::uint8_t* row(int y) { return pixels.data() + std::size_t(y) * stride(); }
  const std::uint8_t* row(int y) const { return pixels.data() + std::size_t(y) * stride(); }
};

// An image of this size with zeroed (transparent) pixels, when the loader's limits allow it.
base::Result<DecodedImage, ImageError> AllocateImage(std::uint64_t width, std::uint64_t height);

// Colour times alpha over 255, rounded to nearest.
inline std::uint8_t Premultiply(std::uint32_t colour, std::uint32_t alpha) {
  return static_cast<std::uint8_t>((colour * alpha + 127) / 255);
}

// Writes one pixel from straight (non-premultiplied) RGBA.
inline void PutStraight(std::uint8_t* px, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                        std::uint8_t a) {
  if (a == 255) {
    px[0] = b, px[1] = g, px[2] = r, px[3] = 255;
  } else {
    px[0] = Premultiply(b, a), px[1] = Premultiply(g, a), px[2] = Premultiply(r, a), px[3] = a;
  }
}

}  // namespace movarin::imaging
