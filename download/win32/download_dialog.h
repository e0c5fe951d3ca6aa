#pragma once
// The window in which one catalogue file is downloaded, a single instance for the whole
// program. Other windows show it, fill its address box and write "1" into its start
// signal field; the download then runs inside that write.
#include <functional>
#include <memory>
#include <string>

#include "download/dialogs_layout.h"
#include "download/download_dialog_logic.h"
#include "download/win32/download_folder_dialog.h"
#include "download/win32/inet_download.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"

namespace movarin::download::win32 {

struct DownloadDialogArgs {
  DownloadFolderDialog* folder_dialog = nullptr;
  std::string server_base_url;
  // The live "Yes" mark of "Automatically register ocx or dll files when downloaded".
  std::function<bool()> auto_register_checked;
  // Fills the main window's downloaded-file fields and signals "1".
  std::function<void(const std::string& name, const std::string& path)> hand_over;
};

class DownloadDialog final : public movarin::win32::Window, private DownloadDialogHost {
 public:
  explicit DownloadDialog(DownloadDialogArgs args);
  ~DownloadDialog() override;

  // Shows the dialog modeless, creating it with its initial contents if it is not loaded.
  void ShowDialog();
  // What the callers do after showing it: the address, then "1" into the start signal
  // field, which runs the download before the write returns.
  void SetAddress(const std::string& address);
  void SetStartSignal(const std::string& text);
  // Stops a running download (the program is ending).
  void CancelDownload() { logic_.Closing(); }

 protected:
  bool OnCreate() override;
  bool OnClose() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;

 private:
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  void CloseWhenIdle();

  // DownloadDialogHost
  std::string AddressText() override { return ItemText(download_dialog::kAddressBox); }
  void SetAddressText(const std::string& text) override { SetItemText(download_dialog::kAddressBox, text); }
  std::string DownloadFolder() override;
  void ShowDownloading(bool downloading) override;
  void EnableCancel() override;
  void SetFileNameLabel(const std::string& text) override { SetItemText(download_dialog::kFileNameLabel, text); }
  void SetFolderLabel(const std::string& text) override { SetItemText(download_dialog::kFolderLabel, text); }
  std::string FileNameLabel() override { return ItemText(download_dialog::kFileNameLabel); }
  std::string FolderLabel() override { return ItemText(download_dialog::kFolderLabel); }
  void SetStartTimeToNow() override;
  void SetEndTimeToNow() override;
  void SetProgress(int value) override;
  void SetPercentLabel(const std::string& text) override { SetItemText(download_dialog::kPercentLabel, text); }
  void ShowConnectionError() override;
  bool CloseWhenDoneChecked() override;
  bool OpenFolderWhenDoneChecked() override;
  void EnableCloseTimer(bool enabled) override;
  void ExploreFolder(const std::string& folder) override;
  bool AutoRegisterChecked() override;
  void HandOverForRegistration(const std::string& name, const std::string& path) override;

  DownloadDialogArgs args_;
  InetDownload download_;
  DownloadDialogLogic logic_;
  movarin::win32::UniqueGdiObject font_;
  bool close_pending_ = false;
};

}  // namespace movarin::download::win32
