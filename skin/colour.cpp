#include "skin/colour.h"

#include <cmath>

namespace movarin::skin {

int RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double rest = value - floor;
  int whole = static_cast<int>(floor);
  if (rest > 0.5 || (rest == 0.5 && (whole % 2 != 0))) ++whole;
  return whole;
}

int DivideRounded(int numerator, int denominator) {
  return RoundHalfEven(static_cast<double>(numerator) / static_cast<double>(denominator));
}

Colour AverageWithWhite(Colour c) {
  return Rgb(DivideRounded(Red(c) + 255, 2), DivideRounded(Green(c) + 255, 2),
             DivideRounded(Blue(c) + 255, 2));
}

namespace {

int GradientChannel(int from, int to, int lines, int i) {
  // Every intermediate is a float, as the fill computes it, so the result is the same
  // whatever precision the processor would otherwise keep.
  const float step = static_cast<float>(to - from) / static_cast<float>(lines);
  const float product = static_cast<float>(i) * step;
  const float value = static_cast<float>(from) + product;
  const int rounded = RoundHalfEven(value);
  return rounded < 0 ? 0 : rounded > 255 ? 255 : rounded;
}

int InterpolateChannel(int from, int to, int pos, int length) {
  const int from16 = from << 8, to16 = to << 8;
  const long long mixed = static_cast<long long>(from16) * (length - pos) +
                          static_cast<long long>(to16) * pos;
  return static_cast<int>(mixed / length / 256);
}

}  // namespace

Colour SkinGradientLine(Colour from, Colour to, int lines, int i) {
  return Rgb(GradientChannel(Red(from), Red(to), lines, i),
             GradientChannel(Green(from), Green(to), lines, i),
             GradientChannel(Blue(from), Blue(to), lines, i));
}

Colour InterpolateDown(Colour from, Colour to, int pos, int length) {
  if (length <= 0) return from;
  return Rgb(InterpolateChannel(Red(from), Red(to), pos, length),
             InterpolateChannel(Green(from), Green(to), pos, length),
             InterpolateChannel(Blue(from), Blue(to), pos, length));
}

}  // namespace movarin::skin
