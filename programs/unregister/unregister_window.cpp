#include "programs/unregister/unregister_window.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "programs/unregister/unregister_window_layout.h"
#include "registration/messages.h"

namespace movarin::unregister_program {

bool UnregisterWindow::Create() {
  win32::WindowArgs args;
  args.class_name = kWindowClass;
  args.title = win32::Widen(registration::kProgramTitle);
  args.client_width = win32::TwipsToPixels(kClientWidth);
  args.client_height = win32::TwipsToPixels(kClientHeight);
  if (!Window::Create(args)) return false;
  if (!options_.Create(hwnd())) return false;
  platform_.SetOwner(hwnd());
  return true;
}

void UnregisterWindow::Load() { LoadUnregisterWindow(*this, platform_, store_); }

bool UnregisterWindow::OnCreate() {
  font_.reset(win32::CreateTahoma(825, /*bold=*/false));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), kSkin);
  for (const ui::ControlPlacement& p : kControls) skinned_.Add(hwnd(), p, font);
  return true;
}

void UnregisterWindow::OnDestroy() {
  // Closing the window by any means ends the program.
  PostQuitMessage(0);
}

bool UnregisterWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == kUnregisterButton) {
    UnregisterStep(*this, platform_, FileBox());
  } else if (id == kShowButton) {
    options_.ShowWindowNow();
  } else {
    return false;
  }
  return true;
}

void UnregisterWindow::HideWindow() { ShowWindow(hwnd(), SW_HIDE); }

std::string UnregisterWindow::FileBox() { return ItemText(kFileBox); }

void UnregisterWindow::SetFileBox(const std::string& text) {
  win32::SetText(GetDlgItem(hwnd(), kFileBox), win32::Widen(text));
}

registration::SilentOption UnregisterWindow::SilentToggles() { return options_.Toggles(); }
void UnregisterWindow::SetSilentToggles(registration::SilentOption toggles) { options_.SetToggles(toggles); }

void UnregisterWindow::EndProgram() {
  if (hwnd()) DestroyWindow(hwnd());
}

}  // namespace movarin::unregister_program
