#include "registration/win32/silent_option_window.h"

#include "platform/win32/text.h"
#include "registration/messages.h"

namespace movarin::registration::win32 {

bool SilentOptionWindow::Create(HWND owner) {
  movarin::win32::WindowArgs args;
  args.class_name = kSilentOptionWindowClass;
  args.title = movarin::win32::Widen(kProgramTitle);
  args.owner = owner;
  args.client_width = movarin::win32::TwipsToPixels(3600);
  args.client_height = movarin::win32::TwipsToPixels(600);
  return Window::Create(args);
}

bool SilentOptionWindow::OnCreate() {
  HMENU bar = CreateMenu();
  silent_menu_ = CreatePopupMenu();
  if (!bar || !silent_menu_) return false;
  AppendMenuW(silent_menu_, MF_STRING, kSilentYesCommand, L"Yes");
  AppendMenuW(silent_menu_, MF_STRING, kSilentNoCommand, L"No");
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(silent_menu_), kSilentMenuCaption);
  // The window destroys its menu bar, and the bar its submenu.
  SetMenu(hwnd(), bar);
  return true;
}

void SilentOptionWindow::SetToggles(SilentOption toggles) {
  toggles_ = toggles;
  CheckMenuItem(silent_menu_, kSilentYesCommand, MF_BYCOMMAND | (toggles.yes ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(silent_menu_, kSilentNoCommand, MF_BYCOMMAND | (toggles.no ? MF_CHECKED : MF_UNCHECKED));
}

void SilentOptionWindow::ShowWindowNow() {
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool SilentOptionWindow::OnCommand(int id, int, HWND) {
  if (id == kSilentYesCommand) {
    SetToggles(ToggledYes(toggles_));
  } else if (id == kSilentNoCommand) {
    SetToggles(ToggledNo(toggles_));
  } else {
    return false;
  }
  return true;
}

bool SilentOptionWindow::OnClose() {
  ShowWindow(hwnd(), SW_HIDE);
  return true;
}

}  // namespace movarin::registration::win32
