#pragma once
// BMP files: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up and top-down rows, bit
// fields; 32-bit bitmaps are analysed to learn whether their alpha channel means anything.
#include <cstdint>
#include <span>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

class BmpParser {
 public:
  // "BM" with a width of at least 1 and a height other than 0.
  static bool IsBmp(std::span<const std::uint8_t> data);
  base::Result<DecodedImage, ImageError> Decode(std::span<const std::uint8_t> data) const;
};

}  // namespace movarin::imaging
