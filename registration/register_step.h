#pragma once
// The two halves of registering one file through run.bat, shared by the main program
// ("Windows XP" way) and the Register helper program: the checks that come first, then
// writing the batch file and starting it.
#include <optional>
#include <string>
#include <string_view>

#include "registration/options.h"
#include "registration/registration_platform.h"

namespace movarin::registration {

// Only a whole Windows library is ever copied into the system folder, and only under a
// path and name that the command interpreter reads as they are. Returns the message to
// show when the file is refused, nullopt when it may be registered.
std::optional<std::string> RefusalToRegister(RegistrationPlatform& platform,
                                             std::string_view source_path,
                                             std::string_view file_name);

// Writes run.bat to `batch_path` in the ANSI code page and starts it through the shell.
// False when the file could not be written; then nothing is started, so an older
// run.bat is never run in its place.
bool WriteAndStartRunBat(RegistrationPlatform& platform, const std::string& batch_path,
                         std::string_view source_path, std::string_view file_name,
                         SilentOption silent);

}  // namespace movarin::registration
