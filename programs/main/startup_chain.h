#pragma once
// The start-up of Movarin.exe: a chain of windows, each of which shows the next and then
// goes: the sponsor page (it only hides), the program update check, the catalogue
// update; then the window that follows the chain. Closing any of them without going on
// ends the program.
#include <windows.h>

#include <functional>
#include <string>

#include "programs/main/database_update_window/database_update_window.h"
#include "programs/main/sponsor_window/sponsor_window.h"
#include "programs/main/update_check_window/update_check_window.h"

namespace movarin::main_program {

struct StartupChainArgs {
  std::string server_base_url;
  // The folder of the running program, without a trailing backslash.
  std::string program_folder;
  // Shows the window that follows the chain, once the catalogue is up to date.
  std::function<void()> finished;
};

class StartupChain {
 public:
  explicit StartupChain(StartupChainArgs args);
  StartupChain(const StartupChain&) = delete;
  StartupChain& operator=(const StartupChain&) = delete;

  // Opens the first window.
  bool Start(int show_command);

 private:
  StartupChainArgs args_;
  SponsorWindow sponsor_;
  UpdateCheckWindow update_check_;
  DatabaseUpdateWindow database_update_;
};

}  // namespace movarin::main_program
