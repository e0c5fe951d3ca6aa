// Our DEFLATE decoder on hostile data, checked against the zlib library.
#include <cstdlib>

#include "imaging/inflate.h"
#include "imaging/zlib_library.h"

using namespace movarin::imaging;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  constexpr std::size_t kLimit = 1 << 20;
  std::vector<std::uint8_t> ours, theirs;
  const bool ours_ok = InflateZlibStream(bytes, kLimit, ours) == ImageError::None;
  const bool theirs_ok = ZlibLibraryInflate(bytes, kLimit, theirs) == ImageError::None;
  if (ours_ok != theirs_ok || (ours_ok && ours != theirs)) std::abort();
  InflateRawDeflate(bytes, kLimit, ours);
  return 0;
}
