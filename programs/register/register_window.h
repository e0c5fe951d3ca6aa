#pragma once
// The Register program's only window (hidden) and its option window.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/register/register_window_logic.h"
#include "registration/win32/silent_option_window.h"
#include "registration/win32/windows_registration_platform.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::register_program {

class RegisterWindow final : public win32::Window, public RegisterWindowHost {
 public:
  RegisterWindow(settings::SettingsStore& store, std::string own_folder);
  // Creates both windows, hidden, and starts the step timer.
  bool Create();

  // RegisterWindowHost
  void SetTickCaption(const std::string& text) override;
  std::string PathField() override;
  void SetPathField(const std::string& text) override;
  std::string NameField() override;
  void SetNameField(const std::string& text) override;
  registration::SilentOption SilentToggles() override;
  void SetSilentToggles(registration::SilentOption toggles) override;
  void CloseWindow() override;

 protected:
  bool OnCreate() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;

 private:
  static constexpr UINT_PTR kStepTimer = 1;
  static constexpr UINT kStepIntervalMs = 1;

  std::string ControlText(int id);
  void SetControlText(int id, const std::string& text);

  registration::win32::WindowsRegistrationPlatform platform_;
  registration::win32::SilentOptionWindow options_;
  RegisterWindowLogic logic_;
  win32::UniqueGdiObject font_;
  skin::win32::SkinnedControls skinned_;  // the skin and the styled buttons
};

}  // namespace movarin::register_program
