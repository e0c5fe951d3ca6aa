// PNG decoding of hostile data, with both inflate paths: they must agree.
#include <cstdlib>
#include <cstring>

#include "imaging/bitmap32.h"
#include "imaging/png_parser.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  // Without the CRC check the fuzzer reaches the decoder instead of stopping at checksums.
  const auto with_zlib = PngParser({.use_zlib_library = true, .verify_crc = false}).Decode(bytes);
  const auto with_own = PngParser({.use_zlib_library = false, .verify_crc = false}).Decode(bytes);
  if (with_zlib.ok() != with_own.ok()) std::abort();
  if (with_zlib && with_zlib->pixels != with_own->pixels) std::abort();
  Bitmap32 bitmap;
  (void)bitmap.LoadFromBytes(bytes, 32, 32);
  return 0;
}
