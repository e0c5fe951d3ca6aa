#include "catalogue/command_menu.h"

#include <algorithm>

namespace movarin::catalogue {

const MenuItemInfo& ItemInfo(MenuItem item) { return kMenuItems[static_cast<std::size_t>(item)]; }

MenuAction CommandMenuModel::Click(MenuItem item) {
  const MenuItemInfo& info = ItemInfo(item);
  switch (info.kind) {
    case ItemKind::Toggle:
      SetChecked(item, !Checked(item));
      return MenuAction::None;
    case ItemKind::PairItem:
      // The code tests each item of a pair on its own, so "neither" is a real state.
      if (Checked(item)) {
        SetChecked(item, false);
      } else {
        SetChecked(*info.partner, false);
        SetChecked(item, true);
      }
      return MenuAction::None;
    case ItemKind::Command:
      switch (item) {
        case Setthedownloadpath: return MenuAction::ShowDownloadFolderDialog;
        case Searchmultidllorocxfiles: return MenuAction::ShowMultiSearchWindow;
        case UnRegisterocxordllfilename: return MenuAction::ShowUnregisterDialog;
        case Downloadfile: return MenuAction::DownloadSelectedRow;
        case Refresh: return MenuAction::ReloadCatalogue;
        default: return MenuAction::None;
      }
    default:
      return MenuAction::None;
  }
}

void CommandMenuModel::SetDownloadCaptionFor(std::string_view row_text) {
  download_caption_ = "Download (" + std::string(row_text) + ")";
}

void CommandMenuModel::LoadSwitch(settings::SettingsStore& store, MenuItem item) {
  if (auto value = store.ReadSwitch(*ItemInfo(item).store_key)) SetChecked(item, *value);
}

void CommandMenuModel::LoadOptions(settings::SettingsStore& store) {
  for (MenuItem item : {SilentYes, SilentNo, DownloadYes, DownloadNo, RegisterYes, RegisterNo,
                        Filefoundsound, Filenotfoundsound})
    LoadSwitch(store, item);
  // Fill in unset pairs with their default item.
  struct PairDefault {
    MenuItem yes, no, fallback;
  };
  for (const PairDefault& p : {PairDefault{SilentYes, SilentNo, SilentNo},
                               PairDefault{DownloadYes, DownloadNo, DownloadYes},
                               PairDefault{RegisterYes, RegisterNo, RegisterYes}}) {
    if (!Checked(p.yes) && !Checked(p.no)) SetChecked(p.fallback, true);
  }
}

void CommandMenuModel::LoadOperatingSystem(settings::SettingsStore& store) {
  LoadSwitch(store, WindowsXP);
  LoadSwitch(store, WindowsVista7);
}

void CommandMenuModel::SaveOptions(settings::SettingsStore& store) const {
  for (settings::Key key : settings::kOptionSwitchesInWriteOrder) {
    const auto it = std::find_if(kMenuItems.begin(), kMenuItems.end(),
                                 [key](const MenuItemInfo& i) { return i.store_key == key; });
    store.WriteSwitch(key, Checked(it->item));
  }
}

}  // namespace movarin::catalogue
