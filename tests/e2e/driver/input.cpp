#include "tests/e2e/driver/input.h"

#include "platform/win32/text.h"

namespace movarin::e2e {
namespace {

LPARAM Point(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// lParam of a key message: repeat count 1, the scan code, and for key-up the previous
// state and transition bits.
LPARAM KeyBits(UINT virtual_key, bool up) {
  const UINT scan = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  LPARAM bits = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (up) bits |= (1u << 30) | (1u << 31);
  return bits;
}

}  // namespace

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void ClickAt(HWND window, int x, int y, MouseButton button) {
  const LPARAM at = Point(x, y);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  if (button == MouseButton::kLeft) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
  } else {
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(window, WM_RBUTTONUP, 0, at);
  }
}

void ClickCenter(HWND window, MouseButton button) {
  RECT r{};
  GetClientRect(window, &r);
  ClickAt(window, (r.right - r.left) / 2, (r.bottom - r.top) / 2, button);
}

void SystemClickAt(HWND window, int x, int y, MouseButton button) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  BringToFront(window);
  SetCursorPos(at.x, at.y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = button == MouseButton::kLeft ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
  inputs[1].mi.dwFlags = button == MouseButton::kLeft ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

void MovePointer(POINT to, DWORD buttons) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  // Absolute coordinates of the input queue: 0..65535 across the screen.
  in.mi.dx = MulDiv(to.x, 65535, w - 1);
  in.mi.dy = MulDiv(to.y, 65535, h - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &in, sizeof in);
}

void PressLeft(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

void TypeKey(WORD key) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

POINT ScreenPoint(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return p;
}

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  return SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
         state == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0,
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

void DoubleClickAt(HWND window, int x, int y) {
  const LPARAM at = Point(x, y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
  PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

void PressKey(HWND window, UINT virtual_key) {
  PostMessageW(window, WM_KEYDOWN, virtual_key, KeyBits(virtual_key, false));
  PostMessageW(window, WM_KEYUP, virtual_key, KeyBits(virtual_key, true));
}

void PressEnter(HWND window) { PressKey(window, VK_RETURN); }

void TypeText(HWND window, const std::string& text) {
  for (wchar_t c : win32::Widen(text)) PostMessageW(window, WM_CHAR, c, 1);
}

void SendCommand(HWND window, WORD id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void BringToFront(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  if (!top) top = window;
  ShowWindow(top, SW_SHOWNORMAL);
  SetForegroundWindow(top);
  BringWindowToTop(top);
  SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

}  // namespace movarin::e2e
