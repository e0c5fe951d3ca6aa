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
#include "tests/native/skin/expected_pixels.h"
#include "tests/native/skin/pixel_table.h"

namespace movarin::skin {
namespace {

using namespace testing;

// The stand-in face gives Tahoma 12 pt bold a line of 19 pixels at 96 DPI, as the
// expected pixels assume.
constexpr int kW = kSkinWidth, kH = kSkinHeight, kBT = kButtonTop;
constexpr Colour kSurface = kSkinSurface;

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
  ExpectPixels(p.bitmap, kSkinBorder);
}

TEST(SkinPixels, CaptionGradientRows) {
  SkinPicture p;
  Render(p);
  ExpectPixels(p.bitmap, kSkinCaption);
}

TEST(SkinPixels, BodyGradientRoundsHalvesToEven) {
  SkinPicture p;
  Render(p);
  ExpectPixels(p.bitmap, kSkinBody);
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
  SkinPicture p;
  Render(p);
  ExpectPixels(p.bitmap, kSkinButtonsNormal);
}

TEST(SkinPixels, CaptionButtonLitRunsTheFillBackwardsWithTheOverColour) {
  SkinPicture p;
  Render(p, CaptionButton::Close);
  ExpectPixels(p.bitmap, kSkinCloseLit);
  // Away again: the close button returns to its normal look.
  SoftwareCanvas canvas(p.bitmap);
  ASSERT_TRUE(p.skin.TrackHover(false, {}));
  p.skin.PaintButtons(canvas);
  ExpectPixels(p.bitmap, kSkinButtonsNormal);
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
