#pragma once
// Menus live in the memory of the process that made them (under Wine a menu handle of
// another process reads as invalid), so the driver reads a popped-up menu from inside
// the program: it loads the small probe library movarin_menu_probe.dll into the program
// and runs the probe's export on a thread there, handing it this block.
#include <windows.h>

namespace movarin::e2e::menu_probe {

inline constexpr char kExportName[] = "MovarinReadMenu";
inline constexpr wchar_t kLibraryName[] = L"movarin_menu_probe.dll";
inline constexpr int kMaxItems = 64;
inline constexpr int kMaxText = 256;

struct Item {
  UINT id;
  UINT type;   // MFT_* bits
  UINT state;  // MFS_* bits
  HMENU submenu;  // nullptr when the item opens none
  wchar_t text[kMaxText];
};

struct Block {
  HMENU menu;  // in: the menu to read
  INT count;   // out: items read, -1 when the handle is not a menu
  Item items[kMaxItems];
};

}  // namespace movarin::e2e::menu_probe
