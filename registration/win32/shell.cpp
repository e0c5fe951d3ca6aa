#include "registration/win32/shell.h"

#include <shellapi.h>

#include "platform/win32/text.h"
#include "registration/messages.h"

namespace movarin::registration::win32 {

using movarin::win32::Widen;

bool OpenThroughShell(HWND owner, const std::string& path) {
  const HINSTANCE result =
      ShellExecuteW(owner, L"open", Widen(path).c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool StartMinimised(const std::string& command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  // CreateProcessW may write into the command line it is given.
  std::wstring line = Widen(command_line);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  // Nobody waits for the process: its handles are closed at once.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void ShowInformation(HWND owner, const std::string& text) {
  MessageBoxW(owner, Widen(text).c_str(), Widen(kProgramTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace movarin::registration::win32
