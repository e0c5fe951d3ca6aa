// GIF decoding of hostile data.
#include "imaging/bitmap32.h"
#include "imaging/gif_parser.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DecodedImage image;
  GifParser().Decode(std::span<const std::uint8_t>(data, size), image);
  Bitmap32 bitmap;
  bitmap.LoadFromBytes(std::span<const std::uint8_t>(data, size));
  return 0;
}
