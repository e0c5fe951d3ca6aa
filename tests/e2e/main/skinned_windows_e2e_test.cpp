// Movarin's own windows in their skinned look under Wine, worked through the system's
// pointer and keyboard as a hand would: a screenshot of every window in out/; the main
// window's close glyph lights under the pointer and asks before the program ends; a drag
// on the caption moves the window by the drag's distance; Enter on the focused Search
// button clicks it once, also after a message box took the focus away; the download
// dialog's segmented bar and styled buttons during a real download, its disabled cancel
// button ignoring clicks; the download-folder dialog without caption buttons.
#include "tests/e2e/main/movarin_fixture.h"

#include <commctrl.h>

#include <cmath>
#include <thread>

#include "programs/main/download_dialog/download_dialog_layout.h"
#include "programs/main/download_folder_dialog/download_folder_dialog_layout.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"

namespace movarin::e2e {
namespace {

using main_program::MainControl;
using main_program::MenuItem;
namespace dd = main_program::download_dialog;
namespace fd = main_program::folder_dialog;
using namespace std::chrono_literals;

// Theme 4's hovered look: the first colour of its lower-right highlight, at (W/2, H/3).
constexpr COLORREF kHoveredButtonColour = RGB(255, 213, 94);

HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui)) return nullptr;
  return gui.hwndFocus;
}

int BarPosition(HWND bar) {
  DWORD_PTR position = 0;
  SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position);
  return static_cast<int>(position);
}

POINT Middle(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right / 2, r.bottom / 2};
}

class SkinnedWindowsTest : public MovarinTest {
 protected:
  void TearDown() override {
    MovePointer({5, 5});
    MovarinTest::TearDown();
    // What the program saved on its way out goes, as the fixture found the key.
    DeleteRegistryTree(HKEY_CURRENT_USER, kOptionsKey);
  }
  // Starts Movarin and brings its main window, with its skin, to the front.
  void StartInFront() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
    skin_ = WaitForChild(main_, {.class_name = "MovarinWindowSkin"});
    ASSERT_NE(skin_, nullptr) << DescribeWindow(main_);
    caption_ = MeasureSkinCaption(skin_);
    BringToFront(main_);
    std::this_thread::sleep_for(300ms);
  }
  POINT OnSkin(POINT skin_point) const { return ScreenPoint(skin_, skin_point.x, skin_point.y); }

  HWND skin_ = nullptr;
  SkinCaption caption_;
};

TEST_F(SkinnedWindowsTest, MainWindowsCloseGlyphLightsUnderThePointerMinimiseMinimisesAndCloseAsksFirst) {
  ASSERT_NO_FATAL_FAILURE(StartInFront());
  EXPECT_EQ(GetWindowLongPtrW(main_, GWL_STYLE) & WS_CAPTION, 0) << "the skin draws the frame";
  EXPECT_EQ(GetWindow(skin_, GW_HWNDNEXT), nullptr) << "the skin lies under every control";
  for (MainControl role : {MainControl::kSearchButton, MainControl::kBrowseButton, MainControl::kRegisterButton})
    EXPECT_EQ(ClassName(Control(role)), "MovarinStyledButton") << Placement(role).caption;
  RECT client{}, covered{};
  GetClientRect(main_, &client);
  GetClientRect(skin_, &covered);
  EXPECT_TRUE(EqualRect(&client, &covered)) << "the skin covers the client area";
  Screenshot(main_, "skinned-main-window");

  const POINT glyph = OnSkin(caption_.CloseGlyph());
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(glyph) == kSkinGlyphColour; })) << std::hex << ScreenPixel(glyph);
  MovePointer(OnSkin(caption_.CloseMiddle()));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(glyph) == kSkinLitGlyphColour; }))
      << "the close glyph did not light: " << std::hex << ScreenPixel(glyph);
  EXPECT_TRUE(SaveScreenRegion(RECT{glyph.x - 60, glyph.y - 12, glyph.x + 20, glyph.y + 20},
                               "skinned-main-window-close-lit")
                  .has_value());
  MovePointer(OnSkin({40, caption_.height + 40}));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(glyph) == kSkinGlyphColour; }))
      << "the close glyph stayed lit: " << std::hex << ScreenPixel(glyph);

  // The minimise glyph, one button to the left, minimises the window.
  SystemClickAt(skin_, caption_.CloseMiddle().x - 21, caption_.CloseMiddle().y);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(main_) != FALSE; })) << "the minimise glyph did not minimise";
  BringToFront(main_);  // restores it
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main_) == FALSE; }));
  std::this_thread::sleep_for(300ms);

  // A click on the close glyph asks first; No keeps the program running.
  SystemClickAt(skin_, caption_.CloseMiddle().x, caption_.CloseMiddle().y);
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value()) << "the close glyph asked nothing";
  EXPECT_EQ(box->title, "Exit?");
  EXPECT_EQ(box->text, "Do you want to exit?");
  EXPECT_EQ(box->buttons, (std::vector<std::string>{"Yes", "No"}));
  ASSERT_TRUE(PressMessageBoxButton(box->window, "No"));
  ASSERT_TRUE(WaitForWindowGone(box->window));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(app_->Running());
  EXPECT_TRUE(IsWindowVisible(main_));

  // Yes ends it. The pointer leaves the glyph and comes back first, as a hand does: with
  // no window manager, Wine drops a click at the spot of the previous one when the
  // pointer has not moved since (the box came and went in between).
  MovePointer(OnSkin({40, caption_.height + 40}));
  std::this_thread::sleep_for(300ms);
  SystemClickAt(skin_, caption_.CloseMiddle().x, caption_.CloseMiddle().y);
  box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  ASSERT_TRUE(PressMessageBoxButton(box->window, "Yes"));
  EXPECT_TRUE(app_->WaitForExit().has_value()) << "Yes ends the program";
}

TEST_F(SkinnedWindowsTest, ADragOnTheCaptionMovesTheMainWindowByTheDragDistance) {
  ASSERT_NO_FATAL_FAILURE(StartInFront());
  RECT before{};
  GetWindowRect(main_, &before);
  const POINT start = OnSkin({160, caption_.height / 2});
  MovePointer(start);
  std::this_thread::sleep_for(100ms);
  PressLeft(true);
  std::this_thread::sleep_for(100ms);
  for (int step = 1; step <= 4; ++step) {
    MovePointer({start.x + 20 * step, start.y + 12 * step});
    std::this_thread::sleep_for(60ms);
  }
  PressLeft(false);
  RECT after{};
  EXPECT_TRUE(WaitUntil([&] {
    GetWindowRect(main_, &after);
    return after.left == before.left + 80 && after.top == before.top + 48;
  })) << "moved by " << after.left - before.left << ", " << after.top - before.top;

  // A press on the body below the caption moves nothing.
  const POINT body = OnSkin({160, caption_.height + 3});
  MovePointer(body);
  PressLeft(true);
  MovePointer({body.x + 30, body.y + 30});
  std::this_thread::sleep_for(100ms);
  PressLeft(false);
  std::this_thread::sleep_for(200ms);
  RECT still{};
  GetWindowRect(main_, &still);
  EXPECT_EQ(still.left, after.left);
  EXPECT_EQ(still.top, after.top);
}

TEST_F(SkinnedWindowsTest, EnterOnTheFocusedSearchButtonClicksItOnceAndTheFocusComesBackAfterTheBox) {
  ASSERT_NO_FATAL_FAILURE(StartInFront());
  HWND search_box = Control(MainControl::kSearchBox);
  HWND search = Control(MainControl::kSearchButton);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == search_box; })) << "the search box has the focus";
  TypeKey(VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == search; })) << "Tab leads to the Search button";
  // The search box is empty: each click of Search asks for a name once. The second
  // round needs the focus back on the button once the box has gone.
  for (int round = 1; round <= 2; ++round) {
    TypeKey(VK_RETURN);
    auto box = WaitForMessageBox(app_->id());
    ASSERT_TRUE(box.has_value()) << "round " << round << ": Enter did not click the focused button";
    EXPECT_EQ(box->text, "The dll or ocx file field is empty.");
    ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
    ASSERT_TRUE(WaitForWindowGone(box->window));
    std::this_thread::sleep_for(400ms);
    EXPECT_FALSE(FindMessageBox(app_->id()).has_value()) << "round " << round << ": Enter clicked more than once";
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == search; }))
        << "round " << round << ": the focus did not come back to the Search button";
  }
}

class SkinnedDownloadTest : public SkinnedWindowsTest {
 protected:
  void SetUp() override {
    SkinnedWindowsTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(PrepareDownloads());
  }
  void TearDown() override {
    SkinnedWindowsTest::TearDown();
    test::ResetServer();
  }
};

TEST_F(SkinnedDownloadTest, DownloadDialogShowsItsBlocksItsStyledButtonsWorkAndItsDisabledCancelIgnoresClicks) {
  // Half the file, then the server holds the rest back: the dialog stays at 50 %.
  ASSERT_TRUE(test::WriteWholeFile(server_files_ + "\\actbar.ocx", std::string(20480, 'x')));
  ASSERT_TRUE(test::ControlServer("set?path=/files/actbar.ocx&mode=stall&bytes=10240&delay_ms=60000"));
  ASSERT_NO_FATAL_FAILURE(StartInFront());
  SearchFor("actbar");  // one match: the automatic download starts
  HWND dialog = WaitForWindow({.class_name = "MovarinDownloadDialog", .process_id = app_->id()});
  ASSERT_NE(dialog, nullptr);
  HWND download = GetDlgItem(dialog, dd::kDownloadButton);
  HWND cancel = GetDlgItem(dialog, dd::kCancelButton);
  HWND bar = GetDlgItem(dialog, dd::kProgressBar);
  HWND dialog_skin = WaitForChild(dialog, {.class_name = "MovarinWindowSkin"});
  ASSERT_TRUE(download && cancel && bar && dialog_skin) << DescribeWindow(dialog);
  EXPECT_EQ(ClassName(download), "MovarinStyledButton");
  EXPECT_EQ(ClassName(cancel), "MovarinStyledButton");
  EXPECT_EQ(ClassName(bar), "MovarinBlockProgressBar");
  ASSERT_TRUE(WaitUntil([&] { return GetText(GetDlgItem(dialog, dd::kPercentLabel)) == "50 %"; }, 20s))
      << GetText(GetDlgItem(dialog, dd::kPercentLabel));
  EXPECT_EQ(BarPosition(bar), 50);
  EXPECT_FALSE(IsWindowEnabled(download));
  EXPECT_TRUE(IsWindowEnabled(cancel));

  // Half the bar is blocks, the rest white.
  BringToFront(dialog);
  std::this_thread::sleep_for(300ms);
  RECT bar_rect{};
  GetClientRect(bar, &bar_rect);
  const POINT in_block = ScreenPoint(bar, 43, bar_rect.bottom / 2);  // the fifth block, not a gap
  const POINT past_fill = ScreenPoint(bar, bar_rect.right * 3 / 4, bar_rect.bottom / 2);
  EXPECT_TRUE(WaitUntil([&] {
    const COLORREF c = ScreenPixel(in_block);
    return GetGValue(c) >= 160 && GetRValue(c) < 160 && GetBValue(c) < 160;
  })) << "not green: " << std::hex << ScreenPixel(in_block);
  EXPECT_EQ(ScreenPixel(past_fill), RGB(255, 255, 255)) << std::hex << ScreenPixel(past_fill);
  Screenshot(dialog, "skinned-download-dialog");

  // A real click on cancel: idle at once, no message, nothing left of the file.
  SystemClickAt(cancel, Middle(cancel).x, Middle(cancel).y);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(download) && !IsWindowEnabled(cancel); }))
      << "cancel did not reach the dialog";
  EXPECT_EQ(BarPosition(bar), 0);
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
  EXPECT_FALSE(test::FileExists(downloads_ + "\\actbar.ocx"));

  // Idle, cancel is disabled. Its click would put the bar back to 0: set the bar as a
  // progress report would, then click the button with the pointer and as a program would.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(bar, PBM_SETPOS, 40, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  ASSERT_EQ(BarPosition(bar), 40);
  SystemClickAt(cancel, Middle(cancel).x, Middle(cancel).y);
  Click(cancel);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(BarPosition(bar), 40) << "a click of the disabled cancel button reached the dialog";
  RECT cancel_rect{};
  GetClientRect(cancel, &cancel_rect);
  const POINT hover_probe = ScreenPoint(cancel, HalfToEven(cancel_rect.right), static_cast<int>(std::lround(cancel_rect.bottom / 3.0)));
  EXPECT_NE(ScreenPixel(hover_probe), kHoveredButtonColour) << "a disabled button shows no hovered look";
  Screenshot(dialog, "skinned-download-dialog-idle");

  // The dialog's close glyph closes it; the program goes on.
  const SkinCaption caption = MeasureSkinCaption(dialog_skin);
  SystemClickAt(dialog_skin, caption.CloseMiddle().x, caption.CloseMiddle().y);
  EXPECT_TRUE(WaitForWindowGone(dialog)) << "the close glyph left the dialog open";
  EXPECT_TRUE(app_->Running());
}

TEST_F(SkinnedWindowsTest, DownloadFolderDialogShowsNoCaptionButtons) {
  ASSERT_NO_FATAL_FAILURE(StartInFront());
  ClickMenuItem(MenuItem::kSetDownloadPath);
  HWND dialog = WaitForWindow({.class_name = "MovarinDownloadFolderDialog", .process_id = app_->id()});
  ASSERT_NE(dialog, nullptr);
  HWND dialog_skin = WaitForChild(dialog, {.class_name = "MovarinWindowSkin"});
  ASSERT_NE(dialog_skin, nullptr) << DescribeWindow(dialog);
  EXPECT_EQ(ClassName(GetDlgItem(dialog, fd::kBrowseButton)), "MovarinStyledButton");
  EXPECT_EQ(ClassName(GetDlgItem(dialog, fd::kSaveButton)), "MovarinStyledButton");
  BringToFront(dialog);
  std::this_thread::sleep_for(300ms);
  // Where the minimise and close buttons would stand, the caption shows no navy glyph
  // and no white button frame.
  const SkinCaption caption = MeasureSkinCaption(dialog_skin);
  int glyph_pixels = 0;
  for (int y = caption.button_top; y <= caption.button_top + 16; ++y) {
    for (int x = caption.close_left - 21; x <= caption.close_left + 16; ++x) {
      const COLORREF c = ScreenPixel(ScreenPoint(dialog_skin, x, y));
      if (c == kSkinGlyphColour || c == RGB(255, 255, 255)) ++glyph_pixels;
    }
  }
  EXPECT_EQ(glyph_pixels, 0);
  Screenshot(dialog, "skinned-download-folder-dialog");
  Click(GetDlgItem(dialog, fd::kSaveButton));
  EXPECT_TRUE(WaitForWindowGone(dialog)) << "Save closes the dialog";
}

}  // namespace
}  // namespace movarin::e2e
