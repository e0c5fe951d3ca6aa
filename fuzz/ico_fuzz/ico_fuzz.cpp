// Icon and cursor decoding of hostile data; the first two bytes pick the wanted size.
#include "imaging/bitmap32.h"
#include "imaging/ico_parser.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int wanted_w = data[0], wanted_h = data[1];
  const std::span<const std::uint8_t> bytes(data + 2, size - 2);
  (void)IcoParser().Decode(bytes, wanted_w, wanted_h);
  if (const auto directory = IcoParser::ReadDirectory(bytes)) {
    for (const IconEntry& e : directory->entries) (void)IcoParser().DecodeEntry(bytes, e, directory->cursor);
  }
  Bitmap32 bitmap;
  (void)bitmap.LoadFromBytes(bytes, wanted_w, wanted_h);
  return 0;
}
