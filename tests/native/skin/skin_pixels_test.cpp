// The window skin drawn through the software canvas, checked at pixels whose colours the
// skin's rules fix. Every expected colour is worked out by hand from those rules:
//   avg(c) = (channel + 255) / 2 per channel, a half to the even neighbour;
//   line i of G(x1, y0, x2, n, A, B) = A + i * ((B - A) / n), in single precision, rounded
//   half to even, drawn on row y0 + i from x1 up to (not including) x2.
#include <gtest/gtest.h>

#include "imaging/bitmap32.h"
#include "skin/software_canvas.h"
#include "skin/window_skin.h"
#include "skin/window_skin_design.h"
#include "tests/native/skin/pixel_table.h"

namespace movarin::skin {
namespace {

// The surface: 200 x 95. The stand-in face gives Tahoma 12 pt bold a line of 19 pixels
// at 96 DPI, so CH = 29, half = 14.5 -> 14, BT = (29 - 16) / 2 = 6.5 -> 6; the body
// spans H - CH - 2 = 64 lines, whose red step (128 - 224) / 64 = -1.5 lands on halves.
constexpr int kW = 200, kH = 95;
constexpr Colour kSurface = Rgb(212, 208, 200);
constexpr Colour kNavy = 0x00800000;
constexpr int kCloseX = kW - 21, kMinX = kW - 42, kBT = 6;

struct SkinPicture {
  imaging::Bitmap32 bitmap;
  WindowSkin skin;
  Region region;
};

void Render(SkinPicture& p, CaptionButton lit = CaptionButton::None) {
  ASSERT_TRUE(p.bitmap.Create(kW, kH));
  SoftwareCanvas canvas(p.bitmap);
  p.skin.SetProperties(LoadWindowSkin(WindowSkinDesign({.title = "Movarin"}),
                                      {.background = kSurface, .display_name = "WindowSkin1"}));
  p.region = p.skin.Redraw(canvas);
  if (lit != CaptionButton::None) {
    const int x = lit == CaptionButton::Close ? kCloseX : kMinX;
    ASSERT_TRUE(p.skin.TrackHover(true, {x + 8, kBT + 8}));
    p.skin.PaintButtons(canvas);
  }
}

using testing::ExpectPixels;

TEST(SkinPixels, GeometryFromTheCaptionHeight) {
  SkinPicture p;
  Render(p);
  EXPECT_EQ(p.skin.Geometry().caption_height, 29);
  EXPECT_EQ(p.skin.Geometry().half, 14);
  EXPECT_EQ(p.skin.Geometry().button_top, kBT);
  EXPECT_EQ(p.skin.Geometry().close_x, kCloseX);
  EXPECT_EQ(p.skin.Geometry().min_x, kMinX);
  EXPECT_EQ(p.skin.DragZoneHeight(), 29);
  EXPECT_EQ(p.region, (Region{{0, 0, kW, kH}, 0, 0}));
}

TEST(SkinPixels, BorderOutlinesAndTheUnpaintedEdge) {
  SkinPicture p;
  Render(p);
  ExpectPixels(p.bitmap, {
      {"top-left corner", 0, 0, kNavy},
      {"top edge", 100, 0, kNavy},
      {"top-right corner", kW - 2, 0, kNavy},
      {"right edge", kW - 2, 60, kNavy},
      {"bottom-right corner", kW - 2, kH - 2, kNavy},
      {"bottom edge", 100, kH - 2, kNavy},
      {"left edge", 0, 60, kNavy},
      {"caption's bottom line", 100, 29, kNavy},
      {"right column outside the outline", kW - 1, 40, kSurface},
      {"bottom row outside the outline", 40, kH - 1, kSurface},
  });
}

TEST(SkinPixels, CaptionGradientRows) {
  // avg(CaptionColorTo 0) = (128, 128, 128), avg(CaptionColorFrom 0x00FF8080) =
  // (191.5 -> 192, 192, 255). Upper half: G over 15 lines, red step 64 / 15, blue 127 / 15.
  SkinPicture p;
  Render(p);
  ExpectPixels(p.bitmap, {
      {"first row: 128 + 4.2667, 128 + 8.4667", 60, 1, Rgb(132, 132, 136)},
      {"middle row (half): 128 + 14 * 4.2667, 128 + 14 * 8.4667", 120, 14, Rgb(188, 188, 247)},
      {"first row below the middle: 192 - 4.2667, 255 - 8.4667", 120, 15, Rgb(188, 188, 247)},
      {"last row: 192 - 14 * 4.2667, 255 - 14 * 8.4667", 60, 28, Rgb(132, 132, 136)},
      {"the fill stops before the right border", kW - 3, 1, Rgb(132, 132, 136)},
      {"the fill starts after the left border", 1, 28, Rgb(132, 132, 136)},
  });
}

TEST(SkinPixels, BodyGradientRoundsHalvesToEven) {
  // avg(ColorFrom 0x00FFC0C0) = (224, 224, 255), avg(ColorTo navy) = (128, 128, 192);
  // 64 lines: red step -1.5, blue step -0.984375.
  SkinPicture p;
  Render(p);
  ExpectPixels(p.bitmap, {
      {"first body row: 222.5 -> 222, 254.02 -> 254", 60, 30, Rgb(222, 222, 254)},
      {"third body row: 219.5 -> 220, 252.05 -> 252", 60, 32, Rgb(220, 220, 252)},
      {"middle body row: 224 - 48 = 176, 255 - 31.5 = 223.5 -> 224", 60, 61, Rgb(176, 176, 224)},
      {"last body row: 129.5 -> 130, 192.98 -> 193", 60, kH - 3, Rgb(130, 130, 193)},
  });
}

TEST(SkinPixels, TitleIsDrawnFromTheLeftInItsColour) {
  SkinPicture p;
  Render(p);
  // No icon: the text starts at x 5, its box top at (29 - 19) / 2 = 5; the stand-in face
  // draws the first character's box from x 6.
  EXPECT_EQ(PixelAt(p.bitmap, 8, 14), kBlack);
  EXPECT_NE(PixelAt(p.bitmap, 4, 14), kBlack);
}

TEST(SkinPixels, CaptionButtonsNormal) {
  // Fill G over 16 lines from avg(navy) (128, 128, 192) to avg(0x00FF8080) (192, 192, 255):
  // red step 4, blue step 3.9375.
  SkinPicture p;
  Render(p);
  const int x = kCloseX, m = kMinX, bt = kBT;
  ExpectPixels(p.bitmap, {
      {"close frame: white top", x + 8, bt, kWhite},
      {"close frame: white left", x, bt + 8, kWhite},
      {"close frame: black right", x + 16, bt + 8, kBlack},
      {"close frame: black bottom, one past the right", x + 16, bt + 16, kBlack},
      {"close fill line 1: 132, 195.94 -> 196", x + 8, bt + 1, Rgb(132, 132, 196)},
      {"close fill line 4: 144, 207.75 -> 208", x + 8, bt + 4, Rgb(144, 144, 208)},
      {"close fill line 8: 160, 223.5 -> 224", x + 1, bt + 8, Rgb(160, 160, 224)},
      {"close fill line 15: 188, 251.06 -> 251", x + 8, bt + 15, Rgb(188, 188, 251)},
      {"close glyph, first stroke start", x + 4, bt + 4, kNavy},
      {"close glyph, first stroke end", x + 12, bt + 12, kNavy},
      {"close glyph, second stroke", x + 4, bt + 5, kNavy},
      {"close glyph, backward stroke start", x + 12, bt + 4, kNavy},
      {"close glyph, backward stroke end", x + 4, bt + 12, kNavy},
      {"close glyph, last pixel of the last stroke", x + 4, bt + 13, kNavy},
      {"close glyph leaves its end point: line 13 is 180, 243.19 -> 243", x + 13, bt + 13,
       Rgb(180, 180, 243)},
      {"minimise glyph, upper row start", m + 3, bt + 12, kNavy},
      {"minimise glyph, lower row end", m + 13, bt + 13, kNavy},
      {"minimise glyph leaves its end point: line 12 is 176, 239.25 -> 239", m + 14, bt + 12,
       Rgb(176, 176, 239)},
      {"minimise frame: white left", m, bt + 8, kWhite},
      {"left of the minimise button: the caption's middle row", m - 1, bt + 8, Rgb(188, 188, 247)},
  });
}

TEST(SkinPixels, CaptionButtonLitRunsTheFillBackwardsWithTheOverColour) {
  // Lit: glyph in MinOverColor/CloseOverColor (255, red), fill from avg(To) to avg(From):
  // red step -4, blue step -3.9375.
  SkinPicture p;
  Render(p, CaptionButton::Close);
  const int x = kCloseX, bt = kBT;
  const Colour red = Rgb(255, 0, 0);
  ExpectPixels(p.bitmap, {
      {"lit close glyph", x + 4, bt + 4, red},
      {"lit close glyph, backward stroke", x + 12, bt + 5, red},
      {"lit fill line 1: 188, 251.06 -> 251", x + 8, bt + 1, Rgb(188, 188, 251)},
      {"lit fill line 4: 176, 239.25 -> 239", x + 8, bt + 4, Rgb(176, 176, 239)},
      {"lit fill line 8: 160, 223.5 -> 224", x + 1, bt + 8, Rgb(160, 160, 224)},
      {"minimise stays normal", kMinX + 3, bt + 12, kNavy},
  });
  // Away again: the close button returns to its normal look.
  SoftwareCanvas canvas(p.bitmap);
  ASSERT_TRUE(p.skin.TrackHover(false, {}));
  p.skin.PaintButtons(canvas);
  ExpectPixels(p.bitmap, {{"close glyph normal again", x + 4, bt + 4, kNavy},
                          {"fill normal again", x + 8, bt + 1, Rgb(132, 132, 196)}});
}

TEST(SkinPixels, SmallSurfaceDrawsNoBodyAndRaisesNothing) {
  // Height CH + 3 = 32: the body spans one line, which draws nothing.
  imaging::Bitmap32 bitmap;
  ASSERT_TRUE(bitmap.Create(60, 32));
  SoftwareCanvas canvas(bitmap);
  WindowSkin skin(LoadWindowSkin(WindowSkinDesign({.title = "x"}), {.background = kSurface}));
  skin.Redraw(canvas);
  EXPECT_EQ(PixelAt(bitmap, 20, 30), kNavy);      // bottom border at H - 2
  EXPECT_EQ(PixelAt(bitmap, 20, 29), kNavy);      // caption's bottom line at CH
  EXPECT_EQ(PixelAt(bitmap, 20, 31), kSurface);
}

TEST(SkinPixels, BorderlessCaptionCaseFillsFromTheEdge) {
  imaging::Bitmap32 bitmap;
  ASSERT_TRUE(bitmap.Create(kW, kH));
  SoftwareCanvas canvas(bitmap);
  PropertyBag design = WindowSkinDesign({.title = "Movarin"});
  design.Put("ShowBorder", "False");
  WindowSkin skin(LoadWindowSkin(design, {.background = kSurface}));
  skin.Redraw(canvas);
  // The caption rows span the whole width; row 0 is left alone.
  EXPECT_EQ(PixelAt(bitmap, 0, 1), Rgb(132, 132, 136));
  EXPECT_EQ(PixelAt(bitmap, kW - 1, 1), Rgb(132, 132, 136));
  EXPECT_EQ(PixelAt(bitmap, 60, 0), kSurface);
  // The body runs over H = 95 lines from row 29: red step -96 / 95, clipped at the edge.
  // Line 1 (row 30): 224 - 1.0105 = 222.99 -> 223; blue 255 - 0.6632 = 254.34 -> 254.
  EXPECT_EQ(PixelAt(bitmap, 60, 30), Rgb(223, 223, 254));
  // Line 65 (the last row, 94): 224 - 65.684 = 158.32 -> 158; 255 - 43.105 = 211.89 -> 212.
  EXPECT_EQ(PixelAt(bitmap, 60, 94), Rgb(158, 158, 212));
}

}  // namespace
}  // namespace movarin::skin
