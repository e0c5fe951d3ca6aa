#pragma once
// Converting pictures and GDI handles into decoded images, and the system picture
// loader for the formats our own parsers do not read.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <span>

#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging::win32 {

// A bitmap handle as 32 bpp; a 32-bit source gets the alpha analysis of BMP files.
ImageError BitmapToImage(HBITMAP bitmap, DecodedImage& image);
// An icon or cursor handle with its mask or alpha channel.
ImageError IconToImage(HICON icon, DecodedImage& image);
// A picture object: bitmaps, icons and cursors as above, metafiles drawn onto white.
ImageError PictureToImage(IPicture* picture, DecodedImage& image);
// Copies the bytes into a movable memory block, wraps it as a stream that frees the
// block when released and lets the system picture loader decode it.
ImageError LoadWithSystemPictureLoader(std::span<const std::uint8_t> bytes, DecodedImage& image);

}  // namespace movarin::imaging::win32
