#pragma once
// Message boxes (and other #32770 dialogs) of the program under test.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/wait.h"

namespace movarin::e2e {

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string title;
  std::string text;                  // the message (texts of the box's labels, joined by "\n")
  std::vector<std::string> buttons;  // captions without '&' marks, in order
};

// A visible dialog box of the process (0: of any process).
std::optional<MessageBoxInfo> FindMessageBox(DWORD process_id = 0);
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD process_id = 0,
                                                milliseconds timeout = kDefaultTimeout);
// Reads a dialog box that is known to be there.
MessageBoxInfo ReadMessageBox(HWND box);
// The standard icon a box shows: information (also "asterisk"), warning ("exclamation"),
// error (also "critical stop" and "hand"), question; kOther for any other picture.
enum class MessageBoxIcon { kNone, kInformation, kWarning, kError, kQuestion, kOther, kUnreadable };
// Asks the box's own process which icon it shows (probe_call.h); kUnreadable when it
// cannot be asked.
MessageBoxIcon ReadMessageBoxIcon(HWND box);
const char* IconName(MessageBoxIcon icon);
// Presses the button with this caption ("Yes", "&Yes" and "yes" all match "&Yes");
// false when the box has no such button.
bool PressMessageBoxButton(HWND box, const std::string& caption);

}  // namespace movarin::e2e
