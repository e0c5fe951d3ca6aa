#pragma once
// Clicks and keys, posted to another process's windows so that a modal box they open
// never blocks the driver.
#include <windows.h>

#include <string>

namespace movarin::e2e {

enum class MouseButton { kLeft, kRight };

// BM_CLICK: a standard button (or any control handling it) is pressed.
void Click(HWND button);
// Button down and up at (x, y) in window's client coordinates.
void ClickAt(HWND window, int x, int y, MouseButton button = MouseButton::kLeft);
void ClickCenter(HWND window, MouseButton button = MouseButton::kLeft);
void DoubleClickAt(HWND window, int x, int y);
// WM_KEYDOWN / WM_KEYUP with the key's scan code; the target's TranslateMessage makes the
// WM_CHAR a real key press would make.
void PressKey(HWND window, UINT virtual_key);
void PressEnter(HWND window);
// WM_CHAR for each character (UTF-16 units), as typing would deliver them.
void TypeText(HWND window, const std::string& text);
// Moves the real mouse pointer to (x, y) in window's client coordinates and presses the
// button there through the system's input queue, as a user's hand would: for controls
// that track the pointer themselves. The window must be uncovered at that point.
void SystemClickAt(HWND window, int x, int y, MouseButton button = MouseButton::kLeft);
// The real pointer and keyboard through the system's input queue (SendInput), as a hand
// works them: for controls that track the pointer, the caption drag and keys that go to
// whichever control has the focus. The window concerned must be uncovered and in front.
// Moves the pointer to a point of the screen; `buttons` (MOUSEEVENTF_LEFTDOWN, ...) are
// pressed or released with the move.
void MovePointer(POINT screen_point, DWORD buttons = 0);
// Presses (true) or releases (false) the left button where the pointer is.
void PressLeft(bool down);
// Presses and releases a key; it goes to the control with the keyboard focus.
void TypeKey(WORD virtual_key);
// (x, y) in window's client coordinates as a point of the screen.
POINT ScreenPoint(HWND window, int x, int y);
// Check boxes and radio buttons (BM_GETCHECK / BM_SETCHECK, no notification sent).
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);
// WM_COMMAND(id) to window, as a menu item or an accelerator would send it.
void SendCommand(HWND window, WORD id);
// Brings the window to the front (for screenshots and keyboard focus).
void BringToFront(HWND window);

}  // namespace movarin::e2e
