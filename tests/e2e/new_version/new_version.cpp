// A stand-in for the separate updater NewVersion.exe, for the end-to-end test of the
// update check's "Update": started, it writes NewVersion.started beside itself (its
// working folder and command line, one per line) and ends.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return 1;
  path.resize(length);
  path = path.substr(0, path.find_last_of(L'\\') + 1) + L"NewVersion.started";
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  const std::wstring text = std::wstring(folder) + L"\r\n" + GetCommandLineW() + L"\r\n";
  movarin::win32::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 1;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr) ? 0
                                                                                                              : 1;
}
