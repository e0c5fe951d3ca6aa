#include "tests/wine/registration/registration_helpers.h"

#include <tlhelp32.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/registry_read.h"
#include "tests/support/files.h"
#include "tools/test_com_dll/test_com_ids.h"

namespace movarin::registration::wine_test {

std::string SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return movarin::win32::Narrow(std::wstring_view(folder, n < MAX_PATH ? n : 0));
}

SystemFolderFile::SystemFolderFile(const std::string& name)
    : path_(SystemFolder() + "\\" + name), original_(movarin::test::ReadWholeFile(path_)) {}

SystemFolderFile::~SystemFolderFile() {
  if (original_) {
    movarin::test::WriteWholeFile(path_, *original_);
  } else {
    DeleteFileW(movarin::win32::Widen(path_).c_str());
  }
}

std::optional<std::string> RegisteredServerPath() {
  return e2e::ReadRegistryString(HKEY_LOCAL_MACHINE, movarin::win32::Narrow(test_com::kServerKey), "");
}

bool Registered() { return e2e::RegistryKeyExists(HKEY_LOCAL_MACHINE, movarin::win32::Narrow(test_com::kClassKey)); }

void RemoveRegistration() {
  e2e::DeleteRegistryTree(HKEY_LOCAL_MACHINE, movarin::win32::Narrow(test_com::kClassKey));
}

bool SamePath(const std::string& a, const std::string& b) {
  return CompareStringOrdinal(movarin::win32::Widen(a).c_str(), -1, movarin::win32::Widen(b).c_str(), -1,
                              TRUE) == CSTR_EQUAL;
}

int CountProcesses(const std::wstring& exe_name) {
  movarin::win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (CompareStringOrdinal(entry.szExeFile, -1, exe_name.c_str(), -1, TRUE) == CSTR_EQUAL) ++count;
  }
  return count;
}

bool WaitForProcessesGone(std::initializer_list<const wchar_t*> exe_names, e2e::milliseconds timeout) {
  return e2e::WaitUntil(
      [&] {
        return std::all_of(exe_names.begin(), exe_names.end(),
                           [](const wchar_t* name) { return CountProcesses(name) == 0; });
      },
      timeout, e2e::milliseconds(50));
}

}  // namespace movarin::registration::wine_test
