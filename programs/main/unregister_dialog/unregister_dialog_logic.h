#pragma once
// What the unregister dialog decides: the unregister command with the options of the
// moment it runs, and what the file box shows after the open-file dialog.
#include <optional>
#include <string>
#include <string_view>

#include "programs/main/command_menu/command_menu_model.h"
#include "registration/commands.h"

namespace movarin::main_program {

class UnregisterDialogLogic {
 public:
  UnregisterDialogLogic(registration::RegistrationCommands& commands, const CommandMenuModel& menu)
      : commands_(commands), menu_(menu) {}

  // The "UnRegister" button, on the file box's text.
  void UnregisterClicked(std::string_view file_box);

  // The open-file dialog returned the chosen file's title, or nullopt after a cancel.
  // The box takes the title the dialog reports: the bare name, which regsvr32 finds on
  // the system search path; after a cancel that is still the last choice's title (empty
  // before the first choice).
  std::string FileBoxAfterBrowse(std::optional<std::string> chosen_title);

 private:
  registration::RegistrationCommands& commands_;
  const CommandMenuModel& menu_;
  std::string last_title_;
};

}  // namespace movarin::main_program
