#pragma once
// GIF 87a and 89a: the first frame, with the transparent index of its graphic control
// extension, local or global colour table and interlaced rows.
#include <cstdint>
#include <span>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

class GifParser {
 public:
  // "GIF87a" or "GIF89a" in any letter case.
  static bool IsGif(std::span<const std::uint8_t> data);
  base::Result<DecodedImage, ImageError> Decode(std::span<const std::uint8_t> data) const;
};

}  // namespace movarin::imaging
