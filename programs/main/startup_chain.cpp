#include "programs/main/startup_chain.h"

#include "updates/catalogue_update.h"

namespace movarin::main_program {

StartupChain::StartupChain(StartupChainArgs args)
    : args_(std::move(args)),
      sponsor_({.server_base_url = args_.server_base_url,
                .show_update_check = [this] { update_check_.Open(); }}),
      update_check_({.server_base_url = args_.server_base_url,
                     .program_folder = args_.program_folder,
                     .local_version = RunningProgramVersion(),
                     .show_database_update = [this] { database_update_.Open(); }}),
      database_update_({.server_base_url = args_.server_base_url,
                        .catalogue_path = args_.program_folder + "\\" + std::string(updates::kCatalogueFileName),
                        .go_on = [this] {
                          if (args_.finished) args_.finished();
                        }}) {}

bool StartupChain::Start(int show_command) { return sponsor_.Open(show_command); }

}  // namespace movarin::main_program
