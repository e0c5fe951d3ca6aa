// The skinned controls as real windows under Wine: what the host keeps when the skin
// takes its frame, the styled button's clicks reaching the parent as a standard
// button's do, and the progress bar answering the standard bar's messages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "platform/win32/window.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::skin::win32 {
namespace {

// A plain top-level window that records the commands its controls send.
class Host final : public movarin::win32::Window {
 public:
  bool Create() {
    movarin::win32::WindowArgs args;
    args.class_name = L"MovarinSkinTestHost";
    args.title = L"Skin test";
    args.x = 50;
    args.y = 50;
    args.client_width = 320;
    args.client_height = 200;
    return Window::Create(args);
  }
  std::vector<std::pair<int, int>> commands;  // id, notification

 protected:
  bool OnCommand(int id, int code, HWND) override {
    commands.emplace_back(id, code);
    return true;
  }
};

constexpr int kButtonId = 401, kBarId = 402;

class SkinControls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    RECT before{};
    GetClientRect(host.hwnd(), &before);
    client_before = before;
    skin = controls.AddSkin(host.hwnd(), {.title = "Skin test"});
    ASSERT_NE(skin, nullptr);
    button = controls.Add(host.hwnd(), {kButtonId, ui::ControlKind::kStyledButton, "Search", 300, 900, 1500, 480},
                          nullptr);
    bar = controls.Add(host.hwnd(), {kBarId, ui::ControlKind::kBlockProgressBar, "", 300, 1800, 3000, 300}, nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(bar, nullptr);
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  Host host;
  SkinnedControls controls;
  WindowSkinControl* skin = nullptr;
  HWND button = nullptr;
  HWND bar = nullptr;
  RECT client_before{};
};

TEST_F(SkinControls, TheHostLosesItsFrameButKeepsItsTaskbarButtonAndSize) {
  const LONG_PTR style = GetWindowLongPtrW(host.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_NE(GetWindowLongPtrW(host.hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  RECT client{}, window{}, skin_rect{};
  GetClientRect(host.hwnd(), &client);
  GetWindowRect(host.hwnd(), &window);
  EXPECT_EQ(client.right, client_before.right);
  EXPECT_EQ(client.bottom, client_before.bottom);
  EXPECT_EQ(window.right - window.left, client.right);  // no frame left
  // The skin covers the client area, under the other controls, and follows a resize.
  GetClientRect(skin->hwnd(), &skin_rect);
  EXPECT_EQ(skin_rect.right, client.right);
  EXPECT_EQ(GetWindow(host.hwnd(), GW_CHILD) != skin->hwnd(), true);
  EXPECT_EQ(GetWindow(skin->hwnd(), GW_HWNDNEXT), nullptr);  // last in z-order
  // A control the window makes by itself later goes on top of the skin too.
  CreateWindowW(L"STATIC", L"later", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 150, 80, 20, host.hwnd(),
                nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(GetWindow(skin->hwnd(), GW_HWNDNEXT), nullptr);
  SetWindowPos(host.hwnd(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(skin->hwnd(), &skin_rect);
  EXPECT_EQ(skin_rect.right, 400);
  EXPECT_EQ(skin_rect.bottom, 260);
  EXPECT_GE(skin->FullRedraws(), 2);
}

TEST_F(SkinControls, AHoverTickThatChangesNothingDrawsNothing) {
  SetCursorPos(1200, 1000);  // far from the window
  const int paints = skin->ButtonPaints();
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(skin->TrackHoverOnce());
  EXPECT_EQ(skin->ButtonPaints(), paints);
}

TEST_F(SkinControls, ButtonClickReachesTheParentAsBnClicked) {
  SendMessageW(button, BM_CLICK, 0, 0);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0], std::make_pair(kButtonId, static_cast<int>(BN_CLICKED)));
  // A press and release with the left button on it.
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(host.commands.size(), 2u);
  // Released off the button: no click.
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  EXPECT_EQ(host.commands.size(), 2u);
}

TEST_F(SkinControls, EnterClicksOnceSpaceOnlyPresses) {
  SetFocus(button);
  PostMessageW(button, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(button, WM_KEYUP, VK_RETURN, 0xC0000001);
  Pump();
  EXPECT_EQ(host.commands.size(), 1u);
  StyledButtonControl* control = controls.Button(kButtonId);
  ASSERT_NE(control, nullptr);
  SendMessageW(button, WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_TRUE(control->Button().Pressed());
  SendMessageW(button, WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_FALSE(control->Button().Pressed());
  EXPECT_EQ(host.commands.size(), 1u);
}

TEST_F(SkinControls, ADisabledButtonIgnoresClicksAndTextFollowsSetWindowText) {
  StyledButtonControl* control = controls.Button(kButtonId);
  ASSERT_NE(control, nullptr);
  EnableWindow(button, FALSE);
  EXPECT_FALSE(control->Properties().enabled);
  SendMessageW(button, BM_CLICK, 0, 0);
  SendMessageW(button, WM_CHAR, VK_RETURN, 1);
  EXPECT_TRUE(host.commands.empty());
  EnableWindow(button, TRUE);
  EXPECT_TRUE(control->Properties().enabled);
  SetWindowTextW(button, L"Register");
  EXPECT_EQ(control->Properties().caption, "Register");
  control->Button().SetCaption("Save");
  wchar_t text[16] = {};
  GetWindowTextW(button, text, 16);
  EXPECT_STREQ(text, L"Save");
}

TEST_F(SkinControls, AFrameShowsTheSkinInsideItsOutline) {
  // Right of the button and above the bar.
  HWND frame = controls.Add(host.hwnd(), {403, ui::ControlKind::kFrame, "Info", 2700, 600, 1500, 1200}, nullptr);
  ASSERT_NE(frame, nullptr);
  ShowWindow(host.hwnd(), SW_SHOW);
  SetForegroundWindow(host.hwnd());
  RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  // The body's gradient runs top to bottom: one row has one colour, inside the frame's
  // outline and beside the frame alike.
  RECT r{};
  GetWindowRect(frame, &r);
  const int y = (r.top + r.bottom) / 2;
  HDC screen = GetDC(nullptr);
  const COLORREF inside = GetPixel(screen, (r.left + r.right) / 2, y);
  const COLORREF beside = GetPixel(screen, r.right + 5, y);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(inside, beside) << std::hex << inside << " beside " << beside;
}

TEST_F(SkinControls, ProgressBarAnswersTheStandardMessages) {
  BlockProgressBarControl* control = controls.ProgressBar(kBarId);
  ASSERT_NE(control, nullptr);
  const int draws = control->Draws();
  SendMessageW(bar, PBM_SETRANGE32, 0, 100);  // stored only: no redraw until the value changes
  EXPECT_EQ(control->Draws(), draws);
  EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 40, 0), 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(control->Draws(), draws + 1);
  EXPECT_EQ(control->Properties().value, 40);
  PBRANGE range{};
  SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iHigh, 100);
}

}  // namespace
}  // namespace movarin::skin::win32
