#pragma once
// Colours as the skinned controls store them: 32-bit values 0x00BBGGRR, and the few
// colour rules every one of them draws with.
#include <cstdint>

namespace movarin::skin {

using Colour = std::uint32_t;

constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int Red(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int Green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int Blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kWhite = 0x00FFFFFF;

// Whole-number division results are rounded to the nearest integer, a half to the even
// neighbour (2.5 gives 2, 3.5 gives 4).
int RoundHalfEven(double value);
// numerator / denominator rounded the same way; denominator must not be 0.
int DivideRounded(int numerator, int denominator);

// Each channel becomes (channel + 255) / 2, rounded: the skin lightens every fill so.
Colour AverageWithWhite(Colour c);

// One line of the skin's vertical gradient: the step (to - from) / lines is computed in
// single precision per channel, the colour of line i is from + i * step, rounded.
Colour SkinGradientLine(Colour from, Colour to, int lines, int i);

// Linear interpolation at `pos` of `length` between two colours with 16 bits a channel,
// rounding down (what GDI's gradient fill does with the same end points).
Colour InterpolateDown(Colour from, Colour to, int pos, int length);

}  // namespace movarin::skin
