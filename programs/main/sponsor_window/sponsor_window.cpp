#include "programs/main/sponsor_window/sponsor_window.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/text.h"
#include "programs/main/sponsor_window/sponsor_window_layout.h"

namespace movarin::main_program {

namespace sw = sponsor_window;
using movarin::win32::TwipsToPixels;
using movarin::win32::Widen;

namespace {
// The page lost activation: handled once the focus change that caused it is over.
constexpr UINT kPageDeactivatedMessage = WM_APP + 0x61;
}  // namespace

SponsorWindow::SponsorWindow(SponsorWindowArgs args)
    : args_(std::move(args)), logic_(*this, SponsorPageAddress(args_.server_base_url)) {}

SponsorWindow::~SponsorWindow() = default;

bool SponsorWindow::Open(int show_command) {
  if (!hwnd()) {
    movarin::win32::WindowArgs window;
    window.class_name = L"MovarinSponsorWindow";
    window.title = Widen(sw::kTitle);
    window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    window.client_width = TwipsToPixels(sw::kClientWidth);
    window.client_height = TwipsToPixels(sw::kClientHeight);
    if (!Create(window)) return false;
  }
  Show(show_command);
  view_.Navigate(logic_.SponsorAddress());
  return true;
}

bool SponsorWindow::OnCreate() {
  font_.reset(movarin::win32::CreateTahoma(975, /*bold=*/true));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), {.title = sw::kTitle, .icon = "#1"});
  for (const ui::ControlPlacement& placement : sw::kControls) {
    skinned_.Add(hwnd(), placement, font, placement.id == sw::kRefreshButton ? sw::kRefreshPicture : "");
  }
  pageview::win32::PageViewArgs view;
  view.parent = hwnd();
  view.x = TwipsToPixels(sw::kPageViewLeft);
  view.y = TwipsToPixels(sw::kPageViewTop);
  view.width = TwipsToPixels(sw::kPageViewWidth);
  view.height = TwipsToPixels(sw::kPageViewHeight);
  view.control_id = sw::kPageView;
  view.host = this;
  if (!view_.Create(view)) return false;
  // The view lies above the skin, like every control.
  if (auto* skin = skinned_.Skin(); skin && skin->hwnd())
    SetWindowPos(skin->hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // The page has the keyboard when the window opens.
  focused_ = view_.hwnd();
  return true;
}

LRESULT SponsorWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      // The keyboard goes back to the control that had it (the page at first).
      if (LOWORD(wp) == WA_INACTIVE) {
        if (HWND focus = GetFocus(); focus && IsChild(hwnd(), focus)) focused_ = focus;
      } else if (focused_ && IsWindow(focused_) && !HIWORD(wp)) {
        SetFocus(focused_);
        return 0;
      }
      break;
    case kPageDeactivatedMessage:
      logic_.PageDeactivated();
      return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

void SponsorWindow::PageDeactivated() {
  // Focus changes also reach the view while this window hides or is destroyed; the
  // logic ignores those. Nothing opens inside the focus change itself.
  if (hwnd() && !logic_.WentOn()) PostMessageW(hwnd(), kPageDeactivatedMessage, 0, 0);
}

void SponsorWindow::OnDestroy() { logic_.Closing(); }

bool SponsorWindow::OnCommand(int id, int code, HWND) {
  if (id == sw::kRefreshButton && code == BN_CLICKED) {
    view_.Refresh();
    return true;
  }
  return false;
}

void SponsorWindow::ShowUpdateCheck() {
  if (args_.show_update_check) args_.show_update_check();
}

void SponsorWindow::HideWindow() {
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

void SponsorWindow::EndProgram() { PostQuitMessage(0); }

}  // namespace movarin::main_program
