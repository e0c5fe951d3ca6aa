#pragma once
// The three popup menus of the command menu, built from the item table, with their
// check marks and captions mirrored from the model before each popup.
#include <windows.h>

#include <array>
#include <optional>

#include "programs/main/command_menu/command_menu_model.h"
#include "platform/win32/handles.h"

namespace movarin::main_program {

class CommandMenu {
 public:
  CommandMenu();

  CommandMenuModel& model() { return model_; }
  const CommandMenuModel& model() const { return model_; }

  // Pops up a top menu (options, context or language menu) at a screen point; the chosen item
  // arrives at `owner` as WM_COMMAND with CommandId(item).
  void PopUp(MenuItem top_menu, HWND owner, POINT screen_point);

  static int CommandId(MenuItem item);
  static std::optional<MenuItem> ItemForCommand(int command_id);

 private:
  void Refresh();

  CommandMenuModel model_;
  // One menu handle per top menu and submenu; top menus own their submenus, so only
  // the three top menus are destroyed.
  std::array<HMENU, kMenuItemCount> handles_{};
  std::array<movarin::win32::UniqueMenu, 3> owned_;
};

}  // namespace movarin::main_program
