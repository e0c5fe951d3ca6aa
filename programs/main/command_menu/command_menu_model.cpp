#include "programs/main/command_menu/command_menu_model.h"

#include <algorithm>

namespace movarin::main_program {

const MenuItemInfo& ItemInfo(MenuItem item) { return kMenuItems[static_cast<std::size_t>(item)]; }

MenuAction CommandMenuModel::Click(MenuItem item) {
  const MenuItemInfo& info = ItemInfo(item);
  switch (info.kind) {
    case ItemKind::kToggle:
      SetChecked(item, !Checked(item));
      return MenuAction::kNone;
    case ItemKind::kPairItem:
      // The code tests each item of a pair on its own, so "neither" is a real state.
      if (Checked(item)) {
        SetChecked(item, false);
      } else {
        SetChecked(*info.partner, false);
        SetChecked(item, true);
      }
      return MenuAction::kNone;
    case ItemKind::kCommand:
      switch (item) {
        case MenuItem::kSetDownloadPath: return MenuAction::kShowDownloadFolderDialog;
        case MenuItem::kSearchMultipleFiles: return MenuAction::kShowMultiSearchWindow;
        case MenuItem::kUnregisterFile: return MenuAction::kShowUnregisterDialog;
        case MenuItem::kDownload: return MenuAction::kDownloadSelectedRow;
        case MenuItem::kRefresh: return MenuAction::kReloadCatalogue;
        default: return MenuAction::kNone;
      }
    default:
      return MenuAction::kNone;
  }
}

void CommandMenuModel::SetDownloadCaptionFor(std::string_view row_text) {
  download_caption_ = "Download (" + std::string(row_text) + ")";
}

void CommandMenuModel::LoadSwitch(settings::SettingsStore& store, MenuItem item) {
  if (auto value = store.ReadSwitch(*ItemInfo(item).store_key)) SetChecked(item, *value);
}

void CommandMenuModel::LoadOptions(settings::SettingsStore& store) {
  using enum MenuItem;
  for (MenuItem item : {kSilentYes, kSilentNo, kAutoDownloadYes, kAutoDownloadNo, kAutoRegisterYes,
                        kAutoRegisterNo, kFileFoundSound, kFileNotFoundSound})
    LoadSwitch(store, item);
  // Fill in unset pairs with their default item.
  struct PairDefault {
    MenuItem yes, no, fallback;
  };
  for (const PairDefault& p : {PairDefault{kSilentYes, kSilentNo, kSilentNo},
                               PairDefault{kAutoDownloadYes, kAutoDownloadNo, kAutoDownloadYes},
                               PairDefault{kAutoRegisterYes, kAutoRegisterNo, kAutoRegisterYes}}) {
    if (!Checked(p.yes) && !Checked(p.no)) SetChecked(p.fallback, true);
  }
}

void CommandMenuModel::LoadOperatingSystem(settings::SettingsStore& store) {
  LoadSwitch(store, MenuItem::kWindowsXp);
  LoadSwitch(store, MenuItem::kWindowsVista7);
}

void CommandMenuModel::SaveOptions(settings::SettingsStore& store) const {
  for (settings::Key key : settings::kOptionSwitchesInWriteOrder) {
    const auto it = std::find_if(kMenuItems.begin(), kMenuItems.end(),
                                 [key](const MenuItemInfo& i) { return i.store_key == key; });
    store.WriteSwitch(key, Checked(it->item));
  }
}

}  // namespace movarin::main_program
