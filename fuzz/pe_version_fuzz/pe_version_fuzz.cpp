// Any byte string as a .dll/.ocx file: the version reader must answer or name a fault.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pe/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)movarin::pe::ReadFileVersion(std::span(data, size));
  return 0;
}
