// The window skin's behaviour as tables: hover tracking, clicks, dragging, and its
// stored design.
#include <gtest/gtest.h>

#include <vector>

#include "skin/software_canvas.h"
#include "skin/window_skin.h"
#include "skin/window_skin_design.h"

namespace movarin::skin {
namespace {

// A drawn 200 x 95 skin with the shared look: BT 6, close at x 179, minimise at 158.
WindowSkin DrawnSkin(bool caption_buttons = true, bool max_button = false) {
  PropertyBag design = WindowSkinDesign({.title = "Movarin", .caption_buttons = caption_buttons});
  if (max_button) design.Put("ShowMaxButton", "True");
  WindowSkin skin(LoadWindowSkin(design, {}));
  imaging::Bitmap32 bitmap;
  EXPECT_TRUE(bitmap.Create(200, 95));
  SoftwareCanvas canvas(bitmap);
  skin.Redraw(canvas);
  return skin;
}

// Counts what a hover tick would draw.
class CountingCanvas final : public Canvas {
 public:
  Size Extent() const override { return {200, 95}; }
  void FillRect(const Rect&, Colour) override { ++calls; }
  void Line(Point, Point, Colour) override { ++calls; }
  void SetPixel(Point, Colour) override { ++calls; }
  void VerticalGradient(const Rect&, Colour, Colour) override { ++calls; }
  void FourColourGradient(const Rect&, Colour, Colour, Colour, Colour) override { ++calls; }
  void RoundRectFrame(const Rect&, int, Colour) override { ++calls; }
  void SetFont(const Font&) override {}
  Size MeasureText(std::string_view) override { return {0, 19}; }
  void DrawText(std::string_view, const Rect&, unsigned, Colour) override { ++calls; }
  std::unique_ptr<Picture> LoadPicture(const std::string&, int) override { return nullptr; }
  void DrawPicture(const Picture&, const Rect&, int) override { ++calls; }
  int calls = 0;
};

TEST(WindowSkinHover, StateChangesOnlyWhenTheButtonUnderTheCursorChanges) {
  WindowSkin skin = DrawnSkin(true, true);  // close 179, maximise 158, minimise 137
  struct Step {
    const char* what;
    bool on_own_window;
    Point relative;
    bool changed;
    CaptionButton state;
  };
  const Step steps[] = {
      {"over the body", true, {50, 50}, false, CaptionButton::None},
      {"onto close, top-left edge", true, {179, 6}, true, CaptionButton::Close},
      {"within close", true, {187, 14}, false, CaptionButton::Close},
      {"close's bottom-right edge (17 x 17, edges in)", true, {195, 22}, false, CaptionButton::Close},
      {"one past the edge", true, {196, 22}, true, CaptionButton::None},
      {"onto maximise", true, {160, 10}, true, CaptionButton::Maximise},
      {"straight onto minimise", true, {140, 10}, true, CaptionButton::Minimise},
      {"still minimise", true, {141, 11}, false, CaptionButton::Minimise},
      {"another window is under the cursor", false, {141, 11}, true, CaptionButton::None},
      {"still elsewhere", false, {187, 14}, false, CaptionButton::None},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(skin.TrackHover(s.on_own_window, s.relative), s.changed) << s.what;
    EXPECT_EQ(skin.Hover(), s.state) << s.what;
  }
}

TEST(WindowSkinHover, ATickThatChangesNothingDrawsNothing) {
  WindowSkin skin = DrawnSkin();
  CountingCanvas canvas;
  int draws = 0;
  for (int tick = 0; tick < 50; ++tick) {
    if (skin.TrackHover(true, {50, 50})) skin.PaintButtons(canvas), ++draws;
  }
  EXPECT_EQ(draws, 0);
  EXPECT_EQ(canvas.calls, 0);
  // Onto close and away: two changes, each repainting both shown buttons once.
  for (Point at : {Point{185, 10}, Point{186, 11}, Point{50, 50}}) {
    if (skin.TrackHover(true, at)) skin.PaintButtons(canvas), ++draws;
  }
  EXPECT_EQ(draws, 2);
  EXPECT_GT(canvas.calls, 0);
}

TEST(WindowSkinHover, ARedrawKeepsTheStateButPaintsNormal) {
  WindowSkin skin = DrawnSkin();
  ASSERT_TRUE(skin.TrackHover(true, {185, 10}));
  imaging::Bitmap32 bitmap;
  ASSERT_TRUE(bitmap.Create(200, 95));
  SoftwareCanvas canvas(bitmap);
  skin.Redraw(canvas);
  EXPECT_EQ(skin.Hover(), CaptionButton::Close);
  EXPECT_EQ(PixelAt(bitmap, 179 + 4, 6 + 4), 0x00800000u);  // normal glyph
  EXPECT_FALSE(skin.TrackHover(true, {185, 10}));            // no change, nothing drawn
}

TEST(WindowSkinClicks, RaiseTheFirstHitButton) {
  WindowSkin skin = DrawnSkin();
  EXPECT_EQ(skin.Click(true, {187, 14}), CaptionButton::Close);
  EXPECT_EQ(skin.Click(true, {160, 14}), CaptionButton::Minimise);
  EXPECT_EQ(skin.Click(true, {100, 14}), CaptionButton::None);
  EXPECT_EQ(skin.Click(false, {187, 14}), CaptionButton::None);  // another window on top

  // No button shown: no timer, and a click raises nothing.
  WindowSkin bare = DrawnSkin(false);
  EXPECT_FALSE(bare.HoverTimerWanted());
  EXPECT_EQ(bare.Click(true, {187, 14}), CaptionButton::None);
  EXPECT_TRUE(skin.HoverTimerWanted());
}

TEST(WindowSkinClicks, RelativeCursorSubtractsTheAssumedFrame) {
  EXPECT_EQ(RelativeCursor({500, 300}, {400, 250}, {0, 0}, false).x, 100);
  EXPECT_EQ(RelativeCursor({500, 300}, {400, 250}, {0, 0}, false).y, 50);
  EXPECT_EQ(RelativeCursor({500, 300}, {400, 250}, {10, 5}, true).x, 500 - 410 - 4);
  EXPECT_EQ(RelativeCursor({500, 300}, {400, 250}, {10, 5}, true).y, 300 - 255 - 23);
}

TEST(WindowSkinDrag, MovesTheHostByTheCursorsDistance) {
  WindowSkin skin = DrawnSkin();  // drag zone 29 pixels
  const int top = 100;            // the skin's top on the screen
  // Below the caption: no dragging.
  skin.MouseDown({300, top + 29}, top);
  EXPECT_FALSE(skin.Dragging());
  EXPECT_FALSE(skin.MouseMove({310, top + 40}, false));
  // On the caption.
  skin.MouseDown({300, top + 28}, top);
  ASSERT_TRUE(skin.Dragging());
  const auto first = skin.MouseMove({310, top + 33}, false);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->x, 10);
  EXPECT_EQ(first->y, 5);
  const auto second = skin.MouseMove({305, top + 30}, false);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->x, -5);
  EXPECT_EQ(second->y, -3);
  // A host with a system frame is never moved.
  EXPECT_FALSE(skin.MouseMove({320, top + 40}, true));
  skin.MouseUp();
  EXPECT_FALSE(skin.Dragging());
  EXPECT_FALSE(skin.MouseMove({330, top + 40}, false));
}

TEST(WindowSkinDrag, APressOnAButtonSetsTheFlagButDoesNotDragWhileLit) {
  WindowSkin skin = DrawnSkin();
  ASSERT_TRUE(skin.TrackHover(true, {185, 10}));
  skin.MouseDown({485, 110}, 100);
  EXPECT_TRUE(skin.Dragging());
  EXPECT_FALSE(skin.MouseMove({490, 115}, false));
  ASSERT_TRUE(skin.TrackHover(true, {50, 10}));
  EXPECT_TRUE(skin.MouseMove({495, 118}, false));
}

TEST(WindowSkinDrag, NoCaptionAreaNoDragging) {
  PropertyBag design = WindowSkinDesign({.title = "x"});
  design.Put("ShowCaptionArea", "False");
  WindowSkin skin(LoadWindowSkin(design, {}));
  skin.MouseDown({10, 5}, 0);
  EXPECT_FALSE(skin.Dragging());
}

TEST(WindowSkinDesign, LoadsWithDefaultsAndCaseInsensitiveKeys) {
  const SkinHostDefaults host{.background = 0x00ABCDEF, .font = {"Arial", 900, false, false}, .display_name = "WindowSkin1"};
  const WindowSkinProperties empty = LoadWindowSkin(PropertyBag{}, host);
  EXPECT_TRUE(empty.show_border);
  EXPECT_FALSE(empty.show_caption_area);
  EXPECT_EQ(empty.caption, "WindowSkin1");
  EXPECT_EQ(empty.caption_colour_to, 0x00ABCDEFu);
  EXPECT_EQ(empty.colour_from, 0x00ABCDEFu);
  EXPECT_EQ(empty.font.name, "Arial");
  EXPECT_EQ(empty.icon_size, 16);
  EXPECT_EQ(empty.background_picture_position, 1);
  EXPECT_EQ(empty.close.over, 255u);
  EXPECT_EQ(empty.min.from, 0x00ABCDEFu);
  EXPECT_FALSE(empty.close.shown);

  const WindowSkinProperties p = LoadWindowSkin(
      {{"SHOWBORDER", "False"}, {"bordercolor", "0x00800000"}, {"iconsize", "70000"}, {"Font", "Tahoma, 12, bold"},
       {"ShowCloseButton", "True"}, {"CloseOverColor", "not a colour"}},
      host);
  EXPECT_FALSE(p.show_border);
  EXPECT_EQ(p.border_colour, 0x00800000u);
  EXPECT_EQ(p.icon_size, 16);  // beyond 16 bits: the default
  EXPECT_EQ(p.font, (Font{"Tahoma", 1200, true, false}));
  EXPECT_TRUE(p.close.shown);
  EXPECT_EQ(p.close.over, 255u);  // unreadable: the default
}

TEST(WindowSkinDesign, SavesOnlyWhatDiffersInTheFixedKeyOrder) {
  const SkinHostDefaults host{.background = 0x00F0F0F0, .display_name = "WindowSkin1"};
  const WindowSkinProperties defaults = LoadWindowSkin(PropertyBag{}, host);
  EXPECT_TRUE(SaveWindowSkin(defaults, host).Entries().empty());

  const WindowSkinProperties shared = LoadWindowSkin(WindowSkinDesign({.title = "Movarin"}), host);
  std::vector<std::string> keys;
  const PropertyBag saved = SaveWindowSkin(shared, host);
  for (const PropertyEntry& e : saved.Entries()) keys.push_back(e.key);
  const std::vector<std::string> expected = {
      "BorderColor", "ShowCaptionArea", "CaptionColorTo", "CaptionColorFrom", "Caption", "Font",
      "ColorTo", "ColorFrom", "ShowMinButton", "MinColor", "MinColorFrom", "MinColorTo", "MaxColor",
      "MaxColorFrom", "MaxColorTo", "ShowCloseButton", "CloseColor", "CloseColorFrom", "CloseColorTo"};
  EXPECT_EQ(keys, expected);

  // What is saved loads back the same.
  const WindowSkinProperties again = LoadWindowSkin(SaveWindowSkin(shared, host), host);
  EXPECT_EQ(SaveWindowSkin(again, host).Entries().size(), expected.size());
  EXPECT_EQ(again.font, shared.font);
  EXPECT_EQ(again.close.to, shared.close.to);
}

TEST(WindowSkinDesign, SharedLookAndTheWindowsThatShowNoButtons) {
  const WindowSkinProperties p = LoadWindowSkin(WindowSkinDesign({.title = "Movarin", .icon = "#1"}), {});
  EXPECT_EQ(p.border_colour, 0x00800000u);
  EXPECT_EQ(p.caption_colour_from, 0x00FF8080u);
  EXPECT_EQ(p.caption_colour_to, 0u);
  EXPECT_EQ(p.colour_from, 0x00FFC0C0u);
  EXPECT_EQ(p.colour_to, 0x00800000u);
  EXPECT_EQ(p.font, (Font{"Tahoma", 1200, true, false}));
  EXPECT_TRUE(p.min.shown && p.close.shown);
  EXPECT_FALSE(p.max.shown);
  EXPECT_EQ(p.icon, "#1");
  EXPECT_EQ(p.min.glyph, 0x00800000u);
  EXPECT_EQ(p.min.over, 255u);
  const WindowSkinProperties folder = LoadWindowSkin(WindowSkinDesign({.title = "Movarin", .caption_buttons = false}), {});
  EXPECT_FALSE(folder.min.shown || folder.max.shown || folder.close.shown);
}

TEST(WindowSkinDesign, SetByName) {
  WindowSkinProperties p;
  EXPECT_TRUE(SetWindowSkinProperty(p, "captioncolor", "255"));
  EXPECT_EQ(p.caption_colour, 255u);
  EXPECT_TRUE(SetWindowSkinProperty(p, "ShowMaxButton", "true"));
  EXPECT_TRUE(p.max.shown);
  EXPECT_FALSE(SetWindowSkinProperty(p, "ShowMaxButton", "maybe"));
  EXPECT_TRUE(p.max.shown);
  EXPECT_FALSE(SetWindowSkinProperty(p, "NoSuchProperty", "1"));
}

}  // namespace
}  // namespace movarin::skin
