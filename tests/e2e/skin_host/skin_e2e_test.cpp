// The skinned look on a real window under Wine, worked through the system's own pointer
// and keyboard: the close glyph lights under the pointer and goes back when it leaves,
// a click on it raises CloseClicked, a drag on the caption moves the window by the
// drag's distance, Enter on the focused styled button clicks it once, and the disabled
// one ignores clicks. Screenshots go to out/.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "platform/win32/text.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/skin_host/skin_host_layout.h"

namespace movarin::e2e {
namespace {

using namespace std::chrono_literals;
namespace layout = skin_host;

class SkinHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The pictures folder, quoted.
    std::string pictures = BuildPath("app\\Images");
    pictures.insert(pictures.begin(), '"');
    pictures.push_back('"');
    app_ = Process::Launch({.program = BuildPath("app\\tests\\skin-host.exe"), .arguments = pictures});
    ASSERT_TRUE(app_);
    host_ = WaitForWindow({.title = std::string(layout::kTitle), .process_id = app_->id()});
    ASSERT_NE(host_, nullptr);
    skin_ = WaitForChild(host_, {.class_name = "MovarinWindowSkin"});
    ASSERT_NE(skin_, nullptr) << DescribeWindow(host_);
    BringToFront(host_);
    caption_ = MeasureSkinCaption(skin_);
    ch_ = caption_.height;
    bt_ = caption_.button_top;
    Sleep(300);
  }
  void TearDown() override {
    MovePointer({5, 5});
  }
  // The close button's left edge and the point of its glyph's first stroke.
  int CloseX() const { return caption_.close_left; }
  POINT CloseGlyph() const { return ScreenPoint(skin_, caption_.CloseGlyph().x, caption_.CloseGlyph().y); }
  std::string Clicks() { return GetText(GetDlgItem(host_, layout::kClicksLabel)); }

  std::optional<Process> app_;
  HWND host_ = nullptr;
  HWND skin_ = nullptr;
  SkinCaption caption_;
  int ch_ = 0, bt_ = 0;
};

TEST_F(SkinHostTest, CloseGlyphLightsUnderThePointerAndItsClickRaisesCloseClicked) {
  SaveWindowScreenshot(host_, "skin-host");
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(CloseGlyph()) == kSkinGlyphColour; }))
      << std::hex << ScreenPixel(CloseGlyph());
  MovePointer(ScreenPoint(skin_, CloseX() + 8, bt_ + 8));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(CloseGlyph()) == kSkinLitGlyphColour; }))
      << "the close glyph did not light: " << std::hex << ScreenPixel(CloseGlyph());
  SaveScreenRegion(RECT{CloseGlyph().x - 40, CloseGlyph().y - 10, CloseGlyph().x + 20, CloseGlyph().y + 20},
                   "skin-host-close-lit");
  MovePointer(ScreenPoint(skin_, 40, ch_ + 40));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(CloseGlyph()) == kSkinGlyphColour; }))
      << "the close glyph stayed lit: " << std::hex << ScreenPixel(CloseGlyph());

  SystemClickAt(skin_, CloseX() + 8, bt_ + 8);
  const auto code = app_->WaitForExit(10s);
  ASSERT_TRUE(code) << "CloseClicked was not raised";
  EXPECT_EQ(*code, static_cast<DWORD>(layout::kClosedExitCode));
}

TEST_F(SkinHostTest, ADragOnTheCaptionMovesTheWindowByTheDragDistance) {
  RECT before{};
  GetWindowRect(host_, &before);
  const POINT start = ScreenPoint(skin_, 120, ch_ / 2);
  MovePointer(start);
  Sleep(100);
  PressLeft(true);
  Sleep(100);
  for (int step = 1; step <= 4; ++step) {
    MovePointer({start.x + 15 * step, start.y + 10 * step});
    Sleep(60);
  }
  PressLeft(false);
  RECT after{};
  EXPECT_TRUE(WaitUntil([&] {
    GetWindowRect(host_, &after);
    return after.left == before.left + 60 && after.top == before.top + 40;
  })) << "moved by " << after.left - before.left << ", " << after.top - before.top;
  // A press below the caption moves nothing.
  const POINT body = ScreenPoint(skin_, 120, ch_ + 8);
  MovePointer(body);
  PressLeft(true);
  MovePointer({body.x + 30, body.y + 30});
  Sleep(100);
  PressLeft(false);
  Sleep(200);
  RECT still{};
  GetWindowRect(host_, &still);
  EXPECT_EQ(still.left, after.left);
  EXPECT_EQ(still.top, after.top);
}

TEST_F(SkinHostTest, EnterClicksTheFocusedButtonOnceAndTheDisabledButtonIgnoresClicks) {
  HWND search = GetDlgItem(host_, layout::kSearchButton);
  HWND reg = GetDlgItem(host_, layout::kRegisterButton);
  HWND label = GetDlgItem(host_, layout::kClicksLabel);
  ASSERT_TRUE(search && reg && label) << DescribeWindow(host_);
  EXPECT_EQ(Clicks(), "Search 0, Register 0");
  // The label shows the skin's body behind its text: a row of the vertical gradient has
  // one colour, inside the label and beside it.
  RECT lr{};
  GetClientRect(label, &lr);
  const POINT in_label = ScreenPoint(label, lr.right - 3, 3);
  const POINT beside = ScreenPoint(label, lr.right + 3, 3);
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(in_label) == ScreenPixel(beside); }))
      << std::hex << ScreenPixel(in_label) << " beside " << ScreenPixel(beside);

  TypeKey(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return Clicks() == "Search 1, Register 0"; })) << Clicks();
  Sleep(300);
  EXPECT_EQ(Clicks(), "Search 1, Register 0") << "Enter clicked more than once";

  RECT r{};
  GetClientRect(reg, &r);
  SystemClickAt(reg, r.right / 2, r.bottom / 2);
  Click(reg);  // BM_CLICK, as a program would press it
  Sleep(500);
  EXPECT_EQ(Clicks(), "Search 1, Register 0") << "the disabled button clicked";

  // The theme's hovered look under the pointer, and a real click on it.
  GetClientRect(search, &r);
  const int w = r.right, h = r.bottom;
  MovePointer(ScreenPoint(search, w / 2, h - 6));
  // Theme 4's lower-right highlight starts at (W/2, H/3) in its first colour.
  const POINT probe = ScreenPoint(search, HalfToEven(w), static_cast<int>(std::lround(h / 3.0)));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(probe) == RGB(255, 213, 94); }))
      << "hovered look: " << std::hex << ScreenPixel(probe);
  SaveWindowScreenshot(host_, "skin-host-hovered-button");
  SystemClickAt(search, w / 2, h - 6);
  EXPECT_TRUE(WaitUntil([&] { return Clicks() == "Search 2, Register 0"; })) << Clicks();
}

}  // namespace
}  // namespace movarin::e2e
