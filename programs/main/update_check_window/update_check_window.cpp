#include "programs/main/update_check_window/update_check_window.h"

#include <shellapi.h>

#include "pe/pe_version.h"
#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/text.h"
#include "programs/main/update_check_window/update_check_window_layout.h"
#include "updates/update_reply.h"

namespace movarin::main_program {

namespace uc = update_check_window;
using movarin::win32::Narrow;
using movarin::win32::Widen;

namespace {
// Runs the check once the window is on the screen.
constexpr UINT kCheckMessage = WM_APP + 0x60;
}  // namespace

std::int16_t RunningProgramVersion() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return 0;
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto version = pe::ReadFileVersionOfFile(Narrow(path));
  if (!version) return 0;
  return LocalVersionFromFileVersion(*version).value_or(0);
}

UpdateCheckWindow::UpdateCheckWindow(UpdateCheckWindowArgs args)
    : args_(std::move(args)), logic_(*this, args_.local_version) {}

UpdateCheckWindow::~UpdateCheckWindow() { fetch_.Cancel(); }

bool UpdateCheckWindow::Open() {
  if (!hwnd()) {
    movarin::win32::WindowArgs window;
    window.class_name = L"MovarinUpdateCheckWindow";
    window.title = Widen(uc::kTitle);
    window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    window.client_width = movarin::win32::TwipsToPixels(uc::kClientWidth);
    window.client_height = movarin::win32::TwipsToPixels(uc::kClientHeight);
    if (!Create(window)) return false;
  }
  Show();
  SetForegroundWindow(hwnd());
  PostMessageW(hwnd(), kCheckMessage, 0, 0);
  return true;
}

bool UpdateCheckWindow::OnCreate() {
  font_.reset(movarin::win32::CreateTahoma(975, /*bold=*/true));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), {.title = uc::kTitle, .icon = "#1"});
  for (const ui::ControlPlacement& placement : uc::kControls) {
    std::string_view picture;
    if (placement.id == uc::kCheckButton) picture = uc::kCheckPicture;
    if (placement.id == uc::kUpdateButton) picture = uc::kUpdatePicture;
    skinned_.Add(hwnd(), placement, font, picture);
  }
  return true;
}

LRESULT UpdateCheckWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCheckMessage) {
    logic_.Load();
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

bool UpdateCheckWindow::OnClose() {
  // A reply still awaited is not waited for.
  fetch_.Cancel();
  DestroyWindow(hwnd());
  return true;
}

void UpdateCheckWindow::OnDestroy() {
  fetch_.Cancel();
  logic_.Closed();
}

bool UpdateCheckWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == uc::kCheckButton) {
    logic_.Check();
  } else if (id == uc::kUpdateButton) {
    logic_.Update();
  } else {
    return false;
  }
  return true;
}

std::optional<std::string> UpdateCheckWindow::FetchReply() {
  auto fetched = fetch_.Get(args_.server_base_url + std::string(updates::kVersionReplyPath), kMaxReplyBytes);
  if (!fetched) return std::nullopt;
  return std::move(fetched->body);
}

void UpdateCheckWindow::ProcessMessagesOnce() { movarin::win32::ProcessPendingMessages(); }

void UpdateCheckWindow::SetLabel(std::string_view text) {
  movarin::win32::SetText(GetDlgItem(hwnd(), uc::kStatusLabel), Widen(text));
}

void UpdateCheckWindow::ShowDatabaseUpdate() {
  if (args_.show_database_update) args_.show_database_update();
}

void UpdateCheckWindow::CloseWindow() {
  if (hwnd()) DestroyWindow(hwnd());
}

void UpdateCheckWindow::StartUpdater() {
  const std::wstring updater = Widen(args_.program_folder + "\\" + std::string(updates::kUpdaterProgram));
  ShellExecuteW(hwnd(), L"open", updater.c_str(), nullptr, L"C:\\", SW_SHOWNORMAL);
}

void UpdateCheckWindow::EndProgram() { PostQuitMessage(0); }

}  // namespace movarin::main_program
