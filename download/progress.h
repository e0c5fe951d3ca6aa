#pragma once
// The percentage raised with each progress event.
#include <cstdint>
#include <string>

namespace movarin::download {

// Rounds to the nearest whole number; halves go to the even neighbour (12.5 -> 12,
// 13.5 -> 14). Values beyond the 64-bit range are clamped.
std::int64_t RoundHalfEven(double value);

// received / announced * 100, rounded half to even, as decimal text ("34"). announced
// must not be 0.
std::string ProgressText(std::int64_t received, std::int64_t announced);

}  // namespace movarin::download
