// movarin-cli: finds, downloads, installs and uninstalls catalogue libraries from a
// console, on the same catalogue, server and settings as Movarin.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/text.h"
#include "programs/cli/cli_logic.h"
#include "programs/cli/windows_cli_platform.h"
#include "settings/settings_keys.h"
#include "settings/win32/registry_settings_store.h"
#include "settings/win32/server_base_url.h"

namespace {

void WriteTo(DWORD which, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace movarin;
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(win32::Narrow(argv[i]));

  auto parsed = cli::ParseArguments(args);
  if (!parsed) {
    WriteTo(STD_ERROR_HANDLE,
            WithCrLf("movarin-cli: " + parsed.error().message + "\n" + std::string(cli::HelpText())));
    return cli::kExitBadUsage;
  }
  if (parsed->command == cli::Command::kHelp) {
    WriteTo(STD_OUTPUT_HANDLE, WithCrLf(cli::HelpText()));
    return cli::kExitAllDone;
  }

  const std::string folder = win32::ProgramFolder();
  std::optional<catalogue::Connection> connection;
  if (auto opened = catalogue::Connection::Open(folder + "\\database.mdb", catalogue::kCataloguePassword))
    connection = std::move(*opened);

  settings::RegistrySettingsStore store;
  std::string download_folder = store.Read(settings::Key::kDownloadPath);
  while (download_folder.size() > 1 && download_folder.back() == '\\') download_folder.pop_back();

  cli::win32::WindowsCliPlatform platform;
  cli::CliRunner runner(platform, connection ? &*connection : nullptr,
                        settings::LoadServerBaseUrl(), download_folder);
  return runner.Run(*parsed);
}
