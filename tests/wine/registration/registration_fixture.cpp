#include "tests/wine/registration/registration_fixture.h"

#include <thread>

#include "platform/win32/text.h"
#include "tests/support/files.h"
#include "tools/test_com_dll/test_com_ids.h"

namespace movarin::registration::wine_test {

using settings::Key;

namespace {

constexpr Key kTouchedKeys[] = {Key::kYesMovarinFiles1, Key::kNoMovarinFiles1, Key::kRegisterLink,
                                Key::kRegisterName, Key::kUnregisterMovarin};

}  // namespace

SettingsSnapshot::SettingsSnapshot() {
  settings::RegistrySettingsStore store;
  for (Key key : kTouchedKeys) saved_[key] = store.ReadRaw(key);
}

SettingsSnapshot::~SettingsSnapshot() {
  settings::RegistrySettingsStore store;
  const std::wstring key_path = movarin::win32::Widen(settings::RegistrySettingsStore::KeyPath());
  for (const auto& [key, value] : saved_) {
    if (value) {
      store.WriteRaw(key, *value);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, key_path.c_str(),
                         movarin::win32::Widen(settings::Info(key).name).c_str());
    }
  }
}

std::optional<e2e::MessageBoxInfo> RunAnsweringBox(const std::function<void()>& action) {
  std::thread worker(action);
  auto box = e2e::WaitForMessageBox(GetCurrentProcessId());
  if (box) e2e::PressMessageBoxButton(box->window, "OK");
  worker.join();
  return box;
}

void RegistrationTest::SetUp() {
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe", L"Register.exe", L"Unregister.exe"}))
      << "an earlier batch file or helper is still running";
  settings_.emplace();
  copy_.emplace(kLibraryName);
  ASSERT_FALSE(movarin::test::FileExists(copy_->path()))
      << copy_->path() << " is left over from an earlier run";
  RemoveRegistration();

  program_folder_.emplace("movarin-registration");
  downloads_.emplace("movarin-downloads");
  ASSERT_FALSE(program_folder_->path().empty());
  ASSERT_FALSE(downloads_->path().empty());
  ASSERT_TRUE(CreateDirectoryW(movarin::win32::Widen(*program_folder_ / "Adds").c_str(), nullptr));
  for (const char* helper : {"Register.exe", "Unregister.exe"}) {
    const std::string built = e2e::BuildPath(std::string("app\\Adds\\") + helper);
    ASSERT_TRUE(CopyFileW(movarin::win32::Widen(built).c_str(),
                          movarin::win32::Widen(*program_folder_ / "Adds" + "\\" + helper).c_str(), FALSE))
        << built;
  }
  const std::string library = e2e::BuildPath(std::string("testdata\\") + test_com::kFileName);
  source_ = *downloads_ / kLibraryName;
  ASSERT_TRUE(CopyFileW(movarin::win32::Widen(library).c_str(), movarin::win32::Widen(source_).c_str(), FALSE))
      << library;
}

void RegistrationTest::TearDown() {
  // Whatever a failing test left running goes first, so that nothing holds the files.
  WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe", L"Register.exe", L"Unregister.exe"});
  RemoveRegistration();
  copy_.reset();
  settings_.reset();
  downloads_.reset();
  program_folder_.reset();
}

void RegistrationTest::RegisterFile(OperatingSystemOption system, SilentOption silent,
                                    const std::string& path, const std::string& name) {
  RegistrationCommands(platform_, store_, program_folder_->path()).RegisterFile({system, silent}, path, name);
}

void RegistrationTest::UnregisterFile(OperatingSystemOption system, SilentOption silent, const std::string& text) {
  RegistrationCommands(platform_, store_, program_folder_->path()).UnregisterFile({system, silent}, text);
}

}  // namespace movarin::registration::wine_test
