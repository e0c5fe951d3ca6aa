#include "platform/win32/window.h"

#include <cmath>

#include "platform/win32/controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::win32 {

Window::~Window() {
  if (hwnd_) {
    // Unbind first so no message reaches a half-destroyed object.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::Create(const WindowArgs& args) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, args.class_name.c_str(), &wc)) {
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = args.background;
    wc.hIcon = args.icon;
    wc.lpszClassName = args.class_name.c_str();
    if (!RegisterClassExW(&wc)) return false;
  }
  int width = args.width, height = args.height;
  if (args.client_width > 0 && args.client_height > 0) {
    RECT r{0, 0, args.client_width, args.client_height};
    AdjustWindowRectEx(&r, args.style, FALSE, args.ex_style);
    width = r.right - r.left;
    height = r.bottom - r.top;
  }
  HMENU menu_or_id = (args.style & WS_CHILD)
                         ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.child_id))
                         : nullptr;
  return CreateWindowExW(args.ex_style, args.class_name.c_str(), args.title.c_str(), args.style,
                         args.x, args.y, width, height, args.owner, menu_or_id, instance,
                         this) != nullptr;
}

void Window::Show(int show_command) {
  if (!hwnd_) return;
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
}

void Window::EnableTimer(UINT_PTR id, UINT interval_ms, bool enabled) {
  if (!hwnd_) return;
  if (enabled)
    SetTimer(hwnd_, id, interval_ms, nullptr);
  else
    KillTimer(hwnd_, id);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return self->HandleMessage(msg, wp, lp);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_CLOSE:
      if (OnClose()) return 0;
      break;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lp), result)) return result;
      break;
    }
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_SIZE:
      OnSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_ACTIVATE:
      if (RestoreFocusOnActivate(wp)) return 0;
      break;
  }
  return DefaultHandling(msg, wp, lp);
}

bool Window::RestoreFocusOnActivate(WPARAM wp) {
  // As a dialog does: the focused control is remembered when the window loses
  // activation and gets the focus back when the window is activated again (the system
  // would give the focus to the window itself, where Enter and Space do nothing).
  if (LOWORD(wp) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) last_focus_ = focus;
    return false;
  }
  if (HIWORD(wp) || !last_focus_ || !IsChild(hwnd_, last_focus_) || !IsWindowEnabled(last_focus_) ||
      !IsWindowVisible(last_focus_))
    return false;
  SetFocus(last_focus_);
  return true;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

std::string Window::ItemText(int id) const { return Narrow(GetText(Item(id))); }

void Window::SetItemText(int id, std::string_view text) {
  const std::wstring wide = Widen(text);
  if (GetText(Item(id)) != wide) SetText(Item(id), wide);
}

int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * ScreenDpi() / 1440.0));
}

}  // namespace movarin::win32
