// Our DEFLATE decoder on hostile data, checked against the zlib library.
#include <cstdlib>

#include "imaging/inflate.h"
#include "imaging/zlib_library.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  constexpr std::size_t kLimit = 1 << 20;
  const auto ours = InflateZlibStream(bytes, kLimit);
  const auto theirs = ZlibLibraryInflate(bytes, kLimit);
  if (ours.ok() != theirs.ok() || (ours && *ours != *theirs)) std::abort();
  (void)InflateRawDeflate(bytes, kLimit);
  return 0;
}
