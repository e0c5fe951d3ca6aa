#pragma once
// The Unregister program's only window (hidden) and its option window.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/unregister/unregister_window_logic.h"
#include "registration/win32/silent_option_window.h"
#include "registration/win32/windows_registration_platform.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::unregister_program {

class UnregisterWindow final : public win32::Window, public UnregisterWindowHost {
 public:
  explicit UnregisterWindow(settings::SettingsStore& store) : store_(store) {}
  // Creates both windows, hidden.
  bool Create();
  // The load: reads the hand-over, starts regsvr32 and ends the program.
  void Load();

  // UnregisterWindowHost
  void HideWindow() override;
  std::string FileBox() override;
  void SetFileBox(const std::string& text) override;
  registration::SilentOption SilentToggles() override;
  void SetSilentToggles(registration::SilentOption toggles) override;
  void EndProgram() override;

 protected:
  bool OnCreate() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  settings::SettingsStore& store_;
  registration::win32::WindowsRegistrationPlatform platform_;
  registration::win32::SilentOptionWindow options_;
  win32::UniqueGdiObject font_;
  skin::win32::SkinnedControls skinned_;  // the skin and the styled buttons
};

}  // namespace movarin::unregister_program
