#include "programs/main/unregister_dialog/unregister_dialog_logic.h"

#include "programs/main/command_menu/registration_options.h"

namespace movarin::main_program {

void UnregisterDialogLogic::UnregisterClicked(std::string_view file_box) {
  commands_.UnregisterFile(RegistrationOptionsFrom(menu_), file_box);
}

std::string UnregisterDialogLogic::FileBoxAfterBrowse(std::optional<std::string> chosen_title) {
  if (chosen_title) last_title_ = std::move(*chosen_title);
  return last_title_;
}

}  // namespace movarin::main_program
