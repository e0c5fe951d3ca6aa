// Jet's NUMERIC (decimal) values: a sign byte and a 128-bit magnitude.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace movarin::catalogue::jet {

inline constexpr std::size_t kNumericSize = 17;

// The decimal text of a stored value with `scale` digits after the point, e.g. "-12.50".
// Byte 0: 0x80 when negative; then four little-endian 32-bit words, most significant first.
std::string NumericToText(std::span<const std::uint8_t, kNumericSize> stored, std::uint8_t scale);

}  // namespace movarin::catalogue::jet
