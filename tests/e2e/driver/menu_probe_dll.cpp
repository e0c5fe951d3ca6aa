// The probe library loaded into a program under test: reads one of its menus, or names
// one of its icons, into a block the driver has placed in the program's memory.
#include "tests/e2e/driver/menu_probe.h"

namespace probe = movarin::e2e::menu_probe;

extern "C" __declspec(dllexport) DWORD WINAPI MovarinReadMenu(void* parameter) {
  auto* block = static_cast<probe::Block*>(parameter);
  const int count = GetMenuItemCount(block->menu);
  if (count < 0) {
    block->count = -1;
    return 0;
  }
  int stored = 0;
  for (int i = 0; i < count && stored < probe::kMaxItems; ++i) {
    probe::Item& item = block->items[stored];
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = item.text;
    info.cch = probe::kMaxText - 1;
    item.text[0] = L'\0';
    if (!GetMenuItemInfoW(block->menu, static_cast<UINT>(i), TRUE, &info)) continue;
    item.text[probe::kMaxText - 1] = L'\0';
    item.id = info.wID;
    item.type = info.fType;
    item.state = info.fState;
    item.submenu = info.hSubMenu;
    ++stored;
  }
  block->count = stored;
  return 1;
}

extern "C" __declspec(dllexport) DWORD WINAPI MovarinReadIcon(void* parameter) {
  auto* block = static_cast<probe::IconBlock*>(parameter);
  struct Standard {
    LPCWSTR id;
    probe::IconKind kind;
  };
  const Standard standard[] = {{IDI_INFORMATION, probe::kInformationIcon},
                               {IDI_WARNING, probe::kWarningIcon},
                               {IDI_ERROR, probe::kErrorIcon},
                               {IDI_QUESTION, probe::kQuestionIcon}};
  block->kind = block->icon ? probe::kOtherIcon : probe::kNoIcon;
  for (const Standard& s : standard) {
    if (block->icon && LoadIconW(nullptr, s.id) == block->icon) block->kind = s.kind;
  }
  return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
