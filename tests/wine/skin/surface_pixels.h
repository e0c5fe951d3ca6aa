#pragma once
// Reading back what GDI drew into a control's off-screen image, against the expected
// pixel tables the native tests use too.
#include <gtest/gtest.h>
#include <windows.h>

#include <span>

#include "skin/property_bag.h"
#include "skin/win32/offscreen_surface.h"
#include "tests/native/skin/expected_pixels.h"

namespace movarin::skin::testing {

inline Colour SurfacePixel(const win32::OffscreenSurface& s, int x, int y) {
  GdiFlush();
  if (!s.Bits() || x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return 0;
  const std::uint8_t* px = s.Bits() + (static_cast<std::size_t>(y) * s.Width() + x) * 4;
  return Rgb(px[2], px[1], px[0]);
}

inline void ExpectSurfacePixels(const win32::OffscreenSurface& s, std::span<const ExpectedPixel> table) {
  for (const ExpectedPixel& e : table) {
    EXPECT_EQ(FormatColour(SurfacePixel(s, e.x, e.y)), FormatColour(e.colour))
        << e.what << " at (" << e.x << ", " << e.y << ")";
  }
}

}  // namespace movarin::skin::testing
