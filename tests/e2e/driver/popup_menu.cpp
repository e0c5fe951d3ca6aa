#include "tests/e2e/driver/popup_menu.h"

#include "platform/win32/text.h"
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

HMENU MenuOf(HWND menu_window) {
  DWORD_PTR menu = 0;
  if (!SendMessageTimeoutW(menu_window, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 5000, &menu)) {
    return nullptr;
  }
  return reinterpret_cast<HMENU>(menu);
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

std::vector<MenuItem> PopupMenuItems(HWND menu_window) {
  std::vector<MenuItem> items;
  HMENU menu = MenuOf(menu_window);
  if (!menu) return items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 511;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    MenuItem item;
    item.text = win32::Narrow(text);
    item.id = info.wID;
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.checked = (info.fState & MFS_CHECKED) != 0;
    item.grayed = (info.fState & MFS_DISABLED) != 0;
    item.has_submenu = info.hSubMenu != nullptr;
    items.push_back(std::move(item));
  }
  return items;
}

bool ChoosePopupMenuItem(HWND menu_window, const std::string& caption) {
  const auto items = PopupMenuItems(menu_window);
  // Down moves through the enabled, non-separator items from the top.
  int presses = 0;
  for (const MenuItem& item : items) {
    if (item.separator) continue;
    if (!item.grayed) ++presses;
    if (PlainCaption(item.text) == PlainCaption(caption)) {
      if (item.grayed) return false;
      for (int i = 0; i < presses; ++i) PressKey(menu_window, VK_DOWN);
      PressKey(menu_window, VK_RETURN);
      return true;
    }
  }
  return false;
}

void ClosePopupMenu(HWND menu_window) { PressKey(menu_window, VK_ESCAPE); }

}  // namespace movarin::e2e
