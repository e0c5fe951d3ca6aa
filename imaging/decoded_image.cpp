#include "imaging/decoded_image.h"

#include "imaging/image_limits.h"

namespace movarin::imaging {

base::Result<DecodedImage, ImageError> AllocateImage(std::uint64_t width, std::uint64_t height) {
  if (width < 1 || height < 1) return ImageError::kBadHeader;
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) {
    return ImageError::kImageTooLarge;
  }
  DecodedImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.assign(static_cast<std::size_t>(width * height * 4), 0);
  return image;
}

}  // namespace movarin::imaging
