#include "settings/win32/server_base_url.h"

#include <cstdio>
#include <string>

#include "platform/win32/program_folder.h"
#include "platform/win32/text.h"
#include "settings/server_config.h"

namespace movarin::settings {

std::string LoadServerBaseUrl() {
  const std::string path = win32::ProgramFolder() + "\\" + std::string(kServerIniFile);
  std::string text;
  if (FILE* f = _wfopen(win32::Widen(path).c_str(), L"rb")) {
    char buf[4096];
    std::size_t n;
    // A configuration file is small; anything past 64 KiB is not ours to read.
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() < 64 * 1024)
      text.append(buf, n);
    std::fclose(f);
  }
  return ServerBaseUrlFromIni(text);
}

}  // namespace movarin::settings
