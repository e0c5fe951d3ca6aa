#include "download/progress.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace movarin::download {

std::int64_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 as a double; anything at or beyond it does not fit.
  constexpr double kLimit = 9223372036854775808.0;
  if (value >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (value < -kLimit) return std::numeric_limits<std::int64_t>::min();
  const double floor_value = std::floor(value);
  const double fraction = value - floor_value;
  double rounded = floor_value;
  if (fraction > 0.5) {
    rounded = floor_value + 1.0;
  } else if (fraction == 0.5) {
    rounded = std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
  }
  if (rounded >= kLimit) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(rounded);
}

int ProgressPercent(std::int64_t received, std::int64_t announced) {
  const double percent =
      static_cast<double>(received) / static_cast<double>(announced) * 100.0;
  return static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(percent),
                                                   std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace movarin::download
