#include "skin/win32/styled_button_control.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/win32/program_folder.h"
#include "platform/win32/text.h"
#include "skin/win32/gdi_canvas.h"

namespace movarin::skin::win32 {
namespace {

constexpr UINT_PTR kMouseTimer = 1;
constexpr UINT kMouseIntervalMs = 50;
// The surface's own colour, seen only along the right and bottom edge of some looks.
constexpr Colour kSurface = Rgb(240, 240, 240);

int ShiftState() {
  return ((GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0) | ((GetKeyState(VK_CONTROL) & 0x8000) ? 2 : 0) |
         ((GetKeyState(VK_MENU) & 0x8000) ? 4 : 0);
}

int ButtonsOf(WPARAM wp) {
  return ((wp & MK_LBUTTON) ? kLeftButton : 0) | ((wp & MK_RBUTTON) ? kRightButton : 0) |
         ((wp & MK_MBUTTON) ? kMiddleButton : 0);
}

}  // namespace

std::string PicturePath(std::string_view file_name) {
  return movarin::win32::ProgramFolder() + "\\Images\\" + std::string(file_name);
}

ProgramInfo RunningProgram() {
  ProgramInfo info;
  wchar_t path[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, path, MAX_PATH)) {
    std::wstring name = path;
    name = name.substr(name.find_last_of(L"\\/") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.resize(dot);
    info.executable_name = movarin::win32::Narrow(name);
  }
  return info;
}

StyledButtonControl::StyledButtonControl() = default;

StyledButtonControl::~StyledButtonControl() {
  if (button_) button_->Reset();
}

bool StyledButtonControl::Create(const StyledButtonArgs& args) {
  events_ = args.events;
  HFONT font = args.font;
  const int dpi = movarin::win32::ScreenDpi();
  StyledButtonHost& host = *this;
  button_ = std::make_unique<StyledButton>(host, args.caption,
                                           font ? FontFromHandle(font, dpi) : Font{}, RunningProgram());
  button_->Load(args.design.Entries().empty() ? StandardButtonDesign(args.caption, args.picture) : args.design);

  movarin::win32::WindowArgs w;
  w.class_name = L"MovarinStyledButton";
  w.title = movarin::win32::Widen(button_->Properties().caption);
  w.style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0) |
            (button_->Properties().enabled && args.enabled ? 0 : WS_DISABLED);
  w.owner = args.parent;
  w.child_id = args.id;
  w.x = args.x;
  w.y = args.y;
  w.width = args.width;
  w.height = args.height;
  w.background = nullptr;
  if (!Window::Create(w)) return false;
  if (!args.enabled) button_->SetEnabled(false);
  ready_ = true;
  // The mouse timer runs for the button's whole life.
  EnableTimer(kMouseTimer, kMouseIntervalMs, true);
  Draw();
  return true;
}

void StyledButtonControl::Draw() {
  if (!ready_ || !hwnd()) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (!surface_.Resize(client.right, client.bottom)) return;
  GdiCanvas canvas(surface_.dc(), surface_.Width(), surface_.Height());
  canvas.FillRect({0, 0, surface_.Width(), surface_.Height()}, kSurface);
  const Region region = button_->Draw(canvas);
  ++draws_;
  if (!region_set_ || !(region == region_)) {
    region_ = region;
    region_set_ = true;
    SetWindowRgn(hwnd(), CreateRegion(region), FALSE);
  }
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void StyledButtonControl::Redraw() { Draw(); }

void StyledButtonControl::PropertyChanged(std::string_view name) {
  if (!hwnd()) return;
  // Keep what a standard button's owner can read in step with the properties.
  if (SameKey(name, "Caption")) {
    DefWindowProcW(hwnd(), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(movarin::win32::Widen(button_->Properties().caption).c_str()));
  } else if (SameKey(name, "Enabled")) {
    const bool enabled = button_->Properties().enabled;
    if ((IsWindowEnabled(hwnd()) != FALSE) != enabled) EnableWindow(hwnd(), enabled);
  }
}

void StyledButtonControl::ShowMessage(const ButtonMessage& m) {
  MessageBoxW(GetParent(hwnd()) ? GetParent(hwnd()) : hwnd(), movarin::win32::Widen(m.text).c_str(),
              movarin::win32::Widen(m.title).c_str(),
              MB_OK | (m.icon == ButtonMessage::Icon::Error ? MB_ICONERROR : 0));
}

void StyledButtonControl::Click() {
  // As a standard push button tells its parent.
  SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd()));
  if (events_) events_->Click();
}
void StyledButtonControl::DoubleClick() {
  if (events_) events_->DoubleClick();
}
void StyledButtonControl::KeyDown(int k, int s) {
  if (events_) events_->KeyDown(k, s);
}
void StyledButtonControl::KeyPress(int k) {
  if (events_) events_->KeyPress(k);
}
void StyledButtonControl::KeyUp(int k, int s) {
  if (events_) events_->KeyUp(k, s);
}
void StyledButtonControl::MouseDown(int b, int s, int x, int y) {
  if (events_) events_->MouseDown(b, s, x, y);
}
void StyledButtonControl::MouseMove(int b, int s, int x, int y) {
  if (events_) events_->MouseMove(b, s, x, y);
}
void StyledButtonControl::MouseUp(int b, int s, int x, int y) {
  if (events_) events_->MouseUp(b, s, x, y);
}
void StyledButtonControl::MouseEnters(int x, int y) {
  if (events_) events_->MouseEnters(x, y);
}
void StyledButtonControl::MouseLeaves(int x, int y) {
  if (events_) events_->MouseLeaves(x, y);
}

void StyledButtonControl::OnTimer(UINT_PTR id) {
  if (id != kMouseTimer) return;
  EnableTimer(kMouseTimer, kMouseIntervalMs, false);
  POINT cursor{};
  GetCursorPos(&cursor);
  button_->OnMouseTimer(WindowFromPoint(cursor) == hwnd(), {cursor.x, cursor.y});
  if (hwnd()) EnableTimer(kMouseTimer, kMouseIntervalMs, true);
}

void StyledButtonControl::OnSize(int, int) { Draw(); }

void StyledButtonControl::Mouse(UINT msg, WPARAM wp, LPARAM lp) {
  const Point at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  const int shift = ShiftState();
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd()) SetFocus(hwnd());
      SetCapture(hwnd());
      // The release after a double click's second press is no click of its own.
      left_down_ = msg == WM_LBUTTONDOWN;
      button_->OnMouseDown(kLeftButton, shift, at);
      if (msg == WM_LBUTTONDBLCLK) button_->OnDoubleClick();
      break;
    case WM_RBUTTONDOWN: button_->OnMouseDown(kRightButton, shift, at); break;
    case WM_MBUTTONDOWN: button_->OnMouseDown(kMiddleButton, shift, at); break;
    case WM_LBUTTONUP: {
      const bool was_down = std::exchange(left_down_, false);
      if (GetCapture() == hwnd()) ReleaseCapture();
      button_->OnMouseUp(kLeftButton, shift, at);
      RECT client{};
      GetClientRect(hwnd(), &client);
      // A click: pressed and released on the button.
      if (was_down && PtInRect(&client, POINT{at.x, at.y})) button_->OnClick();
      break;
    }
    case WM_RBUTTONUP: button_->OnMouseUp(kRightButton, shift, at); break;
    case WM_MBUTTONUP: button_->OnMouseUp(kMiddleButton, shift, at); break;
    case WM_MOUSEMOVE: button_->OnMouseMove(ButtonsOf(wp), shift, at); break;
  }
}

LRESULT StyledButtonControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      if (surface_.Ready()) surface_.CopyTo(dc, ps.rcPaint);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_GETDLGCODE: {
      // Enter goes to the button itself (a dialog loop would take it for the default
      // button otherwise); everything else as for a push button.
      LRESULT code = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      if (const MSG* m = reinterpret_cast<const MSG*>(lp);
          m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
      Mouse(msg, wp, lp);
      return 0;
    case WM_RBUTTONDBLCLK:
      Mouse(WM_RBUTTONDOWN, wp, lp);
      return 0;
    case WM_KEYDOWN:
      button_->OnKeyDown(static_cast<int>(wp), ShiftState());
      return 0;
    case WM_KEYUP:
      button_->OnKeyUp(static_cast<int>(wp), ShiftState());
      return 0;
    case WM_CHAR:
      button_->OnKeyPress(static_cast<int>(wp));
      return 0;
    case WM_SETFOCUS:
      button_->OnFocus(true);
      return 0;
    case WM_KILLFOCUS:
      button_->OnFocus(false);
      return 0;
    case WM_CAPTURECHANGED:
      left_down_ = false;
      return 0;
    case WM_ENABLE:
      if (button_->Properties().enabled != (wp != 0)) button_->SetEnabled(wp != 0);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(hwnd(), msg, wp, lp);
      const auto* text = reinterpret_cast<const wchar_t*>(lp);
      const std::string caption = text ? movarin::win32::Narrow(text) : std::string();
      if (caption != button_->Properties().caption) button_->SetCaption(caption);
      return result;
    }
    case WM_SETFONT:
      button_->SetFont(FontFromHandle(reinterpret_cast<HFONT>(wp), movarin::win32::ScreenDpi()));
      return 0;
    case BM_CLICK:
      // What a standard button does when told to click: the click, while enabled.
      button_->OnClick();
      return 0;
    case WM_DESTROY:
      EnableTimer(kMouseTimer, 0, false);
      button_->Reset();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace movarin::skin::win32
