#pragma once
// The percentage raised with each progress event.
#include <cstdint>

namespace movarin::download {

// Rounds to the nearest whole number; halves go to the even neighbour (12.5 -> 12,
// 13.5 -> 14). Values beyond the 64-bit range are clamped.
std::int64_t RoundHalfEven(double value);

// received / announced * 100, rounded half to even (34). announced must not be 0.
// Values beyond the range of int are clamped.
int ProgressPercent(std::int64_t received, std::int64_t announced);

}  // namespace movarin::download
