// Against the real registry of the test Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/text.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/support/win32/registry_snapshot.h"

namespace movarin::settings {
namespace {

class RegistryStore : public ::testing::Test {
 protected:
  // Each case starts from an empty key; what the prefix held before comes back after.
  test::RegistrySnapshot keep_settings_{HKEY_CURRENT_USER,
                                        win32::Widen(RegistrySettingsStore::KeyPath())};
  void SetUp() override { DeleteOptions(); }
  void TearDown() override { DeleteOptions(); }
  static void DeleteOptions() {
    RegDeleteTreeW(HKEY_CURRENT_USER, win32::Widen(RegistrySettingsStore::KeyPath()).c_str());
  }
  // Writes a value behind the store's back, as another program or a user would.
  static void WriteRawValue(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER,
                              win32::Widen(RegistrySettingsStore::KeyPath()).c_str(), 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
  }
  RegistrySettingsStore store;
};

TEST_F(RegistryStore, MissingKeysGiveDefaults) {
  EXPECT_EQ(store.ReadRaw(Key::kDownloadPath), std::nullopt);
  EXPECT_EQ(store.Read(Key::kDownloadPath), "C:\\WINDOWS\\system32");
  EXPECT_EQ(store.ReadSwitch(Key::kNoMovarinFiles1), true);
  EXPECT_EQ(store.ReadSwitch(Key::kYesMovarinFiles1), false);
}

TEST_F(RegistryStore, TextsRoundTripUnchanged) {
  for (const std::string value :
       {"C:\\Program Files\\My Folder", "D:\\Ünïcödé\\Папка\\フォルダ", "  padded  ", "",
        "C:\\a\"quoted\"\\b"}) {
    ASSERT_TRUE(store.Write(Key::kDownloadPath, value));
    EXPECT_EQ(store.Read(Key::kDownloadPath), value);
  }
}

TEST_F(RegistryStore, ValuesAreRegSzUnderTheSharedKey) {
  ASSERT_TRUE(store.WriteSwitch(Key::kFileFoundSound, true));
  wchar_t buf[16] = {};
  DWORD type = 0, bytes = sizeof(buf);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER,
                         L"Software\\VB and VBA Program Settings\\MovarinFiles\\OPTIONS",
                         L"Filefoundsound", RRF_RT_ANY, &type, buf, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(buf, L"True");
}

TEST_F(RegistryStore, GarbageSwitchIsUnreadableNotFalse) {
  const wchar_t garbage[] = L"perhaps";
  WriteRawValue(L"Filefoundsound", REG_SZ, garbage, sizeof(garbage));
  EXPECT_EQ(store.ReadSwitch(Key::kFileFoundSound), std::nullopt);
  const wchar_t lower[] = L"false";
  WriteRawValue(L"Filefoundsound", REG_SZ, lower, sizeof(lower));
  EXPECT_EQ(store.ReadSwitch(Key::kFileFoundSound), false);
}

TEST_F(RegistryStore, NonTextValueCountsAsAbsent) {
  const DWORD one = 1;
  WriteRawValue(L"registerlink", REG_DWORD, &one, sizeof(one));
  EXPECT_EQ(store.ReadRaw(Key::kRegisterLink), std::nullopt);
}

}  // namespace
}  // namespace movarin::settings
