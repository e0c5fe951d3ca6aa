#include "imaging/decoded_image.h"

#include "imaging/image_limits.h"

namespace movarin::imaging {

ImageError AllocateImage(DecodedImage& image, std::uint64_t width, std::uint64_t height) {
  if (width < 1 || height < 1) return ImageError::BadHeader;
  if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) {
    return ImageError::ImageTooLarge;
  }
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.assign(static_cast<std::size_t>(width * height * 4), 0);
  return ImageError::None;
}

}  // namespace movarin::imaging
