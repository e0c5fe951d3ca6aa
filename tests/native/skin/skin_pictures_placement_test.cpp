// Where the skin paints its background picture and its icon, and what they do to the
// caption height: positions 1 to 8 with and without the border offsets.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "skin/software_canvas.h"
#include "skin/window_skin.h"
#include "skin/window_skin_design.h"
#include "tests/native/skin/expected_pixels.h"

namespace movarin::skin {
namespace {

using namespace testing;

constexpr Colour kRed = Rgb(255, 0, 0);

// An opaque red picture file of w x h.
std::string SolidPicture(const std::string& name, int w, int h) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  imaging::Bitmap32 picture;
  EXPECT_TRUE(picture.Create(w, h));
  for (int i = 0; i < w * h; ++i) {
    std::uint8_t* px = picture.BitsPointer() + i * 4;
    px[0] = 0, px[1] = 0, px[2] = 255, px[3] = 255;
  }
  EXPECT_TRUE(picture.SaveToFile(path, false));
  return path;
}

struct Drawn {
  imaging::Bitmap32 bitmap;
  WindowSkin skin;
};

void DrawWith(Drawn& d, std::initializer_list<std::pair<std::string_view, std::string>> changes) {
  PropertyBag design = WindowSkinDesign({.title = "Movarin"});
  for (const auto& [key, value] : changes) design.Put(key, value);
  d.skin.SetProperties(LoadWindowSkin(design, {.background = kSkinSurface}));
  ASSERT_TRUE(d.bitmap.Create(kSkinWidth, kSkinHeight));
  SoftwareCanvas canvas(d.bitmap);
  d.skin.Redraw(canvas);
}

// The picture's top-left pixel is at (x, y): red there, not left of it nor above it.
void ExpectPictureAt(const imaging::Bitmap32& b, int x, int y, const std::string& what) {
  EXPECT_EQ(PixelAt(b, x, y), kRed) << what;
  EXPECT_NE(PixelAt(b, x - 1, y), kRed) << what;
  EXPECT_NE(PixelAt(b, x, y - 1), kRed) << what;
}

TEST(SkinPicturePlacement, BackgroundPositionsWithTheBorderOffsets) {
  // A 10 x 6 picture on the 200 x 95 skin, caption shown: top = CH = 29.
  const std::string picture = SolidPicture("skin_background.bmp", 10, 6);
  struct Case {
    int position;
    bool border;
    int x, y;
  };
  const Case cases[] = {
      {1, true, 2, 31},   {2, true, 187, 31}, {3, true, 95, 31},  {4, true, 2, 86},
      {5, true, 187, 86}, {6, true, 95, 86},  {7, true, 95, 44},  // (95 - 6) / 2 = 44.5 -> 44
      {1, false, 0, 29},  {5, false, 190, 89}, {9, true, 0, 0},    // any other value: (0, 0)
  };
  for (const Case& c : cases) {
    Drawn d;
    DrawWith(d, {{"BackGroundPicture", picture},
                 {"BackGroundPicturePosition", std::to_string(c.position)},
                 {"ShowBorder", c.border ? "True" : "False"}});
    ExpectPictureAt(d.bitmap, c.x, c.y, "position " + std::to_string(c.position));
  }
}

TEST(SkinPicturePlacement, PositionEightStretchesOverTheBodyInsteadOfItsGradient) {
  const std::string picture = SolidPicture("skin_background8.bmp", 10, 6);
  Drawn d;
  DrawWith(d, {{"BackGroundPicture", picture}, {"BackGroundPicturePosition", "8"}});
  // At (1, top + 1), (W - 3) x (H - top - 3): x 1..197, y 30..92.
  ExpectPictureAt(d.bitmap, 1, 30, "position 8");
  EXPECT_EQ(PixelAt(d.bitmap, 197, 92), kRed);
  EXPECT_EQ(PixelAt(d.bitmap, 198, 60), kNavy);  // the border stays
  EXPECT_NE(PixelAt(d.bitmap, 100, 93), kRed);
  // A picture that cannot be loaded: the body gradient as usual.
  Drawn missing;
  DrawWith(missing, {{"BackGroundPicture", "/no/such/picture.png"}, {"BackGroundPicturePosition", "8"}});
  EXPECT_EQ(PixelAt(missing.bitmap, 60, 30), Rgb(222, 222, 254));
}

TEST(SkinPicturePlacement, IconSetsTheCaptionHeightAndSitsAtTheLeft) {
  const std::string icon = SolidPicture("skin_icon.bmp", 32, 32);
  // A small font: a line of 10 pixels, less than the icon: CH = 16 + 10 = 26.
  Drawn d;
  DrawWith(d, {{"Icon", icon}, {"Font", "Tahoma, 6"}});
  EXPECT_EQ(d.skin.Geometry().caption_height, 26);
  EXPECT_EQ(d.skin.Geometry().button_top, 5);
  // At (5, (26 - 16) / 2 = 5), 16 x 16.
  ExpectPictureAt(d.bitmap, 5, 5, "icon");
  EXPECT_EQ(PixelAt(d.bitmap, 20, 20), kRed);
  EXPECT_NE(PixelAt(d.bitmap, 21, 20), kRed);
  EXPECT_NE(PixelAt(d.bitmap, 20, 21), kRed);

  // The title's line rules when it is taller, and an empty caption still counts it.
  Drawn tall;
  DrawWith(tall, {{"Icon", icon}, {"Caption", ""}});
  EXPECT_EQ(tall.skin.Geometry().caption_height, 29);
  // (29 - 16) / 2 = 6.5: the whole part, 6.
  ExpectPictureAt(tall.bitmap, 5, 6, "icon in a taller caption");
}

TEST(SkinPicturePlacement, WithoutTheCaptionAreaButtonsSitAtFive) {
  Drawn d;
  DrawWith(d, {{"ShowCaptionArea", "False"}});
  EXPECT_EQ(d.skin.Geometry().button_top, 5);
  EXPECT_EQ(d.skin.DragZoneHeight(), 0);
  // The body runs from the top: G(1, 0, W - 2, H - 2): line 1 on row 1.
  // 93 lines, red step -96/93: 224 - 1.032 = 222.97 -> 223; blue 255 - 0.677 -> 254.
  EXPECT_EQ(PixelAt(d.bitmap, 60, 1), Rgb(223, 223, 254));
}

}  // namespace
}  // namespace movarin::skin
