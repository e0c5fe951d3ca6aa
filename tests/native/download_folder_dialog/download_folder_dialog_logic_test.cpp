// The download folder dialog keeps the setting `downloadpath` exactly as the user typed it.
#include <gtest/gtest.h>

#include "programs/main/download_folder_dialog/download_folder_dialog_logic.h"

namespace movarin::main_program {
namespace {

TEST(DownloadFolderDialogLogic, StartsFromTheSettingAndStoresTheBoxAsTyped) {
  settings::MemorySettingsStore store;
  DownloadFolderDialogLogic logic(store);
  EXPECT_EQ(logic.InitialFolder(), "C:\\WINDOWS\\system32") << "the key's default";
  for (const std::string typed : {"D:\\Downloads\\", "  spaced  ", "", "Z:\\no\\such\\folder"}) {
    logic.StoreFolder(typed);
    EXPECT_EQ(store.Values().at(settings::Key::kDownloadPath), typed);
    EXPECT_EQ(logic.InitialFolder(), typed) << "the next load shows what was stored";
  }
  EXPECT_EQ(store.WriteLog().size(), 4u);
}

}  // namespace
}  // namespace movarin::main_program
