#include <gtest/gtest.h>

#include "programs/main/command_menu/command_menu_model.h"

namespace movarin::main_program {
namespace {

using enum MenuItem;

using settings::Key;

TEST(CommandMenuTable, IsIndexedByItemAndParentsComeFirst) {
  for (std::size_t i = 0; i < kMenuItems.size(); ++i) {
    const MenuItemInfo& info = kMenuItems[i];
    EXPECT_EQ(static_cast<std::size_t>(info.item), i);
    EXPECT_LE(static_cast<std::size_t>(info.parent), i) << info.caption;
    if (info.kind == ItemKind::kPairItem) {
      ASSERT_TRUE(info.partner.has_value());
      EXPECT_EQ(ItemInfo(*info.partner).partner, info.item);
      EXPECT_EQ(ItemInfo(*info.partner).parent, info.parent);
    }
    if (info.kind == ItemKind::kPairItem || info.kind == ItemKind::kToggle) {
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
    EXPECT_EQ(menu.Click(s.clicks[i]), MenuAction::kNone);
    EXPECT_EQ(std::make_pair(menu.Checked(s.yes), menu.Checked(s.no)), s.marks[i])
        << s.name << " after click " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, PairRule,
    ::testing::Values(
        PairScript{"silent", kSilentYes, kSilentNo, {kSilentYes, kSilentYes, kSilentNo, kSilentYes},
                   {{true, false}, {false, false}, {false, true}, {true, false}}},
        PairScript{"download", kAutoDownloadYes, kAutoDownloadNo, {kAutoDownloadNo, kAutoDownloadNo, kAutoDownloadNo},
                   {{false, true}, {false, false}, {false, true}}},
        PairScript{"register", kAutoRegisterYes, kAutoRegisterNo, {kAutoRegisterYes, kAutoRegisterNo},
                   {{true, false}, {false, true}}},
        PairScript{"os", kWindowsXp, kWindowsVista7, {kWindowsVista7, kWindowsXp, kWindowsXp},
                   {{false, true}, {true, false}, {false, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandMenu, TogglesFlipAndCommandsAskForTheirAction) {
  CommandMenuModel menu;
  menu.Click(kFileFoundSound);
  EXPECT_TRUE(menu.Checked(kFileFoundSound));
  EXPECT_FALSE(menu.Checked(kFileNotFoundSound));
  menu.Click(kFileFoundSound);
  EXPECT_FALSE(menu.Checked(kFileFoundSound));
  EXPECT_EQ(menu.Click(kSetDownloadPath), MenuAction::kShowDownloadFolderDialog);
  EXPECT_EQ(menu.Click(kSearchMultipleFiles), MenuAction::kShowMultiSearchWindow);
  EXPECT_EQ(menu.Click(kUnregisterFile), MenuAction::kShowUnregisterDialog);
  EXPECT_EQ(menu.Click(kDownload), MenuAction::kDownloadSelectedRow);
  EXPECT_EQ(menu.Click(kRefresh), MenuAction::kReloadCatalogue);
  // The language items do nothing at all.
  const CommandMenuModel before = menu;
  EXPECT_EQ(menu.Click(kEnglish), MenuAction::kNone);
  EXPECT_EQ(menu.Click(kArabic), MenuAction::kNone);
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
  EXPECT_FALSE(menu.Checked(kSilentYes));
  EXPECT_TRUE(menu.Checked(kSilentNo));
  EXPECT_TRUE(menu.Checked(kAutoDownloadYes));
  EXPECT_FALSE(menu.Checked(kAutoDownloadNo));
  EXPECT_TRUE(menu.Checked(kAutoRegisterYes));
  EXPECT_FALSE(menu.Checked(kAutoRegisterNo));
  EXPECT_TRUE(menu.Checked(kFileFoundSound));
  EXPECT_TRUE(menu.Checked(kFileNotFoundSound));
  // The main window's load does not touch the operating-system pair.
  EXPECT_FALSE(menu.Checked(kWindowsXp));
  EXPECT_FALSE(menu.Checked(kWindowsVista7));
}

TEST(CommandMenuStore, PairStoredAsNeitherGetsItsDefaultItem) {
  settings::MemorySettingsStore store;
  store.WriteSwitch(Key::kYesMovarinFiles2, false);
  store.WriteSwitch(Key::kNoMovarinFiles2, false);
  store.WriteSwitch(Key::kYesMovarinFiles1, true);
  store.WriteSwitch(Key::kNoMovarinFiles1, false);
  CommandMenuModel menu;
  menu.LoadOptions(store);
  EXPECT_TRUE(menu.Checked(kAutoDownloadYes));
  EXPECT_FALSE(menu.Checked(kAutoDownloadNo));
  EXPECT_TRUE(menu.Checked(kSilentYes));
  EXPECT_FALSE(menu.Checked(kSilentNo));
}

TEST(CommandMenuStore, UnreadableSwitchKeepsTheMarkItHad) {
  settings::MemorySettingsStore store;
  store.Write(Key::kFileFoundSound, "garbage");
  store.Write(Key::kNoMovarinFiles1, "garbage");
  store.Write(Key::kYesMovarinFiles1, "garbage");
  CommandMenuModel menu;
  menu.SetChecked(kFileFoundSound, false);
  menu.LoadOptions(store);
  EXPECT_FALSE(menu.Checked(kFileFoundSound));
  // Neither item of the pair could be read: the pair rule checks its default.
  EXPECT_TRUE(menu.Checked(kSilentNo));
  EXPECT_FALSE(menu.Checked(kSilentYes));
}

TEST(CommandMenuStore, SaveWritesTheTenSwitchesInOrderAndRoundTrips) {
  CommandMenuModel menu;
  menu.Click(kSilentYes);
  menu.Click(kAutoDownloadNo);
  menu.Click(kFileNotFoundSound);
  menu.Click(kWindowsVista7);
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
    if (info.item == kAutoRegisterYes) {
      // Stored as neither; the load fills in the default.
      EXPECT_TRUE(reloaded.Checked(info.item));
      continue;
    }
    EXPECT_EQ(reloaded.Checked(info.item), menu.Checked(info.item)) << info.caption;
  }
}

}  // namespace
}  // namespace movarin::main_program
