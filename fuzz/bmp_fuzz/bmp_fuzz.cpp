// Bitmap decoding of hostile data.
#include "imaging/bitmap32.h"
#include "imaging/bmp_parser.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)BmpParser().Decode(std::span<const std::uint8_t>(data, size));
  Bitmap32 bitmap;
  if (bitmap.LoadFromBytes(std::span<const std::uint8_t>(data, size))) bitmap.SaveToStream();
  return 0;
}
