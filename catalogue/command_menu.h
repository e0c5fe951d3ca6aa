#pragma once
// The command menu's items and their check marks: the live values of every option
// while the main program runs. The Windows side builds real menus from this table and
// forwards clicks here; every decision about toggles and pairs is made here.
#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace movarin::catalogue {

enum class MenuItem {
  // Options menu, popped up by the "Menu" label.
  Menu,
  Sounds,
  Filefoundsound,
  Filenotfoundsound,
  Registermovarinfilessilently,
  SilentYes,
  SilentNo,
  automaticallyfindanddownload,
  DownloadYes,
  DownloadNo,
  Automaticallyregisterwhendownloaded,
  RegisterYes,
  RegisterNo,
  Setthedownloadpath,
  Searchmultidllorocxfiles,
  UnRegisterocxordllfilename,
  Windowsoperatingsystem,
  WindowsVista7,
  WindowsXP,
  // The results list's context menu.
  menu2,
  Downloadfile,
  Refresh,
  // The language menu, popped up by the "Language" label.
  Menu3,
  SelectLanguage,
  English,
  Arabic,
  Count
};

enum class ItemKind {
  TopMenu,   // a menu that is popped up as a whole
  Submenu,   // opens a submenu
  Toggle,    // flips its own check mark
  PairItem,  // one of two exclusive items, "neither" allowed
  Command,   // runs an action
  NoAction,  // present, does nothing
};

struct MenuItemInfo {
  MenuItem item;
  MenuItem parent;  // the item itself for a top menu
  std::string_view caption;
  ItemKind kind;
  std::optional<MenuItem> partner;         // the other item of a pair
  std::optional<settings::Key> store_key;  // the settings key of an option item
};

inline constexpr std::size_t kMenuItemCount = static_cast<std::size_t>(MenuItem::Count);
using enum MenuItem;

// In menu order: a submenu's items follow it.
inline constexpr std::array<MenuItemInfo, kMenuItemCount> kMenuItems{{
    {Menu, Menu, "Menu", ItemKind::TopMenu, {}, {}},
    {Sounds, Menu, "Sounds", ItemKind::Submenu, {}, {}},
    {Filefoundsound, Sounds, "File found sound", ItemKind::Toggle, {}, settings::Key::kFileFoundSound},
    {Filenotfoundsound, Sounds, "File not found sound", ItemKind::Toggle, {},
     settings::Key::kFileNotFoundSound},
    {Registermovarinfilessilently, Menu, "Register ocx or dll files silently", ItemKind::Submenu, {}, {}},
    {SilentYes, Registermovarinfilessilently, "Yes", ItemKind::PairItem, SilentNo,
     settings::Key::kYesMovarinFiles1},
    {SilentNo, Registermovarinfilessilently, "No", ItemKind::PairItem, SilentYes,
     settings::Key::kNoMovarinFiles1},
    {automaticallyfindanddownload, Menu, "Automatically download ocx or dll files when found",
     ItemKind::Submenu, {}, {}},
    {DownloadYes, automaticallyfindanddownload, "Yes", ItemKind::PairItem, DownloadNo,
     settings::Key::kYesMovarinFiles2},
    {DownloadNo, automaticallyfindanddownload, "No", ItemKind::PairItem, DownloadYes,
     settings::Key::kNoMovarinFiles2},
    {Automaticallyregisterwhendownloaded, Menu,
     "Automatically register ocx or dll files when downloaded", ItemKind::Submenu, {}, {}},
    {RegisterYes, Automaticallyregisterwhendownloaded, "Yes", ItemKind::PairItem, RegisterNo,
     settings::Key::kYesMovarinFiles3},
    {RegisterNo, Automaticallyregisterwhendownloaded, "No", ItemKind::PairItem, RegisterYes,
     settings::Key::kNoMovarinFiles3},
    {Setthedownloadpath, Menu, "Set the download path", ItemKind::Command, {}, {}},
    {Searchmultidllorocxfiles, Menu, "Search multi dll or ocx files", ItemKind::Command, {}, {}},
    {UnRegisterocxordllfilename, Menu, "Unregister ocx or dll file name", ItemKind::Command, {}, {}},
    {Windowsoperatingsystem, Menu, "Windows operating system", ItemKind::Submenu, {}, {}},
    {WindowsVista7, Windowsoperatingsystem, "Windows Vista/7", ItemKind::PairItem, WindowsXP,
     settings::Key::kMovarinFilesWindowsVista7},
    {WindowsXP, Windowsoperatingsystem, "Windows XP", ItemKind::PairItem, WindowsVista7,
     settings::Key::kMovarinFilesWindowsXP},
    {menu2, menu2, "menu", ItemKind::TopMenu, {}, {}},
    {Downloadfile, menu2, "Download", ItemKind::Command, {}, {}},
    {Refresh, menu2, "Refresh", ItemKind::Command, {}, {}},
    {Menu3, Menu3, "Menu", ItemKind::TopMenu, {}, {}},
    {SelectLanguage, Menu3, "Select Language", ItemKind::Submenu, {}, {}},
    {English, SelectLanguage, "English", ItemKind::NoAction, {}, {}},
    {Arabic, SelectLanguage, "Arabic", ItemKind::NoAction, {}, {}},
}};

const MenuItemInfo& ItemInfo(MenuItem item);

// What a click asks the program to do beyond changing check marks.
enum class MenuAction {
  None,
  ShowDownloadFolderDialog,
  ShowMultiSearchWindow,
  ShowUnregisterDialog,
  DownloadSelectedRow,
  ReloadCatalogue,
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

}  // namespace movarin::catalogue
