#pragma once
// The command menu's check marks: the live values of every option while the main
// program runs. The Windows side forwards clicks here; every decision about toggles and
// pairs is made here.
#include <bitset>
#include <string>
#include <string_view>

#include "programs/main/command_menu/command_menu_items.h"
#include "settings/settings_store.h"

namespace movarin::main_program {

// What a click asks the program to do beyond changing check marks.
enum class MenuAction {
  kNone,
  kShowDownloadFolderDialog,
  kShowMultiSearchWindow,
  kShowUnregisterDialog,
  kDownloadSelectedRow,
  kReloadCatalogue,
};

class CommandMenuModel {
 public:
  bool Checked(MenuItem item) const { return checked_[Index(item)]; }
  void SetChecked(MenuItem item, bool checked) { checked_[Index(item)] = checked; }

  // Applies a click: toggles flip, pair items follow the pair rule ("neither" allowed).
  MenuAction Click(MenuItem item);

  const std::string& DownloadCaption() const { return download_caption_; }
  // Renames the context menu's "Download" item after the row the user pressed on.
  void SetDownloadCaptionFor(std::string_view row_text);

  // Main window load: the eight switches of the three pairs and the two sound toggles
  // from the store, in their order; a value that cannot be read leaves its mark as it
  // is. Then a pair with neither item checked gets its default item.
  void LoadOptions(settings::SettingsStore& store);
  // The operating-system pair, as the choice window reads it.
  void LoadOperatingSystem(settings::SettingsStore& store);
  // Main window close: the ten option switches in their fixed order.
  void SaveOptions(settings::SettingsStore& store) const;

 private:
  static std::size_t Index(MenuItem item) { return static_cast<std::size_t>(item); }
  void LoadSwitch(settings::SettingsStore& store, MenuItem item);

  std::bitset<kMenuItemCount> checked_;
  std::string download_caption_ = "Download";
};

}  // namespace movarin::main_program
