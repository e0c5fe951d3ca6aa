#include "tests/e2e/driver/probe_call.h"

#include <psapi.h>

#include <algorithm>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/menu_probe.h"
#include "tests/e2e/driver/remote_memory.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::e2e {
namespace {

constexpr DWORD kRemoteThreadMs = 10000;

// Runs function(parameter) on a new thread of the process and waits for it; false when the
// thread could not be started or did not end in time.
bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE function, void* parameter, DWORD* exit_code) {
  win32::UniqueKernelHandle thread(CreateRemoteThread(process, nullptr, 0, function, parameter, 0, nullptr));
  if (!thread || WaitForSingleObject(thread.get(), kRemoteThreadMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeThread(thread.get(), exit_code) != 0;
}

// The probe library beside the test program, or where the build tree keeps it.
std::wstring ProbePath() {
  const std::wstring beside = win32::Widen(test::ProgramDir()) + L"\\" + menu_probe::kLibraryName;
  if (GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
  const auto build = test::BuildDir();
  if (!build) return beside;
  return win32::Widen(*build) + L"\\tests\\e2e\\driver\\" + menu_probe::kLibraryName;
}

// Where the probe library lies in the other process: loaded there if needed.
HMODULE RemoteProbe(HANDLE process, const std::wstring& path) {
  auto find = [&]() -> HMODULE {
    HMODULE modules[1024];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return nullptr;
    const std::size_t n = std::min<std::size_t>(bytes / sizeof(HMODULE), 1024);
    for (std::size_t i = 0; i < n; ++i) {
      wchar_t name[MAX_PATH] = {};
      if (GetModuleBaseNameW(process, modules[i], name, MAX_PATH) &&
          lstrcmpiW(name, menu_probe::kLibraryName) == 0) {
        return modules[i];
      }
    }
    return nullptr;
  };
  if (HMODULE loaded = find()) return loaded;
  const std::size_t bytes = (path.size() + 1) * sizeof(wchar_t);
  void* remote_path = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote_path) return nullptr;
  DWORD ignored = 0;
  SIZE_T written = 0;
  // kernel32 lies at the same address in every process of a session, so our LoadLibraryW
  // is the other process's too.
  const auto load_library = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  const bool ran = WriteProcessMemory(process, remote_path, path.c_str(), bytes, &written) &&
                   written == bytes && RunRemote(process, load_library, remote_path, &ignored);
  VirtualFreeEx(process, remote_path, 0, MEM_RELEASE);
  return ran ? find() : nullptr;
}

}  // namespace

bool CallProbe(HWND window, const char* export_name, void* block, std::size_t size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  win32::UniqueKernelHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                                    PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                                FALSE, pid));
  if (!process) return false;
  const std::wstring path = ProbePath();
  HMODULE remote_probe = RemoteProbe(process.get(), path);
  // The export's offset in the library is the same in both processes.
  win32::UniqueModule local_probe(LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
  if (!remote_probe || !local_probe) return false;
  const auto local_export =
      reinterpret_cast<const char*>(reinterpret_cast<void*>(GetProcAddress(local_probe.get(), export_name)));
  if (!local_export) return false;
  const auto offset = local_export - reinterpret_cast<const char*>(local_probe.get());
  const auto remote_export = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(reinterpret_cast<char*>(remote_probe) + offset));

  RemoteMemory memory(window, size);
  DWORD exit_code = 0;
  return memory && memory.Write(0, block, size) && RunRemote(process.get(), remote_export, memory.address(), &exit_code) &&
         exit_code == 1 && memory.Read(0, block, size);
}

}  // namespace movarin::e2e
