#pragma once
// The command menu's items as data: every menu, submenu and item of the options menu,
// the results list's context menu and the language menu, with their captions, kinds and
// the settings key an option item is stored under. The Windows side builds real menus
// from this table; CommandMenuModel makes every decision about it.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "settings/settings_keys.h"

namespace movarin::main_program {

enum class MenuItem {
  // The options menu ("Menu"), popped up by the "Menu" label.
  kOptionsMenu,
  kSounds,
  kFileFoundSound,
  kFileNotFoundSound,
  kRegisterSilently,  // "Register ocx or dll files silently"
  kSilentYes,
  kSilentNo,
  kAutoDownload,  // "Automatically download ocx or dll files when found"
  kAutoDownloadYes,
  kAutoDownloadNo,
  kAutoRegister,  // "Automatically register ocx or dll files when downloaded"
  kAutoRegisterYes,
  kAutoRegisterNo,
  kSetDownloadPath,
  kSearchMultipleFiles,
  kUnregisterFile,
  kOperatingSystem,
  kWindowsVista7,
  kWindowsXp,
  // The results list's context menu.
  kContextMenu,
  kDownload,
  kRefresh,
  // The language menu, popped up by the "Language" label.
  kLanguageMenu,
  kSelectLanguage,
  kEnglish,
  kArabic,
  kCount
};

enum class ItemKind {
  kTopMenu,   // a menu that is popped up as a whole
  kSubmenu,   // opens a submenu
  kToggle,    // flips its own check mark
  kPairItem,  // one of two exclusive items, "neither" allowed
  kCommand,   // runs an action
  kNoAction,  // present, does nothing
};

struct MenuItemInfo {
  MenuItem item;
  MenuItem parent;  // the item itself for a top menu
  std::string_view caption;
  ItemKind kind;
  std::optional<MenuItem> partner;         // the other item of a pair
  std::optional<settings::Key> store_key;  // the settings key of an option item
};

inline constexpr std::size_t kMenuItemCount = static_cast<std::size_t>(MenuItem::kCount);

// Menu command ids: kFirstMenuCommandId + the item's position in the table (fixed, so the
// end-to-end tests can find each item).
inline constexpr int kFirstMenuCommandId = 1000;

namespace detail {
// In menu order: a submenu's items follow it.
constexpr std::array<MenuItemInfo, kMenuItemCount> MenuItemTable() {
  using enum MenuItem;
  using settings::Key;
  return {{
      {kOptionsMenu, kOptionsMenu, "Menu", ItemKind::kTopMenu, {}, {}},
      {kSounds, kOptionsMenu, "Sounds", ItemKind::kSubmenu, {}, {}},
      {kFileFoundSound, kSounds, "File found sound", ItemKind::kToggle, {}, Key::kFileFoundSound},
      {kFileNotFoundSound, kSounds, "File not found sound", ItemKind::kToggle, {}, Key::kFileNotFoundSound},
      {kRegisterSilently, kOptionsMenu, "Register ocx or dll files silently", ItemKind::kSubmenu, {}, {}},
      {kSilentYes, kRegisterSilently, "Yes", ItemKind::kPairItem, kSilentNo, Key::kYesMovarinFiles1},
      {kSilentNo, kRegisterSilently, "No", ItemKind::kPairItem, kSilentYes, Key::kNoMovarinFiles1},
      {kAutoDownload, kOptionsMenu, "Automatically download ocx or dll files when found",
       ItemKind::kSubmenu, {}, {}},
      {kAutoDownloadYes, kAutoDownload, "Yes", ItemKind::kPairItem, kAutoDownloadNo, Key::kYesMovarinFiles2},
      {kAutoDownloadNo, kAutoDownload, "No", ItemKind::kPairItem, kAutoDownloadYes, Key::kNoMovarinFiles2},
      {kAutoRegister, kOptionsMenu, "Automatically register ocx or dll files when downloaded",
       ItemKind::kSubmenu, {}, {}},
      {kAutoRegisterYes, kAutoRegister, "Yes", ItemKind::kPairItem, kAutoRegisterNo, Key::kYesMovarinFiles3},
      {kAutoRegisterNo, kAutoRegister, "No", ItemKind::kPairItem, kAutoRegisterYes, Key::kNoMovarinFiles3},
      {kSetDownloadPath, kOptionsMenu, "Set the download path", ItemKind::kCommand, {}, {}},
      {kSearchMultipleFiles, kOptionsMenu, "Search multi dll or ocx files", ItemKind::kCommand, {}, {}},
      {kUnregisterFile, kOptionsMenu, "Unregister ocx or dll file name", ItemKind::kCommand, {}, {}},
      {kOperatingSystem, kOptionsMenu, "Windows operating system", ItemKind::kSubmenu, {}, {}},
      {kWindowsVista7, kOperatingSystem, "Windows Vista/7", ItemKind::kPairItem, kWindowsXp,
       Key::kMovarinFilesWindowsVista7},
      {kWindowsXp, kOperatingSystem, "Windows XP", ItemKind::kPairItem, kWindowsVista7,
       Key::kMovarinFilesWindowsXP},
      {kContextMenu, kContextMenu, "menu", ItemKind::kTopMenu, {}, {}},
      {kDownload, kContextMenu, "Download", ItemKind::kCommand, {}, {}},
      {kRefresh, kContextMenu, "Refresh", ItemKind::kCommand, {}, {}},
      {kLanguageMenu, kLanguageMenu, "Menu", ItemKind::kTopMenu, {}, {}},
      {kSelectLanguage, kLanguageMenu, "Select Language", ItemKind::kSubmenu, {}, {}},
      {kEnglish, kSelectLanguage, "English", ItemKind::kNoAction, {}, {}},
      {kArabic, kSelectLanguage, "Arabic", ItemKind::kNoAction, {}, {}},
  }};
}
}  // namespace detail

// In menu order, indexed by MenuItem.
inline constexpr std::array<MenuItemInfo, kMenuItemCount> kMenuItems = detail::MenuItemTable();

const MenuItemInfo& ItemInfo(MenuItem item);

}  // namespace movarin::main_program
