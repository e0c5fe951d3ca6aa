#pragma once
// The window in which the user picks the download folder. Its folder box is the live
// value of that setting: the download dialog reads it at the start of every download.
#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/window.h"
#include "programs/main/download_folder_dialog/download_folder_dialog_logic.h"
#include "settings/settings_store.h"
#include "skin/win32/skinned_controls.h"

namespace movarin::main_program {

class DownloadFolderDialog final : public movarin::win32::Window {
 public:
  explicit DownloadFolderDialog(settings::SettingsStore& store) : logic_(store) {}

  // Shows the dialog (creating and loading it if it is not loaded).
  void ShowDialog();
  // The folder box; loads the dialog hidden when it is not loaded yet.
  std::string FolderText();

 protected:
  bool OnCreate() override;
  bool OnClose() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  bool EnsureLoaded();
  void Browse();
  void StoreFolder();

  DownloadFolderDialogLogic logic_;
  movarin::win32::UniqueGdiObject font_;
  skin::win32::SkinnedControls skinned_;  // the skin and the styled buttons
};

}  // namespace movarin::main_program
