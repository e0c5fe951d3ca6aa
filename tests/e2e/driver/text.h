#pragma once
// Reading and writing window texts of another process (WM_GETTEXT / WM_SETTEXT).
#include <windows.h>

#include <string>

#include "tests/e2e/driver/wait.h"

namespace movarin::e2e {

// The window's text; empty when the window does not answer within a few seconds.
std::string GetText(HWND window);

// Sends WM_SETTEXT and waits up to wait for the receiver to finish handling it. A window
// whose change handler opens a modal box does not finish until the box is closed: the
// text is still delivered, SetText returns false after wait, and the test goes on to
// work the box. Use a short wait where that is expected.
bool SetText(HWND window, const std::string& text, milliseconds wait = kDefaultTimeout);

}  // namespace movarin::e2e
