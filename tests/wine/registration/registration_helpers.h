#pragma once
// What every test that registers for real under Wine needs, whether it calls the commands
// itself or drives Movarin's windows: the prefix's system folder and the test COM
// library's registry key put back as they were, and waiting for the processes the shell
// started (cmd, regsvr32, the helpers), which the tests hold no handle of.
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "tests/e2e/driver/wait.h"

namespace movarin::registration::wine_test {

// A file of the prefix's system folder, put back as it was at the end (removed when it
// did not exist).
class SystemFolderFile {
 public:
  explicit SystemFolderFile(const std::string& name);
  ~SystemFolderFile();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::optional<std::string> original_;
};

std::string SystemFolder();
// The path the test library wrote as its server when it was registered, if it is.
std::optional<std::string> RegisteredServerPath();
bool Registered();
void RemoveRegistration();
bool SamePath(const std::string& a, const std::string& b);

// Processes of the prefix with this program file name ("cmd.exe").
int CountProcesses(const std::wstring& exe_name);
// True once none of these programs runs any more.
bool WaitForProcessesGone(std::initializer_list<const wchar_t*> exe_names,
                          e2e::milliseconds timeout = e2e::milliseconds(30000));

}  // namespace movarin::registration::wine_test
