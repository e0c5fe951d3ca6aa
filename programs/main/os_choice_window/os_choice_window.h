#pragma once
// The step before the main window: makes sure the user has said which Windows this is.
// With exactly one of the two marks stored it shows the main window at once and is never
// seen; otherwise it asks with two picture buttons.
#include <windows.h>

#include <functional>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/command_menu/command_menu_model.h"
#include "programs/main/os_choice_window/os_choice_logic.h"
#include "settings/settings_store.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct OsChoiceWindowArgs {
  CommandMenuModel* menu = nullptr;
  settings::SettingsStore* store = nullptr;
  // Creates, loads and shows the main window.
  std::function<void()> show_main_window;
};

class OsChoiceWindow final : public movarin::win32::Window, private os_choice::OsChoiceHost {
 public:
  explicit OsChoiceWindow(OsChoiceWindowArgs args);

  // Creates the window and runs its load; shows it only when it has to ask. False when
  // the window could not be created.
  bool Open(int show_command = SW_SHOW);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCreate() override;
  bool OnClose() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  // os_choice::OsChoiceHost
  void ReadMarksFromStore() override;
  bool Checked(os_choice::OperatingSystem system) override;
  void Check(os_choice::OperatingSystem system) override;
  void ShowMainWindow() override;
  void CloseWindow() override;
  void EndProgram() override;

  OsChoiceWindowArgs args_;
  os_choice::OsChoiceLogic logic_;
  skin::win32::SkinnedControls skinned_;
  movarin::win32::UniqueGdiObject font_;
};

}  // namespace movarin::main_program
