#include "registration/commands.h"

#include "registration/messages.h"
#include "registration/register_step.h"
#include "registration/run_bat.h"
#include "registration/unregister_command_line.h"

namespace movarin::registration {

using settings::Key;

RegistrationCommands::RegistrationCommands(RegistrationPlatform& platform,
                                           settings::SettingsStore& store,
                                           std::string program_folder)
    : platform_(platform), store_(store), program_folder_(std::move(program_folder)) {}

std::string RegistrationCommands::RunBatPath() const {
  return program_folder_ + "\\" + std::string(kRunBatName);
}

std::string RegistrationCommands::AddsPath(std::string_view file) const {
  return program_folder_ + "\\" + std::string(kAddsFolder) + "\\" + std::string(file);
}

bool RegistrationCommands::HandOver(
    SilentOption silent, std::initializer_list<std::pair<settings::Key, std::string_view>> values) {
  if (!store_.WriteSwitch(Key::kYesMovarinFiles1, silent.yes)) return false;
  if (!store_.WriteSwitch(Key::kNoMovarinFiles1, silent.no)) return false;
  for (const auto& [key, value] : values)
    if (!store_.Write(key, std::string(value))) return false;
  return true;
}

void RegistrationCommands::RegisterFile(const RegistrationOptions& options,
                                        std::string_view source_path,
                                        std::string_view file_name) {
  const OperatingSystemOption system = options.system;
  if (!system.windows_xp && !system.windows_vista7) {
    platform_.ShowInformation(kSelectOperatingSystem);
    return;
  }
  // Checked once for both ways, before anything is written or started. An empty path
  // gets its own message below (the file name alone is never tested for emptiness).
  if (!source_path.empty()) {
    if (auto refusal = RefusalToRegister(platform_, source_path, file_name)) {
      platform_.ShowInformation(*refusal);
      return;
    }
  }
  if (system.windows_xp) {
    if (source_path.empty())
      platform_.ShowInformation(kNoFileSelected);
    else
      WriteAndStartRunBat(platform_, RunBatPath(), source_path, file_name, options.silent);
  }
  // Tested after the "Windows XP" way in every case.
  if (system.windows_vista7) {
    if (source_path.empty()) {
      platform_.ShowInformation(kNoFileSelected);
      return;
    }
    // No batch file of an earlier hand-over may be left beside the Register program; a
    // file that cannot be removed does not stop the hand-over (Register rewrites it).
    platform_.RemoveFile(AddsPath(kRunBatName));
    if (!HandOver(options.silent, {{Key::kRegisterLink, source_path}, {Key::kRegisterName, file_name}}))
      return;
    platform_.OpenThroughShell(AddsPath(kRegisterProgram));
  }
}

void RegistrationCommands::UnregisterFile(const RegistrationOptions& options,
                                          std::string_view file_text) {
  const OperatingSystemOption system = options.system;
  if (!system.windows_xp && !system.windows_vista7) {
    platform_.ShowInformation(kSelectOperatingSystem);
    return;
  }
  if (file_text.empty()) {
    platform_.ShowInformation(kUnregisterFieldEmpty);
    return;
  }
  if (auto problem = CheckUnregisterName(file_text)) {
    platform_.ShowInformation(CannotUnregisterNameText(file_text, *problem));
    return;
  }
  if (system.windows_xp) {
    // With neither silent toggle on, nothing is started.
    if (options.silent.yes) platform_.StartMinimised(UnregisterCommandLine(true, file_text));
    if (options.silent.no) platform_.StartMinimised(UnregisterCommandLine(false, file_text));
  }
  if (system.windows_vista7) {
    if (!HandOver(options.silent, {{Key::kUnregisterMovarin, file_text}})) return;
    platform_.OpenThroughShell(AddsPath(kUnregisterProgram));
  }
}

}  // namespace movarin::registration
