// The estimate of a text's width in bold Tahoma against widths measured with GDI under
// Wine (GetTextExtentPoint32 with the font the windows create, at four DPI settings):
// never below them, and close enough that layouts are not made needlessly wide.
#include <gtest/gtest.h>

#include "platform/text_width_estimate.h"

namespace movarin::ui {
namespace {

TEST(TextWidthEstimate, BoundsMeasuredWidthsClosely) {
  struct Case {
    const char* text;
    int dpi;
    int measured;  // pixels
  };
  const Case cases[] = {
      {"Type dll or ocx file name:", 96, 186}, {"Type dll or ocx file name:", 120, 227},
      {"Type dll or ocx file name:", 144, 289}, {"Type dll or ocx file name:", 192, 374},
      {"Path of file:", 96, 87},   {"Path of file:", 144, 135},  {"Menu", 96, 40},
      {"Menu", 144, 62},           {"Language", 120, 87},        {"Language", 192, 147},
  };
  for (const Case& c : cases) {
    const int estimate = EstimatedBoldTextWidthPixels(c.text, 975, c.dpi);
    EXPECT_GE(estimate, c.measured) << c.text << " at " << c.dpi;
    EXPECT_LE(estimate, c.measured * 112 / 100) << c.text << " at " << c.dpi;
  }
}

TEST(TextWidthEstimate, CountsCharactersNotBytes) {
  EXPECT_EQ(EstimatedBoldTextWidthPixels("", 975, 96), 0);
  // "é" is two bytes, one character, counted as the widest one.
  EXPECT_EQ(EstimatedBoldTextWidthPixels("\xC3\xA9", 975, 96), EstimatedBoldTextWidthPixels("%", 975, 96));
  EXPECT_GT(EstimatedBoldTextWidthPixels("WWW", 975, 96), EstimatedBoldTextWidthPixels("iii", 975, 96));
  // A larger DPI, a wider text.
  EXPECT_GT(EstimatedBoldTextWidthPixels("Language", 975, 192), EstimatedBoldTextWidthPixels("Language", 975, 144));
}

}  // namespace
}  // namespace movarin::ui
