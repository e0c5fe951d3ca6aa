// GIF decoding of hostile data.
#include "imaging/bitmap32.h"
#include "imaging/gif_parser.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)GifParser().Decode(std::span<const std::uint8_t>(data, size));
  Bitmap32 bitmap;
  (void)bitmap.LoadFromBytes(std::span<const std::uint8_t>(data, size));
  return 0;
}
