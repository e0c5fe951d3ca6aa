// The program's pictures as they are rendered at build time, read back by our own image
// loader: the files the windows name, 256 pixels with real transparency, and the icon
// with an entry for each size the skin and the taskbar ask for.
#include <gtest/gtest.h>

#include <string>

#include "imaging/bitmap32.h"
#include "imaging/image_type.h"
#include "skin/software_canvas.h"

namespace movarin::skin {
namespace {

std::string PicturePath(const std::string& name) { return std::string(MOVARIN_SKIN_PICTURES) + "/" + name; }

TEST(Pictures, EveryPictureLoadsWithRealAlpha) {
  for (const char* name : {"Search.png", "Regsiter.gif", "save.png", "Add.png", "Remove.png", "Clear.png",
                           "Update.png", "Downloadupdate.png", "Windowsxp.png", "Windowsvista.png"}) {
    imaging::Bitmap32 picture;
    ASSERT_TRUE(picture.LoadFromFile(PicturePath(name), 256, 256)) << name;
    EXPECT_EQ(picture.Width(), 256) << name;
    EXPECT_EQ(picture.Height(), 256) << name;
    EXPECT_TRUE(picture.Alpha()) << name;
    int transparent = 0, opaque = 0;
    for (int y = 0; y < 256; y += 4)
      for (int x = 0; x < 256; x += 4) {
        const int a = AlphaAt(picture, x, y);
        transparent += a == 0;
        opaque += a == 255;
      }
    // Both real transparency around the drawing and a solid drawing.
    EXPECT_GT(transparent, 200) << name;
    EXPECT_GT(opaque, 800) << name;
  }
}

TEST(Pictures, TheGifIsAGifAndThePngsArePngs) {
  imaging::Bitmap32 gif, png;
  ASSERT_TRUE(gif.LoadFromFile(PicturePath("Regsiter.gif")));
  EXPECT_EQ(gif.ImageType(), imaging::kImageGif);
  ASSERT_TRUE(png.LoadFromFile(PicturePath("Search.png")));
  EXPECT_EQ(png.ImageType(), imaging::kImagePng);
}

TEST(Pictures, TheIconHasEverySize) {
  for (int size : {16, 32, 48, 256}) {
    imaging::Bitmap32 icon;
    ASSERT_TRUE(icon.LoadFromFile(MOVARIN_SKIN_ICON, size, size)) << size;
    EXPECT_EQ(icon.Width(), size);
    EXPECT_EQ(AlphaAt(icon, 0, 0), 0) << "rounded corner at " << size;
    EXPECT_EQ(AlphaAt(icon, size / 2, size / 2), 255) << size;
  }
}

}  // namespace
}  // namespace movarin::skin
