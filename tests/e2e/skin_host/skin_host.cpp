// skin-host [pictures folder]: a window in the skinned look for the end-to-end test:
// its skin, two styled buttons (the second disabled), a progress bar, and a label that
// counts the buttons' clicks as the parent receives them (WM_COMMAND). The close glyph
// ends the program with a code of its own, so the test sees CloseClicked.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/control_layout.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/text.h"
#include "platform/win32/window.h"
#include "skin/win32/skinned_controls.h"
#include "tests/e2e/skin_host/skin_host_layout.h"

namespace movarin::skin_host {
namespace {

class HostWindow final : public win32::Window, private skin::win32::WindowSkinEvents {
 public:
  explicit HostWindow(std::string pictures) : pictures_(std::move(pictures)) {}

  bool Create() {
    win32::WindowArgs args;
    args.class_name = L"MovarinSkinHost";
    args.title = win32::Widen(kTitle);
    args.x = 200;
    args.y = 150;
    args.client_width = win32::TwipsToPixels(kClientWidthTwips);
    args.client_height = win32::TwipsToPixels(kClientHeightTwips);
    args.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    return Window::Create(args);
  }

 protected:
  bool OnCreate() override {
    font_.reset(win32::CreateTahoma(800, false));
    const HFONT font = static_cast<HFONT>(font_.get());
    controls_.AddSkin(hwnd(), {.title = kTitle, .icon = "#1"}, this);
    controls_.Add(hwnd(), kControls[0], font, "");
    controls_.Add(hwnd(), kControls[1], font, "");
    controls_.Add(hwnd(), kControls[2], font);
    controls_.Add(hwnd(), kControls[3], font);
    SetPicture(kSearchButton, "Search.png");
    SetPicture(kRegisterButton, "Regsiter.gif");
    EnableWindow(GetDlgItem(hwnd(), kRegisterButton), FALSE);
    SendMessageW(GetDlgItem(hwnd(), kProgressBar), PBM_SETPOS, kProgressValue, 0);
    focused_ = GetDlgItem(hwnd(), kSearchButton);
    return true;
  }

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_ACTIVATE) {
      // The keyboard focus goes back to the control that had it (the Search button
      // at first), as in a dialog.
      if (LOWORD(wp) == WA_INACTIVE) {
        if (HWND f = GetFocus(); f && IsChild(hwnd(), f)) focused_ = f;
      } else if (focused_) {
        SetFocus(focused_);
        return 0;
      }
    }
    return Window::HandleMessage(msg, wp, lp);
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return false;
    if (id == kSearchButton) ++search_clicks_;
    if (id == kRegisterButton) ++register_clicks_;
    const std::string text =
        "Search " + std::to_string(search_clicks_) + ", Register " + std::to_string(register_clicks_);
    SetWindowTextW(GetDlgItem(hwnd(), kClicksLabel), win32::Widen(text).c_str());
    return true;
  }

  void OnDestroy() override { PostQuitMessage(0); }

 private:
  // The pictures folder comes from the command line: the test host does not live in
  // the program folder.
  void SetPicture(int id, const char* file) {
    if (auto* button = controls_.Button(id)) {
      button->Button().SetIconSource(pictures_ + "\\" + file);
      button->Button().SetIcon(true);
    }
  }

  void CloseClicked(HWND) override {
    DestroyWindow(hwnd());
    ExitProcess(kClosedExitCode);
  }

  std::string pictures_;
  HWND focused_ = nullptr;
  skin::win32::SkinnedControls controls_;
  win32::UniqueGdiObject font_;
  int search_clicks_ = 0;
  int register_clicks_ = 0;
};

}  // namespace
}  // namespace movarin::skin_host

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace movarin;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::string pictures = argc > 1 ? win32::Narrow(argv[1]) : std::string(".");
  LocalFree(argv);
  skin_host::HostWindow window(pictures);
  if (!window.Create()) return 1;
  window.Show();
  return win32::RunMessageLoop();
}
