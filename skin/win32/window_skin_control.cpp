#include "skin/win32/window_skin_control.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "skin/win32/gdi_canvas.h"

namespace movarin::skin::win32 {
namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverIntervalMs = 10;
constexpr UINT_PTR kHostSubclassId = 0x534B494E;  // "SKIN"

Point CursorNow() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

}  // namespace

WindowSkinControl::~WindowSkinControl() {
  if (subclassed_ && host_ && IsWindow(host_))
    RemoveWindowSubclass(host_, &WindowSkinControl::HostProc, kHostSubclassId);
}

bool WindowSkinControl::Create(const WindowSkinArgs& args) {
  host_ = args.host;
  if (!host_) return false;
  if (args.events) events_ = args.events;
  labels_on_skin_ = args.labels_on_skin;
  skin_.SetProperties(LoadWindowSkin(args.design, args.defaults));

  RECT client{};
  GetClientRect(host_, &client);
  if (args.make_host_borderless) {
    // Borderless, yet a normal top-level window: its taskbar button stays, and the
    // system's minimise and restore keep working.
    LONG_PTR style = GetWindowLongPtrW(host_, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME);
    style |= WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (skin_.Properties().max.shown) style |= WS_MAXIMIZEBOX;
    SetWindowLongPtrW(host_, GWL_STYLE, style);
    const LONG_PTR ex = GetWindowLongPtrW(host_, GWL_EXSTYLE);
    SetWindowLongPtrW(host_, GWL_EXSTYLE,
                      (ex | WS_EX_APPWINDOW) & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE |
                                                                      WS_EX_CLIENTEDGE));
    // The client area keeps its size, so the host's layout stays where it was.
    SetWindowPos(host_, nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(host_, &client);
  }

  movarin::win32::WindowArgs w;
  w.class_name = L"MovarinWindowSkin";
  w.title = L"";
  w.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  w.owner = host_;
  w.x = 0;
  w.y = 0;
  w.width = client.right;
  w.height = client.bottom;
  w.background = nullptr;  // every pixel is ours; nothing is erased
  if (!Window::Create(w)) return false;
  // Under every other control of the host.
  SetWindowPos(hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  subclassed_ = SetWindowSubclass(host_, &WindowSkinControl::HostProc, kHostSubclassId,
                                  reinterpret_cast<DWORD_PTR>(this)) != FALSE;
  FullRedraw();
  return true;
}

LRESULT CALLBACK WindowSkinControl::HostProc(HWND host, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR data) {
  auto* self = reinterpret_cast<WindowSkinControl*>(data);
  if (msg == WM_SIZE && self->hwnd() && wp != SIZE_MINIMIZED) {
    // The skin covers the host whatever its size.
    SetWindowPos(self->hwnd(), HWND_BOTTOM, 0, 0, LOWORD(lp), HIWORD(lp), SWP_NOACTIVATE);
  } else if (msg == WM_PARENTNOTIFY && LOWORD(wp) == WM_CREATE && self->hwnd() &&
             reinterpret_cast<HWND>(lp) != self->hwnd()) {
    // A control created after the skin goes under it by default: the skin stays below
    // every other control, which sit on top of it.
    SetWindowPos(self->hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (msg == WM_CTLCOLORSTATIC) {
    if (HBRUSH brush = self->LabelBackground(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp)))
      return reinterpret_cast<LRESULT>(brush);
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(host, &WindowSkinControl::HostProc, kHostSubclassId);
    self->subclassed_ = false;
  }
  return DefSubclassProc(host, msg, wp, lp);
}

bool WindowSkinControl::SetProperty(std::string_view name, std::string_view value) {
  WindowSkinProperties p = skin_.Properties();
  if (!SetWindowSkinProperty(p, name, value)) return false;
  skin_.SetProperties(std::move(p));
  events_->PropertyChanged(name);
  FullRedraw();
  return true;
}

void WindowSkinControl::SetProperties(const WindowSkinProperties& properties) {
  skin_.SetProperties(properties);
  FullRedraw();
}

void WindowSkinControl::FullRedraw() {
  if (!hwnd()) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  if (surface_.Resize(client.right, client.bottom)) {
    GdiCanvas canvas(surface_.dc(), surface_.Width(), surface_.Height());
    const Region region = skin_.Redraw(canvas);
    ++full_redraws_;
    background_brush_.reset(CreatePatternBrush(surface_.bitmap()));
    if (!region_set_ || !(region == region_)) {
      region_ = region;
      region_set_ = true;
      SetWindowRgn(hwnd(), CreateRegion(region), FALSE);  // the window owns the region now
    }
  }
  UpdateTimer();
  InvalidateRect(hwnd(), nullptr, FALSE);
  // Labels showing the skin behind them take the new image.
  if (labels_on_skin_)
    for (HWND child = GetWindow(host_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (child != hwnd()) InvalidateRect(child, nullptr, TRUE);
}

HBRUSH WindowSkinControl::LabelBackground(HWND control, HDC dc) const {
  if (!labels_on_skin_ || !background_brush_ || !control) return nullptr;
  // Only labels and button-class controls (check boxes, frames); a bordered label (a
  // notice box) and read-only text boxes keep their own background.
  wchar_t cls[16] = {};
  GetClassNameW(control, cls, 16);
  if (lstrcmpiW(cls, L"Static") != 0 && lstrcmpiW(cls, L"Button") != 0) return nullptr;
  if (GetWindowLongPtrW(control, GWL_STYLE) & WS_BORDER) return nullptr;
  // The brush is the skin's image; its origin is moved so the control shows the part
  // of the skin under it.
  POINT origin{0, 0};
  MapWindowPoints(control, hwnd(), &origin, 1);
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(background_brush_.get());
}

void WindowSkinControl::UpdateTimer() { EnableTimer(kHoverTimer, kHoverIntervalMs, skin_.HoverTimerWanted()); }

bool WindowSkinControl::HostHasFrame() const {
  return (GetWindowLongPtrW(host_, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)) != 0;
}

Point WindowSkinControl::CursorRelative(Point cursor) const {
  RECT own{};
  GetWindowRect(hwnd(), &own);
  if (!HostHasFrame()) {
    // Borderless: the host's left plus the skin's left is where the skin is on screen.
    return {cursor.x - own.left, cursor.y - own.top};
  }
  RECT host{};
  GetWindowRect(host_, &host);
  POINT skin_origin{own.left, own.top};
  ScreenToClient(host_, &skin_origin);  // the skin's position in its host
  return RelativeCursor(cursor, {host.left, host.top}, {skin_origin.x, skin_origin.y}, true);
}

bool WindowSkinControl::CursorOnOwnWindow(Point cursor) const {
  // Outside its rectangle the cursor cannot be over the skin: no need to ask which
  // window is there.
  RECT own{};
  GetWindowRect(hwnd(), &own);
  if (!PtInRect(&own, POINT{cursor.x, cursor.y})) return false;
  return WindowFromPoint(POINT{cursor.x, cursor.y}) == hwnd();
}

bool WindowSkinControl::TrackHoverOnce() {
  const Point cursor = CursorNow();
  if (!skin_.TrackHover(CursorOnOwnWindow(cursor), CursorRelative(cursor))) return false;
  if (!surface_.Ready()) return false;
  GdiCanvas canvas(surface_.dc(), surface_.Width(), surface_.Height());
  skin_.PaintButtons(canvas);
  ++button_paints_;
  // Shown at once, the caption strip only.
  if (HDC dc = GetDC(hwnd())) {
    surface_.CopyTo(dc, RECT{0, 0, surface_.Width(), std::min(surface_.Height(), skin_.Geometry().caption_height + 1)});
    ReleaseDC(hwnd(), dc);
  }
  return true;
}

void WindowSkinControl::OnTimer(UINT_PTR id) {
  if (id == kHoverTimer) TrackHoverOnce();
}

void WindowSkinControl::OnSize(int, int) { FullRedraw(); }

LRESULT WindowSkinControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      if (surface_.Ready()) surface_.CopyTo(dc, ps.rcPaint);
      EndPaint(hwnd(), &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      RECT own{};
      GetWindowRect(hwnd(), &own);
      skin_.MouseDown(CursorNow(), own.top);
      if (msg == WM_LBUTTONDOWN) left_down_ = true;
      SetCapture(hwnd());
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (const auto delta = skin_.MouseMove(CursorNow(), HostHasFrame())) {
        RECT r{};
        GetWindowRect(host_, &r);
        SetWindowPos(host_, nullptr, r.left + delta->x, r.top + delta->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      skin_.MouseUp();
      if (GetCapture() == hwnd()) ReleaseCapture();
      // A click is a press and a release, both on the skin.
      if (!std::exchange(left_down_, false)) return 0;
      const Point cursor = CursorNow();
      switch (skin_.Click(CursorOnOwnWindow(cursor), CursorRelative(cursor))) {
        case CaptionButton::Close: events_->CloseClicked(host_); break;
        case CaptionButton::Maximise: events_->MaxClicked(host_); break;
        case CaptionButton::Minimise: events_->MinClicked(host_); break;
        case CaptionButton::None: break;
      }
      return 0;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      skin_.MouseUp();
      if (GetCapture() == hwnd()) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      skin_.MouseUp();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace movarin::skin::win32
