#include "registration/register_step.h"

#include "pe/dll_check.h"
#include "registration/messages.h"
#include "registration/run_bat.h"

namespace movarin::registration {

std::optional<std::string> RefusalToRegister(RegistrationPlatform& platform,
                                             std::string_view source_path,
                                             std::string_view file_name) {
  for (std::string_view text : {source_path, file_name}) {
    if (auto problem = CheckBatchName(text, platform)) return CannotRegisterNameText(text, *problem);
  }
  auto start = platform.ReadFileStart(std::string(source_path), pe::kDllCheckBytes);
  if (!start) return CannotReadText(source_path);
  if (!pe::CheckDll(start->bytes, start->size)) return NotALibraryText(source_path);
  return std::nullopt;
}

bool WriteAndStartRunBat(RegistrationPlatform& platform, const std::string& batch_path,
                         std::string_view source_path, std::string_view file_name,
                         SilentOption silent) {
  const auto bytes = platform.FromUtf8(RunBatText(source_path, file_name, silent));
  if (!bytes || !platform.WriteFile(batch_path, *bytes)) return false;
  platform.OpenThroughShell(batch_path);
  return true;
}

}  // namespace movarin::registration
