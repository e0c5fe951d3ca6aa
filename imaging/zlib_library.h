#pragma once
// The zlib library's inflate and crc32, with the same contract as our own decoder.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

// Like InflateZlibStream, but decompressed by the zlib library.
base::Result<std::vector<std::uint8_t>, ImageError> ZlibLibraryInflate(std::span<const std::uint8_t> in,
                                                                        std::size_t max_output);

// CRC-32 as PNG chunks use it.
std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc = 0);

}  // namespace movarin::imaging
