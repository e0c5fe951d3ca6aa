#include "tests/e2e/driver/popup_menu.h"

#include <psapi.h>

#include <algorithm>
#include <memory>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/menu_probe.h"
#include "tests/e2e/driver/remote_memory.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"
#include "tests/e2e/driver/find.h"
#include "tests/e2e/driver/input.h"

namespace movarin::e2e {
namespace {

constexpr char kMenuClass[] = "#32768";
constexpr DWORD kRemoteThreadMs = 10000;
#ifndef MN_GETHMENU
constexpr UINT MN_GETHMENU = 0x01E1;
#endif

std::string PlainCaption(const std::string& text) {
  return StripMnemonics(text.substr(0, text.find('\t')));
}

MenuItem ToItem(UINT id, UINT type, UINT state, HMENU submenu, const wchar_t* text) {
  MenuItem item;
  item.text = win32::Narrow(text);
  item.id = id;
  item.separator = (type & MFT_SEPARATOR) != 0;
  item.checked = (state & MFS_CHECKED) != 0;
  item.grayed = (state & MFS_DISABLED) != 0;
  item.has_submenu = submenu != nullptr;
  item.submenu = submenu;
  return item;
}

HMENU MenuOf(HWND menu_window) {
  DWORD_PTR menu = 0;
  if (!SendMessageTimeoutW(menu_window, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 5000, &menu)) {
    return nullptr;
  }
  return reinterpret_cast<HMENU>(menu);
}


std::vector<MenuItem> ReadLocalMenu(HMENU menu) {
  std::vector<MenuItem> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[menu_probe::kMaxText] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = menu_probe::kMaxText - 1;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    items.push_back(ToItem(info.wID, info.fType, info.fState, info.hSubMenu, text));
  }
  return items;
}

// Runs function(parameter) on a new thread of the process and waits for it; false when the
// thread could not be started or did not end in time.
bool RunRemote(HANDLE process, LPTHREAD_START_ROUTINE function, void* parameter,
               DWORD* exit_code) {
  win32::UniqueKernelHandle thread(
      CreateRemoteThread(process, nullptr, 0, function, parameter, 0, nullptr));
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

std::vector<MenuItem> ReadRemoteMenu(HWND menu_window, HMENU menu) {
  std::vector<MenuItem> items;
  DWORD pid = 0;
  GetWindowThreadProcessId(menu_window, &pid);
  win32::UniqueKernelHandle process(OpenProcess(
      PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
          PROCESS_VM_READ | PROCESS_VM_WRITE,
      FALSE, pid));
  if (!process) return items;
  const std::wstring path = ProbePath();
  HMODULE remote_probe = RemoteProbe(process.get(), path);
  // The export's offset in the library is the same in both processes.
  win32::UniqueModule local_probe(LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
  if (!remote_probe || !local_probe) return items;
  const auto local_export = reinterpret_cast<const char*>(
      reinterpret_cast<void*>(GetProcAddress(local_probe.get(), menu_probe::kExportName)));
  if (!local_export) return items;
  const auto offset = local_export - reinterpret_cast<const char*>(local_probe.get());
  const auto remote_export = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(reinterpret_cast<char*>(remote_probe) + offset));

  RemoteMemory block_memory(menu_window, sizeof(menu_probe::Block));
  auto block = std::make_unique<menu_probe::Block>();
  block->menu = menu;
  block->count = 0;
  DWORD exit_code = 0;
  if (!block_memory.Write(0, block.get(), sizeof(menu_probe::Block)) ||
      !RunRemote(process.get(), remote_export, block_memory.address(), &exit_code) ||
      exit_code != 1 || !block_memory.Read(0, block.get(), sizeof(menu_probe::Block))) {
    return items;
  }
  const int count = std::clamp(block->count, 0, menu_probe::kMaxItems);
  for (int i = 0; i < count; ++i) {
    menu_probe::Item& item = block->items[i];
    item.text[menu_probe::kMaxText - 1] = L'\0';
    items.push_back(ToItem(item.id, item.type, item.state, item.submenu, item.text));
  }
  return items;
}
}  // namespace

HWND FindPopupMenu(DWORD process_id) {
  WindowQuery query;
  query.class_name = kMenuClass;
  query.process_id = process_id;
  return FindTopWindow(query);
}

HWND WaitForPopupMenu(DWORD process_id, milliseconds timeout) {
  WindowQuery query;
  query.class_name = kMenuClass;
  query.process_id = process_id;
  return WaitForWindow(query, timeout);
}

std::vector<MenuItem> ReadMenu(HWND window, HMENU menu) {
  if (!menu || !window) return {};
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId()) return ReadLocalMenu(menu);
  return ReadRemoteMenu(window, menu);
}

std::vector<MenuItem> PopupMenuItems(HWND menu_window) {
  return ReadMenu(menu_window, MenuOf(menu_window));
}

bool ChoosePopupMenuPath(HWND menu_window, const std::vector<std::string>& path) {
  if (path.empty()) return false;
  // Plan every step first: nothing is pressed unless the whole path exists.
  std::vector<int> downs;
  auto items = PopupMenuItems(menu_window);
  for (std::size_t level = 0; level < path.size(); ++level) {
    // Home selects the first item; Down then moves over every item but separators
    // (grayed ones are selectable, just not choosable).
    int position = -1;
    const MenuItem* found = nullptr;
    for (const MenuItem& item : items) {
      if (item.separator) continue;
      ++position;
      if (PlainCaption(item.text) == PlainCaption(path[level])) {
        found = &item;
        break;
      }
    }
    const bool last = level + 1 == path.size();
    if (!found || found->grayed || (!last && !found->has_submenu)) return false;
    downs.push_back(position);
    if (!last) items = ReadMenu(menu_window, found->submenu);
  }
  for (std::size_t level = 0; level < downs.size(); ++level) {
    PressKey(menu_window, VK_HOME);
    for (int i = 0; i < downs[level]; ++i) PressKey(menu_window, VK_DOWN);
    // Right opens the selected item's submenu; the keys that follow go to it.
    PressKey(menu_window, level + 1 < downs.size() ? VK_RIGHT : VK_RETURN);
  }
  return true;
}

bool ChoosePopupMenuItem(HWND menu_window, const std::string& caption) {
  return ChoosePopupMenuPath(menu_window, {caption});
}

void ClosePopupMenu(HWND menu_window) { PressKey(menu_window, VK_ESCAPE); }

}  // namespace movarin::e2e
