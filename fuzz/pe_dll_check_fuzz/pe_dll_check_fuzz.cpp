// Any byte string as a downloaded .dll/.ocx: the library check must answer without
// reading outside the data, and more file can never turn a yes into a no.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "pe/dll_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using movarin::pe::CheckDll;
  const std::span<const std::uint8_t> file(data, size);
  const bool whole = CheckDll(file, size).ok();
  // The same bytes as the start of a longer file: the sections have more room.
  if (whole && !CheckDll(file, std::uint64_t{size} + 4096).ok()) std::abort();
  // Only the first half read: whatever passes must pass with the whole file read.
  const bool half = CheckDll(file.first(size / 2), size).ok();
  if (half && !whole) std::abort();
  return 0;
}
