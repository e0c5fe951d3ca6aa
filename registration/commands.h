#pragma once
// The main program's register and unregister commands. Each has two ways, chosen by the
// operating-system option: with "Windows XP" the program does the work itself (run.bat
// through the shell, or regsvr32 started as a process); with "Windows Vista/7" it writes
// the hand-over keys of the settings store and starts the elevated helper program from
// its Adds folder. Neither waits for the work or reads a result back.
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "registration/options.h"
#include "registration/registration_platform.h"
#include "settings/settings_store.h"

namespace movarin::registration {

inline constexpr std::string_view kAddsFolder = "Adds";
inline constexpr std::string_view kRegisterProgram = "Register.exe";
inline constexpr std::string_view kUnregisterProgram = "Unregister.exe";

class RegistrationCommands {
 public:
  // `program_folder` is the main program's folder, without a trailing backslash.
  RegistrationCommands(RegistrationPlatform& platform, settings::SettingsStore& store,
                       std::string program_folder);

  // Copies the file into the system folder and registers it. `options` are the command
  // menu's marks at the moment of the call.
  void RegisterFile(const RegistrationOptions& options, std::string_view source_path,
                    std::string_view file_name);

  // Unregisters the file named by the unregister dialog's file box (a bare name found on
  // the system search path, or a path).
  void UnregisterFile(const RegistrationOptions& options, std::string_view file_text);

  // <program folder>\run.bat, <program folder>\Adds\run.bat, <program folder>\Adds\<program>.
  std::string RunBatPath() const;
  std::string AddsPath(std::string_view file) const;

 private:
  // Writes the silent toggles and then each (key, value) in order. False at the first
  // write the store refuses: the helper must not be started on a half-written hand-over,
  // or it would act on the previous one's values.
  bool HandOver(SilentOption silent,
                std::initializer_list<std::pair<settings::Key, std::string_view>> values);

  RegistrationPlatform& platform_;
  settings::SettingsStore& store_;
  std::string program_folder_;
};

}  // namespace movarin::registration
