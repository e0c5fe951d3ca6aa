#pragma once
// Popped-up menus (class #32768) of the program under test: read their items, choose one.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace movarin::e2e {

struct MenuItem {
  std::string text;  // caption as given, '&' marks and "\t" accelerator text included
  UINT id = 0;
  bool separator = false;
  bool checked = false;
  bool grayed = false;
  bool has_submenu = false;
  HMENU submenu = nullptr;  // for ReadMenu: valid in the program's process only
};

// A visible popup menu window of the process (0: of any process), or nullptr.
HWND FindPopupMenu(DWORD process_id = 0);
HWND WaitForPopupMenu(DWORD process_id = 0, milliseconds timeout = kDefaultTimeout);
// The items of a shown popup menu.
std::vector<MenuItem> PopupMenuItems(HWND menu_window);
// The items of any menu of the process that owns window: a submenu of a popup (its
// MenuItem::submenu) or a window's menu bar (GetMenu), shown or not.
std::vector<MenuItem> ReadMenu(HWND window, HMENU menu);
// Chooses the item with this caption (compared without '&' marks and accelerator text)
// the way a user would with the keyboard; false when there is no such enabled item.
bool ChoosePopupMenuItem(HWND menu_window, const std::string& caption);
// Follows captions through submenus, e.g. {"Sounds", "File found sound"}, and chooses the
// last; false (and nothing pressed) when a step is missing, grayed or opens no submenu.
bool ChoosePopupMenuPath(HWND menu_window, const std::vector<std::string>& path);
// Closes the menu without choosing (Escape).
void ClosePopupMenu(HWND menu_window);

}  // namespace movarin::e2e
