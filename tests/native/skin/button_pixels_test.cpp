// The styled button drawn through the software canvas. Expected colours come from the
// theme's rules: two-colour fills run linearly down their rectangle (left, top, right,
// bottom), four-colour fills (left, top, width, height) run linearly down each edge and
// then across each row; colours at 16 bits a channel, rounded down as GDI's gradient
// fill rounds. A 100 x 32 button with corner 5: T = 32/2 - 32/6 = 10.67 -> 11,
// W/2 = 50, W/2 - 1 = 49, H/3 = 10.67 -> 11, H - H/3 = 21.33 -> 21.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "skin/software_canvas.h"
#include "skin/styled_button.h"
#include "tests/native/skin/pixel_table.h"

namespace movarin::skin {
namespace {

using namespace testing;

constexpr int kW = kButtonWidth, kH = kButtonHeight;

struct Button : StyledButtonHost {
  Button() : button(*this, "StyledButton1", Font{}) {
    button.SetTheme(4);
    button.SetCaption("");
  }
  const imaging::Bitmap32& Draw() {
    EXPECT_TRUE(bitmap.Create(kW, kH));
    SoftwareCanvas canvas(bitmap);
    region = button.Draw(canvas);
    return bitmap;
  }
  StyledButton button;
  imaging::Bitmap32 bitmap;
  Region region;
};

TEST(ButtonPixels, Theme4Base) {
  Button b;
  ExpectPixels(b.Draw(), kButtonBase);
  EXPECT_EQ(b.region, (Region{{0, 0, kW, kH}, 4, 4}));
}

TEST(ButtonPixels, Theme4Hovered) {
  Button b;
  b.button.OnMouseTimer(true, {});
  ASSERT_TRUE(b.button.Hovered());
  ExpectPixels(b.Draw(), kButtonHovered);
}

TEST(ButtonPixels, Theme4PressedFocusedDisabled) {
  {
    Button b;
    b.button.OnMouseDown(kLeftButton, 0, {5, 5});
    ExpectPixels(b.Draw(), {
        {"pressed lower-left at its top", 2, 11, Rgb(253, 151, 62)},
        {"pressed lower-right mirror", 50, 11, Rgb(255, 169, 78)},
        {"pressed outer border", 50, 0, Rgb(197, 155, 96)},
        {"pressed inner border", 50, 1, Rgb(232, 183, 114)},
    });
    EXPECT_NE(PixelAt(b.bitmap, 3, 3), kBlack) << "no focus dots without the focus";
  }
  {
    Button b;
    b.button.OnFocus(true);
    ExpectPixels(b.Draw(), {
        {"focused lower fill starts the same", 50, 11, Rgb(180, 187, 197)},
        {"focused lower fill row 20: 9/19 toward (255,241,199)", 50, 20, Rgb(215, 212, 197)},
        {"focused border", 50, 0, Rgb(216, 201, 149)},
        {"focus dot", 3, 3, kBlack},
        {"focus dot two further", 5, 3, kBlack},
        {"focus dot on the left side", 3, 7, kBlack},
        {"focus dot on the bottom side", 5, kH - 4, kBlack},
    });
    EXPECT_NE(PixelAt(b.bitmap, 4, 3), kBlack);
  }
  {
    Button b;
    b.button.SetEnabled(false);
    b.button.OnMouseTimer(true, {});  // the mouse changes nothing while disabled
    b.button.OnMouseDown(kLeftButton, 0, {5, 5});
    EXPECT_FALSE(b.button.Hovered());
    EXPECT_FALSE(b.button.Pressed());
    ExpectPixels(b.Draw(), {
        {"disabled upper fill row 2: 1/10 of 240 -> 230", 50, 2, Rgb(239, 239, 239)},
        {"disabled upper fill has no inner border", 50, 1, Rgb(240, 240, 240)},
        {"disabled lower fill", 50, 11, Rgb(225, 225, 225)},
        {"disabled border", 50, 0, Rgb(198, 197, 201)},
    });
  }
}

TEST(ButtonPixels, FlatThemes) {
  Button b;
  b.button.SetTheme(7);
  ExpectPixels(b.Draw(), {
      {"theme 7 row 1: 1/32 of 0x00FBFCFC -> 0x00EAF0F0", 50, 1, Rgb(251, 251, 250)},
      {"theme 7 border", 50, 0, 0x00743C00},
  });
  b.button.OnMouseDown(kLeftButton, 0, {});
  ExpectPixels(b.Draw(), {{"theme 7 pressed row 1", 50, 1, Rgb(228, 227, 220)}});
  b.button.OnMouseUp(kLeftButton, 0, {});
  b.button.SetEnabled(false);
  ExpectPixels(b.Draw(), {{"flat disabled fill", 50, 10, 0x00EAF4F5}, {"flat disabled border", 50, 0, 0x00BAC7C9}});
}

TEST(ButtonPixels, RoundedValueBelowOneCountsAsOne) {
  Button b;
  b.button.SetRoundedValue(0);
  b.Draw();
  EXPECT_EQ(b.region, (Region{{0, 0, kW, kH}, 0, 0}));
}

// The stand-in type face at the default 8 pt: a line of 13 pixels, 6 a character.
TEST(ButtonPixels, CaptionPlacedByAlignmentAndOffsets) {
  Button b;
  b.button.SetCaption("Search");  // tw = 36, th = 13
  struct Case {
    int alignment, offset_x, offset_y;
    int x, y;  // the caption's top-left corner
  };
  const Case cases[] = {
      {5, 0, 0, 31, 8},    // 50 - 18 - 1 = 31; 16 - 6.5 - 1 = 8.5 -> 8
      {1, 0, 0, 1, 0},     // ox + 1, oy
      {9, 0, 0, 61, 18},   // 100 - 36 - 3; 32 - 13 - 1
      {1, 10, 4, 11, 4},
      {5, 3, 2, 34, 10},
  };
  for (const Case& c : cases) {
    b.button.SetCaptionAlignment(c.alignment);
    b.button.SetCaptionOffsetX(c.offset_x);
    b.button.SetCaptionOffsetY(c.offset_y);
    b.Draw();
    // The first character's box: from x + 1, rows y + 3 to y + 10.
    EXPECT_EQ(PixelAt(b.bitmap, c.x + 1, c.y + 5), kBlack) << "alignment " << c.alignment;
    EXPECT_NE(PixelAt(b.bitmap, c.x, c.y + 5), kBlack) << "alignment " << c.alignment;
  }
}

TEST(ButtonPixels, CaptionColoursAndEffects) {
  Button b;
  b.button.SetCaption("Search");
  b.button.SetForeColour(Rgb(0, 0, 255));
  b.button.SetCaptionEffectColour(Rgb(0, 255, 0));
  b.button.SetCaptionEffect(5);  // shadow at +2, +2 first, then the caption
  b.Draw();
  EXPECT_EQ(PixelAt(b.bitmap, 32, 13), Rgb(0, 0, 255));
  EXPECT_EQ(PixelAt(b.bitmap, 32 + 5, 13 + 2), Rgb(0, 255, 0));  // shadow beyond the box's edge
  b.button.SetCaptionEffect(6);  // unknown: nothing printed
  b.Draw();
  EXPECT_NE(PixelAt(b.bitmap, 32, 13), Rgb(0, 0, 255));
  b.button.SetCaptionEffect(1);
  b.button.SetCaptionDisableColour(Rgb(255, 0, 0));
  b.button.SetEnabled(false);
  b.Draw();
  EXPECT_EQ(PixelAt(b.bitmap, 32, 13), Rgb(255, 0, 0));
}

TEST(ButtonPixels, PictureScaledToFitAndBlended) {
  // A 40 x 40 opaque red picture on a 32-pixel button: at most 32 - 8 = 24 pixels, so it
  // is drawn 24 x 24 at x 5, y 16 - 12 = 4.
  const auto path = std::filesystem::temp_directory_path() / "skin_button_picture.bmp";
  imaging::Bitmap32 picture;
  ASSERT_TRUE(picture.Create(40, 40));
  for (int i = 0; i < 40 * 40; ++i) {
    std::uint8_t* px = picture.BitsPointer() + i * 4;
    px[0] = 0, px[1] = 0, px[2] = 255, px[3] = 255;
  }
  ASSERT_TRUE(picture.SaveToFile(path.string(), false));

  Button b;
  b.button.SetIconSource(path.string());
  b.button.SetIcon(true);
  ASSERT_TRUE(b.button.Properties().icon);
  b.Draw();
  EXPECT_EQ(PixelAt(b.bitmap, 5, 4), Rgb(255, 0, 0));
  EXPECT_EQ(PixelAt(b.bitmap, 28, 27), Rgb(255, 0, 0));
  EXPECT_NE(PixelAt(b.bitmap, 29, 16), Rgb(255, 0, 0));
  EXPECT_NE(PixelAt(b.bitmap, 5, 28), Rgb(255, 0, 0));

  // At 50 percent over the lower fill's first row (180, 187, 197), alpha 128:
  // red 255 * 128/255 + 180 * 127/255 = 128 + 90 = 218, green 93, blue 98.
  b.button.SetTransparency(50);
  b.Draw();
  const Colour half = PixelAt(b.bitmap, 10, 11);
  EXPECT_NEAR(Red(half), 218, 1);
  EXPECT_NEAR(Green(half), 93, 1);
  EXPECT_NEAR(Blue(half), 98, 1);

  // Right alignment: x = W - 24 - 5 = 71.
  b.button.SetTransparency(100);
  b.button.SetIconAlignment(2);
  b.Draw();
  EXPECT_EQ(PixelAt(b.bitmap, 71, 16), Rgb(255, 0, 0));
  EXPECT_NE(PixelAt(b.bitmap, 70, 16), Rgb(255, 0, 0));

  // With a caption: "Register" (48 x 13) centred would start at x 25, over the picture
  // (5 to 29); it moves into the room beside it and the picture stays whole.
  b.button.SetIconAlignment(1);
  b.button.SetCaption("Register");
  b.Draw();
  for (int y = 4; y < 28; ++y)
    for (int x = 5; x < 29; ++x) ASSERT_EQ(PixelAt(b.bitmap, x, y), Rgb(255, 0, 0)) << x << "," << y;
  int first_ink = kW;
  for (int y = 8; y < 8 + 13; ++y)  // the caption's rows, inside the border
    for (int x = 2; x < kW - 2; ++x)
      if (PixelAt(b.bitmap, x, y) == kBlack) first_ink = std::min(first_ink, x);
  EXPECT_GE(first_ink, 29 + 4) << "the caption starts after the picture and a gap";
  EXPECT_LT(first_ink, kW / 2);
  b.button.SetCaption("");

  // A file that cannot be loaded draws nothing.
  std::filesystem::remove(path);
  b.Draw();
  EXPECT_NE(PixelAt(b.bitmap, 80, 16), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace movarin::skin
