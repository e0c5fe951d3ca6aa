#pragma once
// Checking a rendered picture against a table of expected pixels.
#include <gtest/gtest.h>

#include <initializer_list>
#include <span>

#include "imaging/bitmap32.h"
#include "skin/property_bag.h"
#include "skin/software_canvas.h"
#include "tests/native/skin/expected_pixels.h"

namespace movarin::skin::testing {

struct Expected {
  const char* what;
  int x, y;
  Colour colour;
};

inline void ExpectPixels(const imaging::Bitmap32& bitmap, std::initializer_list<Expected> table) {
  for (const Expected& e : table) {
    EXPECT_EQ(FormatColour(PixelAt(bitmap, e.x, e.y)), FormatColour(e.colour))
        << e.what << " at (" << e.x << ", " << e.y << ")";
  }
}

inline void ExpectPixels(const imaging::Bitmap32& bitmap, std::span<const ExpectedPixel> table) {
  for (const ExpectedPixel& e : table) {
    EXPECT_EQ(FormatColour(PixelAt(bitmap, e.x, e.y)), FormatColour(e.colour))
        << e.what << " at (" << e.x << ", " << e.y << ")";
  }
}

}  // namespace movarin::skin::testing
