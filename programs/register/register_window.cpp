#include "programs/register/register_window.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "programs/register/register_window_layout.h"
#include "registration/messages.h"

namespace movarin::register_program {

RegisterWindow::RegisterWindow(settings::SettingsStore& store, std::string own_folder)
    : logic_(*this, platform_, store, std::move(own_folder)) {}

bool RegisterWindow::Create() {
  win32::WindowArgs args;
  args.class_name = kWindowClass;
  args.title = win32::Widen(registration::kProgramTitle);
  args.client_width = win32::TwipsToPixels(kClientWidth);
  args.client_height = win32::TwipsToPixels(kClientHeight);
  // Never shown: the window hides itself at load, so it is simply created hidden.
  if (!Window::Create(args)) return false;
  if (!options_.Create(hwnd())) return false;
  platform_.SetOwner(hwnd());
  EnableTimer(kStepTimer, kStepIntervalMs, true);
  return true;
}

bool RegisterWindow::OnCreate() {
  font_.reset(win32::CreateTahoma(825, /*bold=*/false));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), kSkin);
  for (const ui::ControlPlacement& p : kControls) skinned_.Add(hwnd(), p, font);
  return true;
}

void RegisterWindow::OnDestroy() {
  // Closing the window by any means ends the program.
  PostQuitMessage(0);
}

bool RegisterWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == kRegisterButton) {
    logic_.RegisterButtonPressed();
  } else if (id == kShowButton) {
    options_.ShowWindowNow();
  } else {
    return false;
  }
  return true;
}

void RegisterWindow::OnTimer(UINT_PTR id) {
  if (id != kStepTimer) return;
  // A message box of a step runs its own message loop: the timer waits meanwhile, so the
  // run cannot end under the box.
  EnableTimer(kStepTimer, kStepIntervalMs, false);
  logic_.Tick();
  if (!logic_.closed()) EnableTimer(kStepTimer, kStepIntervalMs, true);
}

std::string RegisterWindow::ControlText(int id) { return ItemText(id); }

void RegisterWindow::SetControlText(int id, const std::string& text) {
  win32::SetText(GetDlgItem(hwnd(), id), win32::Widen(text));
}

void RegisterWindow::SetTickCaption(const std::string& text) { SetControlText(kTickLabel, text); }
std::string RegisterWindow::PathField() { return ControlText(kPathField); }
void RegisterWindow::SetPathField(const std::string& text) { SetControlText(kPathField, text); }
std::string RegisterWindow::NameField() { return ControlText(kNameField); }
void RegisterWindow::SetNameField(const std::string& text) { SetControlText(kNameField, text); }
registration::SilentOption RegisterWindow::SilentToggles() { return options_.Toggles(); }
void RegisterWindow::SetSilentToggles(registration::SilentOption toggles) { options_.SetToggles(toggles); }

void RegisterWindow::CloseWindow() { DestroyWindow(hwnd()); }

}  // namespace movarin::register_program
