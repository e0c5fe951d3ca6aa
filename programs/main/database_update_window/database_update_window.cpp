#include "programs/main/database_update_window/database_update_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/control_layout.h"
#include "platform/win32/controls.h"
#include "platform/win32/text.h"
#include "platform/win32/time_of_day.h"
#include "programs/main/database_update_window/database_update_window_layout.h"

namespace movarin::main_program {

namespace du = database_update_window;
using movarin::win32::Narrow;
using movarin::win32::Widen;

namespace {
constexpr UINT_PTR kCheckTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;
constexpr UINT kCloseTimerIntervalMs = 1;
}  // namespace

DatabaseUpdateWindow::DatabaseUpdateWindow(DatabaseUpdateWindowArgs args)
    : args_(std::move(args)), logic_(*this, download_.engine(), args_.catalogue_path) {}

DatabaseUpdateWindow::~DatabaseUpdateWindow() { download_.engine().Cancel(); }

bool DatabaseUpdateWindow::Open() {
  if (!hwnd()) {
    movarin::win32::WindowArgs window;
    window.class_name = L"MovarinDatabaseUpdateWindow";
    window.title = Widen(du::kTitle);
    window.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    window.client_width = movarin::win32::TwipsToPixels(du::kClientWidth);
    window.client_height = movarin::win32::TwipsToPixels(du::kClientHeight);
    if (!Create(window)) return false;
  }
  Show();
  SetForegroundWindow(hwnd());
  return true;
}

bool DatabaseUpdateWindow::OnCreate() {
  font_.reset(movarin::win32::CreateTahoma(975, /*bold=*/true));
  const HFONT font = static_cast<HFONT>(font_.get());
  skinned_.AddSkin(hwnd(), {.title = du::kTitle, .icon = "#1"});
  for (const ui::ControlPlacement& placement : du::kControls) skinned_.Add(hwnd(), placement, font);
  // The progress bar appears when a download starts.
  ShowWindow(Item(du::kProgressBar), SW_HIDE);
  SendMessageW(Item(du::kProgressBar), PBM_SETRANGE32, 0, 100);
  const std::string catalogue_address = args_.server_base_url + std::string(updates::kCatalogueFileName);
  SetItemText(du::kAddressBox, catalogue_address);
  SetItemText(du::kRemoteAddress, catalogue_address);
  for (const std::string_view entry : du::texts::kConnectionTypes) {
    SendMessageW(Item(du::kConnectionTypeList), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Widen(entry).c_str()));
  }
  SendMessageW(Item(du::kConnectionTypeList), CB_SETCURSEL, updates::kInitialConnectionType, 0);
  UpdateProxyBoxes();
  SendMessageW(Item(du::kCloseWindowCheck), BM_SETCHECK, BST_CHECKED, 0);
  ShowDownloading(false);
  EnableTimer(kCheckTimer, updates::kCheckIntervalMs, true);
  return true;
}

bool DatabaseUpdateWindow::OnClose() {
  // Whatever runs (a size request or a download waiting on the network) ends with the
  // window; the logic then ends the program unless the start-up went on.
  DestroyWindow(hwnd());
  return true;
}

void DatabaseUpdateWindow::OnDestroy() {
  KillTimer(hwnd(), kCheckTimer);
  KillTimer(hwnd(), kCloseTimer);
  digest_fetch_.Cancel();
  logic_.Closing();
}

bool DatabaseUpdateWindow::OnCommand(int id, int code, HWND) {
  if (id == du::kConnectionTypeList) {
    if (code == CBN_SELCHANGE) UpdateProxyBoxes();
    return true;
  }
  if (code != BN_CLICKED) return false;
  if (id == du::kDownloadButton) {
    logic_.Download();
  } else if (id == du::kCancelButton) {
    logic_.CancelPressed();
  } else {
    return false;
  }
  return true;
}

void DatabaseUpdateWindow::OnTimer(UINT_PTR id) {
  if (id == kCheckTimer) {
    logic_.CheckTick();
  } else if (id == kCloseTimer) {
    logic_.CloseTimerTick();
  }
}

void DatabaseUpdateWindow::UpdateProxyBoxes() {
  const int chosen = static_cast<int>(SendMessageW(Item(du::kConnectionTypeList), CB_GETCURSEL, 0, 0));
  const bool enabled = updates::ProxyBoxesEnabled(chosen);
  for (const int id : {du::kProxyServer, du::kProxyPort}) {
    EnableWindow(Item(id), enabled);
    SendMessageW(Item(id), EM_SETREADONLY, !enabled, 0);
  }
}

ServerConnectionFields DatabaseUpdateWindow::ConnectionFields() {
  ServerConnectionFields fields;
  fields.remote_address = ItemText(du::kRemoteAddress);
  fields.remote_port = ItemText(du::kRemotePort);
  fields.remote_user = ItemText(du::kRemoteUser);
  fields.remote_password = ItemText(du::kRemotePassword);
  fields.connection_type = static_cast<int>(SendMessageW(Item(du::kConnectionTypeList), CB_GETCURSEL, 0, 0));
  fields.proxy_server = ItemText(du::kProxyServer);
  fields.proxy_port = ItemText(du::kProxyPort);
  return fields;
}

std::int64_t DatabaseUpdateWindow::LocalCatalogueSize() {
  movarin::win32::UniqueFile file(CreateFileW(Widen(args_.catalogue_path).c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return -1;
  return size.QuadPart;
}

download::RemoteFileInformation DatabaseUpdateWindow::RequestServerInformation(
    const download::InternetFileSettings& settings) {
  download::InternetFile& remote = remote_.file();
  remote.settings = settings;
  remote.RequestInformation();
  return {remote.FileExists(), remote.FileSize(), remote.LastModified()};
}

updates::CatalogueDigestAnswer DatabaseUpdateWindow::FetchCatalogueDigest(const std::string& address) {
  using Kind = updates::CatalogueDigestAnswer::Kind;
  auto fetched = digest_fetch_.Get(address, updates::kMaxCatalogueDigestBytes);
  if (!fetched) return {Kind::kFailed, {}};
  if (fetched->status == 404) return {Kind::kNotPublished, {}};
  if (fetched->status != 200) return {Kind::kFailed, {}};
  return {Kind::kAnswered, std::move(fetched->body)};
}

void DatabaseUpdateWindow::SetLocalSizeField(const std::string& text) { SetItemText(du::kLocalSizeField, text); }

void DatabaseUpdateWindow::SetRemoteSizeField(const std::string& text) { SetItemText(du::kRemoteSizeField, text); }

void DatabaseUpdateWindow::SetStatus(std::string_view text) { SetItemText(du::kStatusLabel, std::string(text)); }

void DatabaseUpdateWindow::StopCheckTimer() { EnableTimer(kCheckTimer, 0, false); }

void DatabaseUpdateWindow::ShowProgressBar() { ShowWindow(Item(du::kProgressBar), SW_SHOW); }

std::string DatabaseUpdateWindow::AddressText() { return ItemText(du::kAddressBox); }

void DatabaseUpdateWindow::SetAddressText(const std::string& text) { SetItemText(du::kAddressBox, text); }

void DatabaseUpdateWindow::SetDestinationFolderField(const std::string& text) { SetItemText(du::kFolderField, text); }

void DatabaseUpdateWindow::SetFileNameField(const std::string& text) { SetItemText(du::kFileNameField, text); }

void DatabaseUpdateWindow::SetStartTimeToNow() { SetItemText(du::kStartTimeField, movarin::win32::TimeOfDayNow()); }

void DatabaseUpdateWindow::SetEndTimeToNow() { SetItemText(du::kEndTimeField, movarin::win32::TimeOfDayNow()); }

void DatabaseUpdateWindow::ShowDownloading(bool downloading) {
  EnableWindow(Item(du::kDownloadButton), !downloading);
  EnableWindow(Item(du::kAddressBox), !downloading);
  EnableWindow(Item(du::kCancelButton), downloading);
}

void DatabaseUpdateWindow::EnableCancel() { EnableWindow(Item(du::kCancelButton), TRUE); }

void DatabaseUpdateWindow::SetProgress(int value) {
  HWND bar = Item(du::kProgressBar);
  if (static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)) != value)
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void DatabaseUpdateWindow::SetPercentageField(const std::string& text) { SetItemText(du::kPercentField, text); }

void DatabaseUpdateWindow::ShowConnectionError() {
  MessageBoxW(hwnd(), Widen(du::texts::kConnectionError).c_str(), Widen(du::texts::kNotDownloaded).c_str(),
              MB_OK | MB_ICONSTOP);
}

bool DatabaseUpdateWindow::CloseWhenDoneChecked() {
  return SendMessageW(Item(du::kCloseWindowCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DatabaseUpdateWindow::OpenFolderWhenDoneChecked() {
  return SendMessageW(Item(du::kOpenFolderCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DatabaseUpdateWindow::EnableCloseTimer(bool enabled) { EnableTimer(kCloseTimer, kCloseTimerIntervalMs, enabled); }

void DatabaseUpdateWindow::ExploreFolder(const std::string& folder) {
  ShellExecuteW(hwnd(), L"explore", Widen(folder).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void DatabaseUpdateWindow::GoOn() {
  // Out of sight first, so the next window opens alone; gone once it is there.
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
  if (args_.go_on) args_.go_on();
  if (hwnd()) DestroyWindow(hwnd());
}

void DatabaseUpdateWindow::EndProgram() { PostQuitMessage(0); }

}  // namespace movarin::main_program
