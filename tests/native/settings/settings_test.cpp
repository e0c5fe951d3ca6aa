#include <gtest/gtest.h>

#include <set>

#include "settings/settings_store.h"

namespace movarin::settings {
namespace {

struct SwitchCase {
  const char* text;
  std::optional<bool> expected;
};

class SwitchConversion : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchConversion, ConvertsOrReportsUnreadable) {
  EXPECT_EQ(ParseSwitch(GetParam().text), GetParam().expected) << "text: " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SwitchConversion,
    ::testing::Values(SwitchCase{"True", true}, SwitchCase{"False", false},
                      SwitchCase{"TRUE", true}, SwitchCase{"false", false},
                      SwitchCase{"tRuE", true}, SwitchCase{" True ", true},
                      SwitchCase{"0", false}, SwitchCase{"-1", true}, SwitchCase{"1", true},
                      SwitchCase{"0.0", false}, SwitchCase{"0.5", true},
                      SwitchCase{"000", false}, SwitchCase{"99999999999999999999999", true},
                      SwitchCase{"", std::nullopt}, SwitchCase{"yes", std::nullopt},
                      SwitchCase{"Tru", std::nullopt}, SwitchCase{"1x", std::nullopt},
                      SwitchCase{"-", std::nullopt}, SwitchCase{".", std::nullopt},
                      SwitchCase{"1.2.3", std::nullopt}, SwitchCase{"True False", std::nullopt}));

TEST(SettingsKeys, TableIsIndexedByKeyAndNamesAreUnique) {
  std::set<std::string_view> names;
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(kKeys[i].key), i);
    EXPECT_TRUE(names.insert(kKeys[i].name).second) << kKeys[i].name;
    if (kKeys[i].kind == KeyKind::kSwitch) {
      EXPECT_TRUE(ParseSwitch(kKeys[i].fallback).has_value()) << kKeys[i].name;
    }
  }
}

TEST(SettingsStore, AbsentKeysGiveTheirDefaults) {
  MemorySettingsStore store;
  EXPECT_EQ(store.ReadSwitch(Key::kYesMovarinFiles1), false);
  EXPECT_EQ(store.ReadSwitch(Key::kNoMovarinFiles1), true);
  EXPECT_EQ(store.ReadSwitch(Key::kYesMovarinFiles2), true);
  EXPECT_EQ(store.ReadSwitch(Key::kNoMovarinFiles3), false);
  EXPECT_EQ(store.ReadSwitch(Key::kFileNotFoundSound), true);
  EXPECT_EQ(store.ReadSwitch(Key::kMovarinFilesWindowsXP), false);
  EXPECT_EQ(store.ReadSwitch(Key::kMovarinFilesWindowsVista7), false);
  EXPECT_EQ(store.Read(Key::kDownloadPath), "C:\\WINDOWS\\system32");
  EXPECT_EQ(store.Read(Key::kRegisterLink), "");
}

TEST(SettingsStore, SwitchesAreWrittenAsTrueOrFalseAndTextsUnchanged) {
  MemorySettingsStore store;
  store.WriteSwitch(Key::kFileFoundSound, false);
  store.WriteSwitch(Key::kYesMovarinFiles1, true);
  store.Write(Key::kDownloadPath, "  D:\\My Files\\  ");
  EXPECT_EQ(*store.ReadRaw(Key::kFileFoundSound), "False");
  EXPECT_EQ(*store.ReadRaw(Key::kYesMovarinFiles1), "True");
  EXPECT_EQ(store.Read(Key::kDownloadPath), "  D:\\My Files\\  ");
}

TEST(SettingsStore, GarbageSwitchIsUnreadableNotFalse) {
  MemorySettingsStore store;
  store.Write(Key::kFileFoundSound, "maybe");
  EXPECT_EQ(store.ReadSwitch(Key::kFileFoundSound), std::nullopt);
}

}  // namespace
}  // namespace movarin::settings

#include "settings/server_config.h"

namespace movarin::settings {
namespace {

struct IniCase {
  const char* text;
  const char* expected;
};

class ServerBaseUrlIni : public ::testing::TestWithParam<IniCase> {};

TEST_P(ServerBaseUrlIni, ReadsTheServerSection) {
  EXPECT_EQ(ServerBaseUrlFromIni(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ServerBaseUrlIni,
    ::testing::Values(
        IniCase{"", "http://movarin.invalid/"},
        IniCase{"[Server]\r\nBaseUrl=http://127.0.0.1:8080/\r\n", "http://127.0.0.1:8080/"},
        IniCase{"[server]\nbaseurl = http://h/x \n", "http://h/x/"},
        IniCase{"\xEF\xBB\xBF[Server]\nBaseUrl=http://h/", "http://h/"},
        IniCase{"[Other]\nBaseUrl=http://wrong/\n[Server]\n; comment\nBaseUrl=http://right/",
                "http://right/"},
        IniCase{"[Other]\nBaseUrl=http://wrong/\n", "http://movarin.invalid/"},
        IniCase{"[Server]\nBaseUrl=\n", "http://movarin.invalid/"},
        IniCase{"[Server\nBaseUrl=http://broken/\n", "http://movarin.invalid/"}));

}  // namespace
}  // namespace movarin::settings
