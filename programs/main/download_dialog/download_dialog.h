#pragma once
// The window in which one catalogue file is downloaded, a single instance for the whole
// program. Other windows call DownloadAddress; the address box and the start signal
// field stay as the adapter for windows that drive the dialog by writing "1" there (the
// download then runs inside that write).
#include <functional>
#include <memory>
#include <string>

#include "download/win32/inet_download.h"
#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/download_dialog/download_dialog_layout.h"
#include "programs/main/download_dialog/download_dialog_logic.h"
#include "programs/main/download_folder_dialog/download_folder_dialog.h"
#include "programs/main/program_state.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

struct DownloadDialogArgs {
  DownloadFolderDialog* folder_dialog = nullptr;
  ProgramState* state = nullptr;
  std::string server_base_url;
  // The live "Yes" mark of "Automatically register ocx or dll files when downloaded".
  std::function<bool()> auto_register_checked;
  // A completed download to register (the main window's RegisterDownloadedFile).
  std::function<void(const std::string& name, const std::string& path)> register_file;
};

class DownloadDialog final : public movarin::win32::Window, private DownloadDialogHost {
 public:
  explicit DownloadDialog(DownloadDialogArgs args);
  ~DownloadDialog() override;

  // Shows the dialog modeless, creating it with its initial contents if it is not loaded.
  void ShowDialog();
  // Shows the dialog, puts `address` into its address box and downloads it, checking the
  // file against `digest` (a catalogue entry's) before it is put in place; returns when
  // the download has ended.
  void DownloadAddress(const std::string& address, const download::ExpectedDigest& digest = {});
  // Stops a running download (the program is ending).
  void CancelDownload() { logic_.Closing(); }

 protected:
  bool OnCreate() override;
  bool OnClose() override;
  void OnDestroy() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;

 private:
  void CloseWhenIdle();

  // DownloadDialogHost
  std::string AddressText() override { return ItemText(download_dialog::kAddressBox); }
  void SetAddressText(const std::string& text) override { SetItemText(download_dialog::kAddressBox, text); }
  std::string DownloadFolder() override;
  void ShowDownloading(bool downloading) override;
  void EnableCancel() override;
  void SetFileNameLabel(const std::string& text) override { SetItemText(download_dialog::kFileNameLabel, text); }
  void SetFolderLabel(const std::string& text) override { SetItemText(download_dialog::kFolderLabel, text); }
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
  void RegisterDownloadedFile(const std::string& name, const std::string& path) override;

  DownloadDialogArgs args_;
  download::win32::InetDownload download_;
  DownloadDialogLogic logic_;
  movarin::win32::UniqueGdiObject font_;
  skin::win32::SkinnedControls skinned_;  // the skin, the styled buttons and the bar
  bool close_pending_ = false;
};

}  // namespace movarin::main_program
