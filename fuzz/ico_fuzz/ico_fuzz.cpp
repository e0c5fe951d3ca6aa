// Icon and cursor decoding of hostile data; the first two bytes pick the wanted size.
#include "imaging/bitmap32.h"
#include "imaging/ico_parser.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int wanted_w = data[0], wanted_h = data[1];
  const std::span<const std::uint8_t> bytes(data + 2, size - 2);
  DecodedImage image;
  IcoParser().Decode(bytes, wanted_w, wanted_h, image);
  bool cursor;
  std::vector<IconEntry> entries;
  if (IcoParser::ReadDirectory(bytes, cursor, entries) == ImageError::None) {
    for (const IconEntry& e : entries) IcoParser().DecodeEntry(bytes, e, cursor, image);
  }
  Bitmap32 bitmap;
  bitmap.LoadFromBytes(bytes, wanted_w, wanted_h);
  return 0;
}
