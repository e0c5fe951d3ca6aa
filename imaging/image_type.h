#pragma once
// The source-format codes of a loaded picture (Bitmap32::ImageType).
#include <cstdint>

namespace movarin::imaging {

enum ImageTypeCode : std::int32_t {
  kImageNone = 0,
  kImageBitmap = 1,          // bitmap without meaningful alpha, or a picture-loader result
  kImageMetafile = 2,        // WMF through the system picture loader
  kImageIcon = 3,            // icon entry with an AND mask
  kImageEnhMetafile = 4,     // EMF through the system picture loader
  kImageCursor = 5,          // cursor entry with an AND mask
  kImageBitmapArgb = 6,      // 32-bit bitmap with straight alpha
  kImageBitmapPargb = 7,     // 32-bit bitmap with premultiplied alpha
  kImageIconArgb = 8,        // icon entry with an alpha channel
  kImageGif = 9,
  kImagePng = 10,
  kImagePngIcon = 11,        // PNG-compressed entry of an icon or cursor file
  kImageCursorArgb = 12,     // cursor entry with an alpha channel
};

}  // namespace movarin::imaging
