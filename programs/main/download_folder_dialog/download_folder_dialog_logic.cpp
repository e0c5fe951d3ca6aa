#include "programs/main/download_folder_dialog/download_folder_dialog_logic.h"

namespace movarin::main_program {

std::string DownloadFolderDialogLogic::InitialFolder() const {
  return store_.Read(settings::Key::kDownloadPath);
}

void DownloadFolderDialogLogic::StoreFolder(const std::string& typed) {
  store_.Write(settings::Key::kDownloadPath, typed);
}

}  // namespace movarin::main_program
