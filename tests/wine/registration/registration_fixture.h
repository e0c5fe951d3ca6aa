#pragma once
// What the registration tests under Wine share: a program folder of their own with the
// helper programs in Adds, the test COM library under a name with a blank, and the
// settings values they touch put back (registration_helpers.h has the rest).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "registration/commands.h"
#include "registration/win32/windows_registration_platform.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/e2e/driver/driver.h"
#include "tests/support/temp_folder.h"
#include "tests/wine/registration/registration_helpers.h"

namespace movarin::registration::wine_test {

// The library's name once copied: the blank proves that every path stays whole.
inline constexpr char kLibraryName[] = "Movarin Test Com.dll";

// Saves the settings values a test may change and puts them back (or removes them) at
// the end: the prefix's store is shared by every test and the demo.
class SettingsSnapshot {
 public:
  SettingsSnapshot();
  ~SettingsSnapshot();

 private:
  std::map<settings::Key, std::optional<std::string>> saved_;
};

// Runs `action` on a thread of its own (it shows a box in this process) and reads and
// presses that box from here; the box, or nullopt when none appeared.
std::optional<e2e::MessageBoxInfo> RunAnsweringBox(const std::function<void()>& action);

class RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The main program's commands on the program folder, with the real platform and store.
  void RegisterFile(OperatingSystemOption system, SilentOption silent, const std::string& path,
                    const std::string& name);
  void UnregisterFile(OperatingSystemOption system, SilentOption silent, const std::string& text);

  std::optional<test::TempFolder> program_folder_;  // holds Adds\Register.exe, Adds\Unregister.exe
  std::optional<test::TempFolder> downloads_;       // holds the library to register
  std::string source_;                              // downloads_ \ kLibraryName
  std::optional<SettingsSnapshot> settings_;
  std::optional<SystemFolderFile> copy_;            // system folder \ kLibraryName
  win32::WindowsRegistrationPlatform platform_;
  settings::RegistrySettingsStore store_;
};

}  // namespace movarin::registration::wine_test
