#include "tests/e2e/driver/popup_menu.h"

#include <algorithm>
#include <memory>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/menu_probe.h"
#include "tests/e2e/driver/probe_call.h"
#include "tests/e2e/driver/find.h"
#include "tests/e2e/driver/input.h"

namespace movarin::e2e {
namespace {

constexpr char kMenuClass[] = "#32768";
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

std::vector<MenuItem> ReadRemoteMenu(HWND menu_window, HMENU menu) {
  std::vector<MenuItem> items;
  auto block = std::make_unique<menu_probe::Block>();
  block->menu = menu;
  block->count = 0;
  if (!CallProbe(menu_window, menu_probe::kExportName, block.get(), sizeof(menu_probe::Block))) return items;
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
