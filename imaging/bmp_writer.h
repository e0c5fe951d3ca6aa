#pragma once
// Writes 32-bit BMP files: "BM" file header, 40-byte info header, bottom-up rows.
#include <cstdint>
#include <vector>

namespace movarin::imaging {

// `bits` holds `height` top-down rows of width * 4 bytes (BGRA).
std::vector<std::uint8_t> EncodeBmp32(const std::uint8_t* bits, int width, int height);

}  // namespace movarin::imaging
