#include "skin/win32/block_progress_bar_control.h"

#include <commctrl.h>

#include "skin/win32/gdi_canvas.h"

namespace movarin::skin::win32 {

bool BlockProgressBarControl::Create(const BlockProgressBarArgs& args) {
  movarin::win32::WindowArgs w;
  w.class_name = L"MovarinBlockProgressBar";
  w.title = L"";
  w.style = WS_CHILD | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0);
  w.owner = args.parent;
  w.child_id = args.id;
  w.x = args.x;
  w.y = args.y;
  w.width = args.width;
  w.height = args.height;
  w.background = nullptr;
  if (!Window::Create(w)) return false;
  DrawProgressBar();
  return true;
}

void BlockProgressBarControl::SetValue(int value) {
  p_.value = value;
  DrawProgressBar();
}

void BlockProgressBarControl::SetShowText(bool show) {
  p_.show_text = show;
  DrawProgressBar();
}

void BlockProgressBarControl::OnSize(int, int) { DrawProgressBar(); }

void BlockProgressBarControl::DrawProgressBar() {
  if (!hwnd()) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  ++draws_;
  if (surface_.Resize(client.right, client.bottom)) {
    GdiCanvas canvas(surface_.dc(), surface_.Width(), surface_.Height());
    DrawBlockProgressBar(canvas, p_);
    if (HDC dc = GetDC(hwnd())) {
      surface_.CopyTo(dc);
      ReleaseDC(hwnd(), dc);
    }
    ValidateRect(hwnd(), nullptr);
    return;
  }
  // Without an off-screen image: straight onto the control.
  if (HDC dc = GetDC(hwnd())) {
    GdiCanvas canvas(dc, client.right, client.bottom);
    DrawBlockProgressBar(canvas, p_);
    ReleaseDC(hwnd(), dc);
  }
}

LRESULT BlockProgressBarControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd(), &ps);
      if (surface_.Ready())
        surface_.CopyTo(dc, ps.rcPaint);
      EndPaint(hwnd(), &ps);
      if (!surface_.Ready()) DrawProgressBar();
      return 0;
    }
    case PBM_SETPOS: {
      const int previous = p_.value;
      SetValue(static_cast<int>(wp));
      return previous;
    }
    case PBM_GETPOS:
      return p_.value;
    case PBM_DELTAPOS: {
      const int previous = p_.value;
      SetValue(previous + static_cast<int>(wp));
      return previous;
    }
    case PBM_SETRANGE: {
      const LRESULT previous = MAKELRESULT(p_.min, p_.max);
      SetRange(LOWORD(lp), HIWORD(lp));
      return previous;
    }
    case PBM_SETRANGE32: {
      const LRESULT previous = MAKELRESULT(p_.min, p_.max);
      SetRange(static_cast<int>(wp), static_cast<int>(lp));
      return previous;
    }
    case PBM_GETRANGE: {
      if (auto* range = reinterpret_cast<PBRANGE*>(lp)) range->iLow = p_.min, range->iHigh = p_.max;
      return wp ? p_.min : p_.max;
    }
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace movarin::skin::win32
