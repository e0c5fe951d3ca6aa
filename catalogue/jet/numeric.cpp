#include "catalogue/jet/numeric.h"

#include <algorithm>

namespace movarin::catalogue::jet {

std::string NumericToText(std::span<const std::uint8_t, kNumericSize> stored, std::uint8_t scale) {
  // Most significant word first; long division by 10 gives the digits, least first.
  std::array<std::uint32_t, 4> words{};
  for (std::size_t w = 0; w < 4; ++w) {
    const std::size_t at = 1 + w * 4;
    words[w] = static_cast<std::uint32_t>(stored[at]) |
               (static_cast<std::uint32_t>(stored[at + 1]) << 8) |
               (static_cast<std::uint32_t>(stored[at + 2]) << 16) |
               (static_cast<std::uint32_t>(stored[at + 3]) << 24);
  }
  std::string digits;
  auto is_zero = [&] {
    return std::all_of(words.begin(), words.end(), [](std::uint32_t w) { return w == 0; });
  };
  while (!is_zero()) {
    std::uint64_t remainder = 0;
    for (auto& word : words) {
      const std::uint64_t current = (remainder << 32) | word;
      word = static_cast<std::uint32_t>(current / 10);
      remainder = current % 10;
    }
    digits.push_back(static_cast<char>('0' + remainder));
  }
  // Enough digits for the point and one leading zero.
  while (digits.size() < static_cast<std::size_t>(scale) + 1) digits.push_back('0');
  std::reverse(digits.begin(), digits.end());
  if (scale > 0) digits.insert(digits.end() - scale, '.');
  // The sign byte is kept even for zero, as other readers print it ("-0.000").
  if ((stored[0] & 0x80) != 0) digits.insert(digits.begin(), '-');
  return digits;
}

}  // namespace movarin::catalogue::jet
