#pragma once
// The helper programs' option window: normally hidden, only its menu matters. The menu
// "Register ocx or dll files silently" carries the "Yes" and "No" toggles that hold the
// silent option of the run.
#include <windows.h>

#include "platform/win32/window.h"
#include "registration/options.h"

namespace movarin::registration::win32 {

inline constexpr wchar_t kSilentOptionWindowClass[] = L"MovarinSilentOptionWindow";
inline constexpr wchar_t kSilentMenuCaption[] = L"Register ocx or dll files silently";
inline constexpr int kSilentYesCommand = 501;
inline constexpr int kSilentNoCommand = 502;

class SilentOptionWindow final : public movarin::win32::Window {
 public:
  // Creates the window hidden, both toggles unchecked.
  bool Create(HWND owner);
  SilentOption Toggles() const { return toggles_; }
  void SetToggles(SilentOption toggles);
  void ShowWindowNow();

 protected:
  bool OnCreate() override;
  bool OnCommand(int id, int code, HWND control) override;
  // Closing only hides it: the marks stay for the run.
  bool OnClose() override;

 private:
  HMENU silent_menu_ = nullptr;  // owned by the window's menu bar
  SilentOption toggles_;
};

}  // namespace movarin::registration::win32
