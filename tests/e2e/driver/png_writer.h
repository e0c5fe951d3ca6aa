#pragma once
// A small PNG encoder for screenshots: 8-bit RGB, no interlacing, zlib-compressed.
#include <cstdint>
#include <span>
#include <string>

namespace movarin::e2e {

// Encodes width x height pixels given as R, G, B bytes, rows top to bottom. Returns the
// PNG file's bytes, or an empty string (with *error set) for sizes out of range or a
// pixel buffer of the wrong length.
std::string EncodePng(std::uint32_t width, std::uint32_t height,
                      std::span<const std::uint8_t> rgb, std::string* error = nullptr);

}  // namespace movarin::e2e
