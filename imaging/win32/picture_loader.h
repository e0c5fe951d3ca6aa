#pragma once
// Converting pictures and GDI handles into decoded images, and the system picture
// loader for the formats our own parsers do not read.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <span>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging::win32 {

// A bitmap handle as 32 bpp; a 32-bit source gets the alpha analysis of BMP files.
base::Result<DecodedImage, ImageError> BitmapToImage(HBITMAP bitmap);
// An icon or cursor handle with its mask or alpha channel.
base::Result<DecodedImage, ImageError> IconToImage(HICON icon);
// A picture object: bitmaps, icons and cursors as above, metafiles drawn onto white.
base::Result<DecodedImage, ImageError> PictureToImage(IPicture* picture);
// Copies the bytes into a movable memory block, wraps it as a stream that frees the
// block when released and lets the system picture loader decode it.
base::Result<DecodedImage, ImageError> LoadWithSystemPictureLoader(std::span<const std::uint8_t> bytes);

}  // namespace movarin::imaging::win32
