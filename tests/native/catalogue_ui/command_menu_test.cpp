#include <gtest/gtest.h>

#include "catalogue/command_menu.h"

namespace movarin::catalogue {
namespace {

using settings::Key;

TEST(CommandMenuTable, IsIndexedByItemAndParentsComeFirst) {
  for (std::size_t i = 0; i < kMenuItems.size(); ++i) {
    const MenuItemInfo& info = kMenuItems[i];
    EXPECT_EQ(static_cast<std::size_t>(info.item), i);
    EXPECT_LE(static_cast<std::size_t>(info.parent), i) << info.caption;
    if (info.kind == ItemKind::PairItem) {
      ASSERT_TRUE(info.partner.has_value());
      EXPECT_EQ(ItemInfo(*info.partner).partner, info.item);
      EXPECT_EQ(ItemInfo(*info.partner).parent, info.parent);
    }
    if (info.kind == ItemKind::PairItem || info.kind == ItemKind::Toggle) {
      EXPECT_TRUE(info.store_key.has_value()) << info.caption;
    }
  }
}

TEST(CommandMenu, NothingIsCheckedAtCreation) {
  CommandMenuModel menu;
  for (const MenuItemInfo& info : kMenuItems) EXPECT_FALSE(menu.Checked(info.item));
  EXPECT_EQ(menu.DownloadCaption(), "Download");
}

// Clicks in order and the Yes/No marks after each.
struct PairScript {
  const char* name;
  MenuItem yes, no;
  std::vector<MenuItem> clicks;
  std::vector<std::pair<bool, bool>> marks;
};

class PairRule : public ::testing::TestWithParam<PairScript> {};

TEST_P(PairRule, MovesTheMarkAndAllowsNeither) {
  const PairScript& s = GetParam();
  CommandMenuModel menu;
  for (std::size_t i = 0; i < s.clicks.size(); ++i) {
    EXPECT_EQ(menu.Click(s.clicks[i]), MenuAction::None);
    EXPECT_EQ(std::make_pair(menu.Checked(s.yes), menu.Checked(s.no)), s.marks[i])
        << s.name << " after click " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PairRule,
    ::testing::Values(
        PairScript{"silent", SilentYes, SilentNo, {SilentYes, SilentYes, SilentNo, SilentYes},
                   {{true, false}, {false, false}, {false, true}, {true, false}}},
        PairScript{"download", DownloadYes, DownloadNo, {DownloadNo, DownloadNo, DownloadNo},
                   {{false, true}, {false, false}, {false, true}}},
        PairScript{"register", RegisterYes, RegisterNo, {RegisterYes, RegisterNo},
                   {{true, false}, {false, true}}},
        PairScript{"os", WindowsXP, WindowsVista7, {WindowsVista7, WindowsXP, WindowsXP},
                   {{false, true}, {true, false}, {false, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandMenu, TogglesFlipAndCommandsAskForTheirAction) {
  CommandMenuModel menu;
  menu.Click(Filefoundsound);
  EXPECT_TRUE(menu.Checked(Filefoundsound));
  EXPECT_FALSE(menu.Checked(Filenotfoundsound));
  menu.Click(Filefoundsound);
  EXPECT_FALSE(menu.Checked(Filefoundsound));
  EXPECT_EQ(menu.Click(Setthedownloadpath), MenuAction::ShowDownloadFolderDialog);
  EXPECT_EQ(menu.Click(Searchmultidllorocxfiles), MenuAction::ShowMultiSearchWindow);
  EXPECT_EQ(menu.Click(UnRegisterocxordllfilename), MenuAction::ShowUnregisterDialog);
  EXPECT_EQ(menu.Click(Downloadfile), MenuAction::DownloadSelectedRow);
  EXPECT_EQ(menu.Click(Refresh), MenuAction::ReloadCatalogue);
  // The language items do nothing at all.
  const CommandMenuModel before = menu;
  EXPECT_EQ(menu.Click(English), MenuAction::None);
  EXPECT_EQ(menu.Click(Arabic), MenuAction::None);
  for (const MenuItemInfo& info : kMenuItems)
    EXPECT_EQ(menu.Checked(info.item), before.Checked(info.item));
}

TEST(CommandMenu, DownloadCaptionNamesTheRow) {
  CommandMenuModel menu;
  menu.SetDownloadCaptionFor("ACTSKIN4.OCX");
  EXPECT_EQ(menu.DownloadCaption(), "Download (ACTSKIN4.OCX)");
}

TEST(CommandMenuStore, EmptyStoreGivesThePairDefaults) {
  settings::MemorySettingsStore store;
  CommandMenuModel menu;
  menu.LoadOptions(store);
  EXPECT_FALSE(menu.Checked(SilentYes));
  EXPECT_TRUE(menu.Checked(SilentNo));
  EXPECT_TRUE(menu.Checked(DownloadYes));
  EXPECT_FALSE(menu.Checked(DownloadNo));
  EXPECT_TRUE(menu.Checked(RegisterYes));
  EXPECT_FALSE(menu.Checked(RegisterNo));
  EXPECT_TRUE(menu.Checked(Filefoundsound));
  EXPECT_TRUE(menu.Checked(Filenotfoundsound));
  // The main window's load does not touch the operating-system pair.
  EXPECT_FALSE(menu.Checked(WindowsXP));
  EXPECT_FALSE(menu.Checked(WindowsVista7));
}

TEST(CommandMenuStore, PairStoredAsNeitherGetsItsDefaultItem) {
  settings::MemorySettingsStore store;
  store.WriteSwitch(Key::kYesMovarinFiles2, false);
  store.WriteSwitch(Key::kNoMovarinFiles2, false);
  store.WriteSwitch(Key::kYesMovarinFiles1, true);
  store.WriteSwitch(Key::kNoMovarinFiles1, false);
  CommandMenuModel menu;
  menu.LoadOptions(store);
  EXPECT_TRUE(menu.Checked(DownloadYes));
  EXPECT_FALSE(menu.Checked(DownloadNo));
  EXPECT_TRUE(menu.Checked(SilentYes));
  EXPECT_FALSE(menu.Checked(SilentNo));
}

TEST(CommandMenuStore, UnreadableSwitchKeepsTheMarkItHad) {
  settings::MemorySettingsStore store;
  store.Write(Key::kFileFoundSound, "garbage");
  store.Write(Key::kNoMovarinFiles1, "garbage");
  store.Write(Key::kYesMovarinFiles1, "garbage");
  CommandMenuModel menu;
  menu.SetChecked(Filefoundsound, false);
  menu.LoadOptions(store);
  EXPECT_FALSE(menu.Checked(Filefoundsound));
  // Neither item of the pair could be read: the pair rule checks its default.
  EXPECT_TRUE(menu.Checked(SilentNo));
  EXPECT_FALSE(menu.Checked(SilentYes));
}

TEST(CommandMenuStore, SaveWritesTheTenSwitchesInOrderAndRoundTrips) {
  CommandMenuModel menu;
  menu.Click(SilentYes);
  menu.Click(DownloadNo);
  menu.Click(Filenotfoundsound);
  menu.Click(WindowsVista7);
  settings::MemorySettingsStore store;
  menu.SaveOptions(store);
  const std::vector<Key> expected(settings::kOptionSwitchesInWriteOrder.begin(),
                                  settings::kOptionSwitchesInWriteOrder.end());
  EXPECT_EQ(store.WriteLog(), expected);
  EXPECT_EQ(store.Values().at(Key::kYesMovarinFiles1), "True");
  EXPECT_EQ(store.Values().at(Key::kNoMovarinFiles1), "False");
  EXPECT_EQ(store.Values().at(Key::kYesMovarinFiles3), "False");
  EXPECT_EQ(store.Values().at(Key::kMovarinFilesWindowsVista7), "True");
  EXPECT_EQ(store.Values().at(Key::kMovarinFilesWindowsXP), "False");

  CommandMenuModel reloaded;
  reloaded.LoadOptions(store);
  reloaded.LoadOperatingSystem(store);
  for (const MenuItemInfo& info : kMenuItems) {
    if (info.item == RegisterYes) {
      // Stored as neither; the load fills in the default.
      EXPECT_TRUE(reloaded.Checked(info.item));
      continue;
    }
    EXPECT_EQ(reloaded.Checked(info.item), menu.Checked(info.item)) << info.caption;
  }
}

}  // namespace
}  // namespace movarin::catalogue
