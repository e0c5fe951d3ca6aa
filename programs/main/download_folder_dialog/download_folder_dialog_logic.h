#pragma once
// What the download folder dialog decides: its folder box starts from the settings key
// `downloadpath` and goes back there, as typed, on Save and whenever the dialog closes.
// The box is the live value of the setting: the download dialog reads it for every
// download.
#include <string>

#include "settings/settings_store.h"

namespace movarin::main_program {

class DownloadFolderDialogLogic {
 public:
  explicit DownloadFolderDialogLogic(settings::SettingsStore& store) : store_(store) {}

  // The folder box's text when the dialog loads ("C:\WINDOWS\system32" when the key is
  // absent).
  std::string InitialFolder() const;
  // Save, and every close: the box's text is stored as typed, with no trimming and no
  // check that the folder exists.
  void StoreFolder(const std::string& typed);

 private:
  settings::SettingsStore& store_;
};

}  // namespace movarin::main_program
