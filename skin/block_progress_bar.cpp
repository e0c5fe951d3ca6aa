#include "skin/block_progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace movarin::skin {
namespace {

double Fraction(const BlockProgressBarProperties& p) {
  if (p.max == p.min) return 0;
  const double f = (static_cast<double>(p.value) - p.min) / (static_cast<double>(p.max) - p.min);
  return std::clamp(f, 0.0, 1.0);
}

int Mod(int a, int m) { return ((a % m) + m) % m; }

}  // namespace

Colour LightBlockColour(Colour c) {
  auto light = [](int channel) { return std::min(255, 150 + (255 - 150) * channel / 255); };
  return Rgb(light(Red(c)), light(Green(c)), light(Blue(c)));
}

Rect FilledPart(const BlockProgressBarProperties& p, const Rect& r) {
  const double f = Fraction(p);
  if (p.orientation == 0) {
    int right = r.left + RoundHalfEven(f * r.Width());
    right -= Mod(right - r.left, kBlockStep);
    right = std::max(right, r.left);
    return {r.left, r.top, right, r.bottom};
  }
  const double fv = 1 - f - 0.02;
  int top = r.top + RoundHalfEven(fv * r.Height());
  top += Mod(r.bottom - top, kBlockStep);
  top = std::min(top, r.bottom);
  return {r.left, top, r.right, r.bottom};
}

std::string ProgressText(const BlockProgressBarProperties& p) {
  if (p.scrolling == 2) return "Searching..";
  const double shown = static_cast<double>(p.value) * p.max / 100.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.15g %%", shown);
  return text;
}

void DrawBlockProgressBar(Canvas& c, const BlockProgressBarProperties& p) {
  const Size extent = c.Extent();
  const int w = extent.width, h = extent.height;
  const Rect client{0, 0, w, h};
  c.FillRect(client, kWhite);

  const Rect fill = FilledPart(p, client);
  const Colour light = LightBlockColour(p.colour);
  if (p.orientation == 0) {
    // Blocks across, shaded along the top and bottom edges; the bottom band ends three
    // pixels inside the bar, where the frame leaves room.
    const int top = 3, bottom = h - 3;
    for (int x = fill.left; x < fill.right; x += kBlockStep) {
      const int right = std::min(x + kBlockStep, fill.right);
      const int band = std::min(kEdgeBand, std::max(0, (bottom - top) / 2));
      c.VerticalGradient({x, top, right, top + band}, light, p.colour);
      c.FillRect({x, top + band, right, bottom - band}, p.colour);
      c.VerticalGradient({x, bottom - band, right, bottom}, p.colour, light);
      if (p.scrolling == 0) c.FillRect({x + kBlockWidth, top, right, bottom}, kWhite);
    }
  } else {
    const int left = 2, right = w - 2;
    const int band = std::min(kEdgeBand, std::max(0, (right - left) / 2));
    for (int y = fill.bottom; y > fill.top; y -= kBlockStep) {
      const int top = std::max(y - kBlockStep, fill.top);
      c.FourColourGradient({left, top, left + band, y}, light, p.colour, light, p.colour);
      c.FillRect({left + band, top, right - band, y}, p.colour);
      c.FourColourGradient({right - band, top, right, y}, p.colour, light, p.colour, light);
      if (p.scrolling == 0) c.FillRect({left, top, right, y - kBlockWidth}, kWhite);
    }
  }

  if (p.show_text) {
    c.SetFont(p.font);
    c.DrawText(ProgressText(p), client, kTextCentre | kTextVerticalCentre | kTextSingleLine,
               kBlack);
  }

  // The frame: outer on the client rectangle, then 0xBEBEBE one pixel in, then 0xEFEFEF
  // one further in at the top and the sides, and the corners rounded off.
  c.Line({0, 0}, {w - 1, 0}, kOuterFrameColour);
  c.Line({w - 1, 0}, {w - 1, h - 1}, kOuterFrameColour);
  c.Line({w - 1, h - 1}, {0, h - 1}, kOuterFrameColour);
  c.Line({0, h - 1}, {0, 0}, kOuterFrameColour);
  c.Line({1, 1}, {w - 2, 1}, kFrameColour);
  c.Line({w - 2, 1}, {w - 2, h - 2}, kFrameColour);
  c.Line({w - 2, h - 2}, {1, h - 2}, kFrameColour);
  c.Line({1, h - 2}, {1, 1}, kFrameColour);
  c.Line({2, 2}, {w - 3, 2}, kInnerFrameColour);
  c.Line({2, 2}, {2, h - 2}, kInnerFrameColour);
  c.Line({w - 3, 2}, {w - 3, h - 2}, kInnerFrameColour);
  for (const Point corner : {Point{1, 1}, Point{w - 2, 1}, Point{1, h - 2}, Point{w - 2, h - 2}})
    c.SetPixel(corner, kOuterFrameColour);
}

}  // namespace movarin::skin
