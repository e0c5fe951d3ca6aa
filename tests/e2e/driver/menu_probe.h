#pragma once
// The probe library that the driver loads into a program under test (probe_call.h).
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

// Which of the system's standard icons an icon handle of the program is. A message box
// shows the shared icon that LoadIcon gives for IDI_INFORMATION, IDI_WARNING, IDI_ERROR or
// IDI_QUESTION, and LoadIcon gives the same handle again inside the same process only.
inline constexpr char kIconExportName[] = "MovarinReadIcon";
enum IconKind : INT { kNoIcon = 0, kInformationIcon, kWarningIcon, kErrorIcon, kQuestionIcon, kOtherIcon };

struct IconBlock {
  HICON icon;  // in
  INT kind;    // out: an IconKind
};

}  // namespace movarin::e2e::menu_probe
