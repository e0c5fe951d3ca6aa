#include "platform/win32/program_folder.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"

namespace movarin::win32 {

std::string ProgramFolder() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      std::wstring path(buf.data(), n);
      const auto slash = path.find_last_of(L"\\/");
      return Narrow(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
    }
    if (buf.size() >= 32768) return {};
    buf.resize(buf.size() * 2);
  }
}

}  // namespace movarin::win32
