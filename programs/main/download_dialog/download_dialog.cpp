#include "programs/main/download_dialog/download_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/text.h"

namespace movarin::main_program {

namespace dd = download_dialog;
using movarin::win32::Narrow;
using movarin::win32::Widen;

namespace {
constexpr UINT_PTR kCloseTimer = 1;

std::string TimeOfDayNow() {
  wchar_t text[64] = {};
  if (GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, text, 64) <= 0) return {};
  return Narrow(text);
}
}  // namespace

DownloadDialog::DownloadDialog(DownloadDialogArgs args)
    : args_(std::move(args)),
      download_([] { movarin::win32::ProcessPendingMessages(); }),
      logic_(*this, download_.engine(), *args_.state) {}

DownloadDialog::~DownloadDialog() { logic_.Closing(); }

void DownloadDialog::ShowDialog() {
  if (!hwnd()) {
    movarin::win32::WindowArgs window;
    window.class_name = L"MovarinDownloadDialog";
    window.title = Widen(dd::kTitle);
    window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    window.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));  // the program's icon
    window.client_width = movarin::win32::TwipsToPixels(dd::kClientWidth);
    window.client_height = movarin::win32::TwipsToPixels(dd::kClientHeight);
    if (!Create(window)) return;
    close_pending_ = false;
  }
  ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool DownloadDialog::OnCreate() {
  font_.reset(movarin::win32::CreateTahoma(825, /*bold=*/false));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_ = {};  // the controls of an earlier, closed dialog are gone
  skinned_.AddSkin(hwnd(), dd::kSkin);
  for (const ui::ControlPlacement& p : dd::kControls) skinned_.Add(hwnd(), p, font);
  // The frame lies behind the labels it holds.
  SetWindowPos(Item(dd::kFrame), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetItemText(dd::kAddressBox, args_.server_base_url + std::string(dd::kInitialFile));
  SendMessageW(Item(dd::kCloseWindowCheck), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(Item(dd::kProgressBar), PBM_SETRANGE32, 0, 100);
  logic_.Load();
  return true;
}

void DownloadDialog::DownloadAddress(const std::string& address, const download::ExpectedDigest& digest) {
  ShowDialog();
  if (!hwnd()) return;
  // A caller's address replaces the box's text even while a download runs; that
  // download goes on, and the new address is not started.
  SetItemText(dd::kAddressBox, address);
  logic_.Download(address, digest);
  CloseWhenIdle();
}

bool DownloadDialog::OnCommand(int id, int code, HWND) {
  if (id == dd::kStartSignal && code == EN_CHANGE) {
    logic_.StartSignalChanged(ItemText(dd::kStartSignal),
                              [this] { SetItemText(dd::kStartSignal, ""); });
    CloseWhenIdle();
    return true;
  }
  if (code != BN_CLICKED) return false;
  if (id == dd::kDownloadButton) {
    logic_.DownloadButtonPressed();
    CloseWhenIdle();
  } else if (id == dd::kCancelButton) {
    logic_.CancelPressed();
  } else {
    return false;
  }
  return true;
}

bool DownloadDialog::OnClose() {
  logic_.Closing();
  if (logic_.Downloading()) {
    // The download ends silently; the window goes once the download has returned.
    close_pending_ = true;
    return true;
  }
  DestroyWindow(hwnd());
  return true;
}

void DownloadDialog::CloseWhenIdle() {
  if (close_pending_ && !logic_.Downloading() && hwnd()) DestroyWindow(hwnd());
}

void DownloadDialog::OnDestroy() { KillTimer(hwnd(), kCloseTimer); }

void DownloadDialog::OnTimer(UINT_PTR id) {
  if (id != kCloseTimer) return;
  KillTimer(hwnd(), kCloseTimer);
  logic_.Closing();
  SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

std::string DownloadDialog::DownloadFolder() {
  return args_.folder_dialog ? args_.folder_dialog->FolderText() : std::string();
}

void DownloadDialog::ShowDownloading(bool downloading) {
  EnableWindow(Item(dd::kDownloadButton), !downloading);
  EnableWindow(Item(dd::kAddressBox), !downloading);
  EnableWindow(Item(dd::kCancelButton), downloading);
}

void DownloadDialog::EnableCancel() { EnableWindow(Item(dd::kCancelButton), TRUE); }

void DownloadDialog::SetStartTimeToNow() { SetItemText(dd::kStartTimeLabel, TimeOfDayNow()); }

void DownloadDialog::SetEndTimeToNow() { SetItemText(dd::kEndTimeLabel, TimeOfDayNow()); }

void DownloadDialog::SetProgress(int value) {
  // Redraw only when the shown value changes.
  HWND bar = Item(dd::kProgressBar);
  if (static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)) != value)
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void DownloadDialog::ShowConnectionError() {
  MessageBoxW(hwnd(), Widen(kConnectionErrorText).c_str(), Widen(kConnectionErrorTitle).c_str(),
              MB_OK | MB_ICONSTOP);
}

bool DownloadDialog::CloseWhenDoneChecked() {
  return SendMessageW(Item(dd::kCloseWindowCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DownloadDialog::OpenFolderWhenDoneChecked() {
  return SendMessageW(Item(dd::kOpenFolderCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DownloadDialog::EnableCloseTimer(bool enabled) { EnableTimer(kCloseTimer, 1, enabled); }

void DownloadDialog::ExploreFolder(const std::string& folder) {
  ShellExecuteW(hwnd(), L"explore", Widen(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool DownloadDialog::AutoRegisterChecked() {
  return args_.auto_register_checked && args_.auto_register_checked();
}

void DownloadDialog::RegisterDownloadedFile(const std::string& name, const std::string& path) {
  if (args_.register_file) args_.register_file(name, path);
}

}  // namespace movarin::main_program
