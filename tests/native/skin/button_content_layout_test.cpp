// Where a styled button's picture and caption go: never over each other, both inside the
// button, and the usual places kept where they do not meet.
#include <gtest/gtest.h>

#include "skin/button_content_layout.h"

namespace movarin::skin {
namespace {

Rect CaptionRect(const ButtonContentPlacement& p, Size text) {
  return {p.caption.x, p.caption.y, p.caption.x + text.width, p.caption.y + text.height};
}

bool Inside(const Rect& r, Size button) {
  return r.left >= 0 && r.top >= 0 && r.right <= button.width && r.bottom <= button.height;
}

bool Disjoint(const Rect& a, const Rect& b) {
  return a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
}

TEST(ButtonContentLayout, PictureAndCaptionNeverOverlapAndStayInside) {
  struct Case {
    const char* what;
    Size button;
    int dpi;
    Size picture, caption;
    int icon_alignment, caption_alignment;
  };
  // The buttons of the windows (1815 x 735 twips and smaller ones) at 96 to 192 DPI, with
  // the pictures as they ship (48 x 48 and larger) and caption extents of those sizes.
  const Case cases[] = {
      {"Register at 96 DPI", {121, 49}, 96, {48, 48}, {62, 16}, 1, 5},
      {"Search at 96 DPI", {121, 49}, 96, {48, 48}, {54, 16}, 1, 5},
      {"Register at 120 DPI", {151, 61}, 120, {64, 64}, {78, 19}, 1, 5},
      {"Register at 144 DPI", {182, 74}, 144, {256, 256}, {93, 24}, 1, 5},
      {"UnRegister at 192 DPI", {242, 98}, 192, {256, 256}, {150, 32}, 1, 5},
      {"left-aligned caption", {121, 49}, 96, {48, 48}, {62, 16}, 1, 4},
      {"right-aligned caption", {121, 49}, 96, {48, 48}, {62, 16}, 1, 8},
      {"picture on the right", {121, 49}, 96, {48, 48}, {62, 16}, 2, 5},
      {"picture on the right, caption right", {121, 49}, 96, {48, 48}, {62, 16}, 2, 8},
      {"a long caption shrinks the picture", {121, 49}, 96, {48, 48}, {90, 16}, 1, 5},
      {"a wide flat picture", {100, 40}, 96, {80, 20}, {40, 16}, 1, 5},
      {"top row", {121, 49}, 96, {32, 32}, {62, 16}, 1, 1},
      {"an alignment out of range", {121, 49}, 96, {48, 48}, {62, 16}, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ButtonContentPlacement p = PlaceButtonContent({.button = c.button,
                                                         .picture = c.picture,
                                                         .caption = c.caption,
                                                         .dpi = c.dpi,
                                                         .icon_alignment = c.icon_alignment,
                                                         .caption_alignment = c.caption_alignment});
    const Rect caption = CaptionRect(p, c.caption);
    ASSERT_FALSE(p.picture.Empty());
    EXPECT_TRUE(Inside(p.picture, c.button));
    EXPECT_TRUE(Inside(caption, c.button));
    EXPECT_TRUE(Disjoint(p.picture, caption));
    // A gap between them, on the picture's side.
    if (c.icon_alignment == 2)
      EXPECT_GE(p.picture.left - caption.right, ButtonPictureGap(c.dpi));
    else
      EXPECT_GE(caption.left - p.picture.right, ButtonPictureGap(c.dpi));
    // The picture keeps its proportions and is never drawn larger than it is.
    EXPECT_LE(p.picture.Width(), c.picture.width);
    EXPECT_NEAR(p.picture.Width() * c.picture.height, p.picture.Height() * c.picture.width,
                c.picture.width + c.picture.height);
  }
}

TEST(ButtonContentLayout, UsualPlacesKeptWhereTheyDoNotMeet) {
  // A wide button: the centred caption is clear of the picture and stays centred;
  // the picture is 5 in from the edge, centred vertically, at most 32 pixels at 96 DPI.
  const ButtonContentPlacement wide =
      PlaceButtonContent({.button = {300, 49}, .picture = {48, 48}, .caption = {62, 16}});
  EXPECT_EQ(wide.picture, (Rect{5, 8, 37, 40}));
  EXPECT_EQ(wide.caption, (Point{150 - 31 - 1, 16}));  // W/2 - tw/2 - 1; H/2 - th/2 - 1 -> 15.5 -> 16

  // No picture: the caption's place by its alignment and offsets alone.
  const ButtonContentPlacement plain = PlaceButtonContent(
      {.button = {100, 32}, .picture = {}, .caption = {36, 13}, .caption_alignment = 9, .caption_offset_x = 2});
  EXPECT_TRUE(plain.picture.Empty());
  EXPECT_EQ(plain.caption, (Point{100 - 36 - 3 + 2, 32 - 13 - 1}));

  // A picture and no caption: the picture alone, on the right.
  const ButtonContentPlacement right =
      PlaceButtonContent({.button = {100, 32}, .picture = {40, 40}, .caption = {}, .icon_alignment = 2});
  EXPECT_EQ(right.picture, (Rect{71, 4, 95, 28}));
}

TEST(ButtonContentLayout, TooNarrowForBothShowsTheCaptionAlone) {
  const ButtonContentPlacement p =
      PlaceButtonContent({.button = {60, 40}, .picture = {48, 48}, .caption = {50, 16}});
  EXPECT_TRUE(p.picture.Empty());
  EXPECT_EQ(p.caption.x, 30 - 25 - 1);
}

}  // namespace
}  // namespace movarin::skin
