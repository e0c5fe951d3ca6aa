// The segmented progress bar drawn through the software canvas: where the filled part
// ends for the values the windows show, and the blocks, bands and frame. Colour
// 0x0000C000 is (0, 192, 0); its light edge colour is 150 + 105 * channel / 255 per
// channel: (150, 229, 150).
#include <gtest/gtest.h>

#include <memory>

#include "skin/block_progress_bar.h"
#include "skin/software_canvas.h"
#include "tests/native/skin/pixel_table.h"

namespace movarin::skin {
namespace {

using namespace movarin::skin::testing;

constexpr Colour kGreen = Rgb(0, 192, 0);
constexpr int kH = 20;  // blocks on rows 3..16: bands 3..8 and 11..16, middle 9..10

std::unique_ptr<imaging::Bitmap32> DrawBar(int width, int value, int scrolling = 0) {
  auto bitmap = std::make_unique<imaging::Bitmap32>();
  EXPECT_TRUE(bitmap->Create(width, kH));
  SoftwareCanvas canvas(*bitmap);
  BlockProgressBarProperties p;
  p.value = value;
  p.scrolling = scrolling;
  DrawBlockProgressBar(canvas, p);
  return bitmap;
}

TEST(ProgressBarPixels, FilledPartSnapsToWholeSteps) {
  struct Case {
    int width, value, right;
  };
  // f * width rounded, less (right - left) mod 10.
  const Case cases[] = {
      {100, 0, 0}, {100, 5, 0},     // 5 snaps down to 0
      {100, 100, 100}, {204, 0, 0},
      {204, 5, 10},                  // 10.2 -> 10
      {204, 100, 200},               // 204 -> 200: the last whole step inside
      {204, 50, 100},                // 102 -> 100
      {204, 150, 200},               // clamped to 1
      {204, -7, 0},                  // clamped to 0
  };
  for (const Case& c : cases) {
    BlockProgressBarProperties p;
    p.value = c.value;
    EXPECT_EQ(FilledPart(p, {0, 0, c.width, kH}).right, c.right) << c.width << " at " << c.value;
  }
  BlockProgressBarProperties empty_range;
  empty_range.min = empty_range.max = 50;
  empty_range.value = 50;
  EXPECT_EQ(FilledPart(empty_range, {0, 0, 100, kH}).right, 0);
}

TEST(ProgressBarPixels, BlockEdgesForTheValuesTheWindowsShow) {
  for (const BarCase& c : kBarEdges) {
    SCOPED_TRACE(::testing::Message() << "width " << c.width << ", value " << c.value);
    ExpectPixels(*DrawBar(c.width, c.value), c.pixels);
  }
}

TEST(ProgressBarPixels, BlockEdgesAtFiveAndAHundred) {
  {
    const auto bar = DrawBar(204, 5);  // one block, [0, 10)
    ExpectPixels(*bar, {
        {"the block's middle", 5, 10, kGreen},
        {"its last green column", 7, 10, kGreen},
        {"the gap after it", 8, 10, kWhite},
        {"the gap's second column", 9, 10, kWhite},
        {"nothing beyond", 10, 10, kWhite},
        {"top band starts light", 5, 3, Rgb(150, 229, 150)},
        {"top band's last row: (L + 5 C) / 6", 5, 8, Rgb(25, 198, 25)},
        {"bottom band's last row: (C + 5 L) / 6", 5, 16, Rgb(125, 222, 125)},
        {"white below the blocks", 5, 17, kWhite},
    });
  }
  {
    const auto bar = DrawBar(204, 100);  // twenty blocks, [0, 200)
    ExpectPixels(*bar, {
        {"last block", 197, 10, kGreen},
        {"its gap", 198, 10, kWhite},
        {"past the fill", 200, 10, kWhite},
        {"the block before", 187, 10, kGreen},
        {"the gap before", 188, 10, kWhite},
        {"a block's first column", 190, 10, kGreen},
        {"light frame right", 201, 10, kInnerFrameColour},
    });
  }
  {
    const auto bar = DrawBar(100, 100);  // ten blocks, the frame drawn over the last gap
    ExpectPixels(*bar, {{"last block", 96, 10, kGreen}, {"light frame over it", 97, 10, kInnerFrameColour}});
  }
  {
    const auto bar = DrawBar(204, 100, 1);  // no separators when scrolling
    ExpectPixels(*bar, {{"no gap", 198, 10, kGreen}});
  }
}

TEST(ProgressBarPixels, Texts) {
  BlockProgressBarProperties p;
  p.value = 37;
  EXPECT_EQ(ProgressText(p), "37 %");
  p.max = 50;
  EXPECT_EQ(ProgressText(p), "18.5 %");
  p.scrolling = 2;
  EXPECT_EQ(ProgressText(p), "Searching..");
  EXPECT_EQ(LightBlockColour(kGreen), Rgb(150, 229, 150));
  EXPECT_EQ(LightBlockColour(kWhite), kWhite);
}

TEST(ProgressBarPixels, VerticalFillsFromTheBottom) {
  BlockProgressBarProperties p;
  p.orientation = 1;
  p.value = 50;
  // f' = 1 - 0.5 - 0.02 = 0.48; top = 0.48 * 100 = 48, moved down to 50 (a whole step
  // from the bottom).
  EXPECT_EQ(FilledPart(p, {0, 0, 20, 100}).top, 50);
  p.value = 0;
  // f' = 0.98: top 98, moved to 100: nothing filled.
  EXPECT_EQ(FilledPart(p, {0, 0, 20, 100}).top, 100);
}

}  // namespace
}  // namespace movarin::skin
