#pragma once
// The register and unregister commands read two options at the moment they run: the
// operating-system pair and the "Register ocx or dll files silently" pair, each straight
// from the command menu's check marks (both items of a pair may be off).
#include "programs/main/command_menu/command_menu_model.h"
#include "registration/options.h"

namespace movarin::main_program {

inline registration::RegistrationOptions RegistrationOptionsFrom(const CommandMenuModel& menu) {
  return {{.windows_xp = menu.Checked(MenuItem::kWindowsXp),
           .windows_vista7 = menu.Checked(MenuItem::kWindowsVista7)},
          {.yes = menu.Checked(MenuItem::kSilentYes), .no = menu.Checked(MenuItem::kSilentNo)}};
}

}  // namespace movarin::main_program
