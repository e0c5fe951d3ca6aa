#pragma once
// The dialog in which the user unregisters a library: a file box, a browse button with
// the open-file dialog, and the "UnRegister" button. Modeless; showing it while it is
// open brings the same window up. Closing it leaves the main program running.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/command_menu/command_menu_model.h"
#include "programs/main/unregister_dialog/unregister_dialog_logic.h"
#include "registration/commands.h"
#include "registration/win32/windows_registration_platform.h"
#include "settings/settings_store.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct UnregisterDialogArgs {
  settings::SettingsStore* store = nullptr;
  const CommandMenuModel* menu = nullptr;  // the options are read from its marks
  std::string program_folder;              // where Adds\Unregister.exe lies
};

class UnregisterDialog final : public movarin::win32::Window {
 public:
  explicit UnregisterDialog(const UnregisterDialogArgs& args);
  // An open dialog goes while its members are still whole.
  ~UnregisterDialog() override;

  // Creates the dialog when it is not open, then shows it and brings it to the front.
  void ShowDialog();

 protected:
  bool OnCreate() override;
  void OnDestroy() override;
  bool OnClose() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  HWND FileBox() const;
  void Browse();

  // Message boxes and the shell starts of the command belong to this dialog.
  registration::win32::WindowsRegistrationPlatform platform_;
  registration::RegistrationCommands commands_;
  UnregisterDialogLogic logic_;
  skin::win32::SkinnedControls skinned_;  // the skin and the styled buttons
  movarin::win32::UniqueGdiObject font_;
};

}  // namespace movarin::main_program
