#include "programs/main/os_choice_window/os_choice_window.h"

#include "platform/win32/control_layout.h"
#include "platform/win32/text.h"
#include "programs/main/os_choice_window/os_choice_window_layout.h"

namespace movarin::main_program {

namespace win32 = movarin::win32;
using os_choice::OperatingSystem;

namespace {

// A button's choice runs once the button has finished its click: choosing destroys this
// window, buttons included.
constexpr UINT kChooseMessage = WM_APP + 1;

MenuItem ItemOf(OperatingSystem system) {
  return system == OperatingSystem::kWindowsXp ? MenuItem::kWindowsXp : MenuItem::kWindowsVista7;
}

}  // namespace

OsChoiceWindow::OsChoiceWindow(OsChoiceWindowArgs args) : args_(std::move(args)), logic_(*this) {}

bool OsChoiceWindow::Open(int show_command) {
  win32::WindowArgs window;
  window.class_name = L"MovarinOsChoiceWindow";
  window.title = win32::Widen(os_choice::kTitle);
  window.client_width = win32::TwipsToPixels(os_choice::kClientWidthTwips);
  window.client_height = win32::TwipsToPixels(os_choice::kClientHeightTwips);
  if (!Create(window)) return false;
  // The load runs before the window is first shown; passing on closes it unseen.
  if (logic_.Load() == os_choice::LoadOutcome::kAsk) Show(show_command);
  return true;
}

bool OsChoiceWindow::OnCreate() {
  // Tahoma 8.25 points bold: the question fits its line at its width.
  font_.reset(win32::CreateTahoma(825, /*bold=*/true));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), {.title = os_choice::kTitle, .icon = "#1"});
  skinned_.Add(hwnd(), os_choice::kControls[0], font);
  skinned_.Add(hwnd(), os_choice::kControls[1], font, os_choice::kWindowsXpPicture);
  skinned_.Add(hwnd(), os_choice::kControls[2], font, os_choice::kWindowsVista7Picture);
  return true;
}

LRESULT OsChoiceWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kChooseMessage) {
    logic_.Choose(static_cast<OperatingSystem>(wp));
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

bool OsChoiceWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == os_choice::kWindowsXpButton) {
    PostMessageW(hwnd(), kChooseMessage, static_cast<WPARAM>(OperatingSystem::kWindowsXp), 0);
  } else if (id == os_choice::kWindowsVista7Button) {
    PostMessageW(hwnd(), kChooseMessage, static_cast<WPARAM>(OperatingSystem::kWindowsVista7), 0);
  } else {
    return false;
  }
  return true;
}

bool OsChoiceWindow::OnClose() {
  // The caption's close button, Alt+F4 or the system menu: no choice was made.
  logic_.CloseWithoutChoice();
  return true;
}

void OsChoiceWindow::ReadMarksFromStore() { args_.menu->LoadOperatingSystem(*args_.store); }

bool OsChoiceWindow::Checked(OperatingSystem system) { return args_.menu->Checked(ItemOf(system)); }

void OsChoiceWindow::Check(OperatingSystem system) { args_.menu->SetChecked(ItemOf(system), true); }

void OsChoiceWindow::ShowMainWindow() {
  if (args_.show_main_window) args_.show_main_window();
}

void OsChoiceWindow::CloseWindow() {
  // Destroyed directly: a close through WM_CLOSE would count as leaving without a choice.
  if (hwnd()) DestroyWindow(hwnd());
}

void OsChoiceWindow::EndProgram() { PostQuitMessage(0); }

}  // namespace movarin::main_program
