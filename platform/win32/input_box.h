#pragma once
// A modal input box: a prompt, OK and Cancel, and one line of text. Windows has no
// such dialog of its own; this one is built from an in-memory template, so it needs no
// resource file and looks like any standard dialog.
#include <windows.h>

#include <optional>
#include <string>

namespace movarin::win32 {

struct InputBoxArgs {
  HWND owner = nullptr;  // disabled while the box is open
  std::wstring prompt;
  std::wstring title;
  std::wstring default_text;  // shown selected, so typing replaces it
};

// The controls' ids, for whoever drives the box from outside (tests, the end-to-end
// driver). OK and Cancel are IDOK and IDCANCEL.
inline constexpr int kInputBoxPromptId = 101;
inline constexpr int kInputBoxTextId = 102;

// The text when the user confirms with OK or Enter (possibly empty); nullopt after
// Cancel, Escape or the close box.
std::optional<std::wstring> ShowInputBox(const InputBoxArgs& args);

}  // namespace movarin::win32
