#include "tests/support/win32/wine_paths.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"
#include "tests/support/environment.h"

namespace movarin::test {

std::optional<std::string> EnvVar(std::string_view name) {
  const std::wstring wide = win32::Widen(name);
  const DWORD needed = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::vector<wchar_t> buffer(needed);
  const DWORD got = GetEnvironmentVariableW(wide.c_str(), buffer.data(), needed);
  if (got >= needed) return std::nullopt;
  return win32::Narrow(std::wstring_view(buffer.data(), got));
}

std::string WindowsPath(const std::string& unix_path) {
  if (unix_path.empty() || unix_path[0] != '/') return unix_path;
  // Wine's own mapping knows about every drive letter of the prefix; Z: maps the whole
  // Unix tree in every default prefix, so it serves when that export is missing.
  using DosNameFn = wchar_t*(CDECL*)(const char*);
  static const auto dos_name = reinterpret_cast<DosNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                             "wine_get_dos_file_name")));
  if (dos_name) {
    if (wchar_t* mapped = dos_name(unix_path.c_str())) {
      std::string result = win32::Narrow(mapped);
      HeapFree(GetProcessHeap(), 0, mapped);
      if (!result.empty()) return result;
    }
  }
  std::string path = "Z:" + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ProgramDir() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      const auto slash = buffer.find_last_of(L"\\/");
      return win32::Narrow(slash == std::wstring::npos ? buffer : buffer.substr(0, slash));
    }
    buffer.resize(buffer.size() * 2);
  }
  return {};
}

}  // namespace movarin::test
