// The installer as an administrator runs it: silently into a folder of the test's own,
// the installed Movarin started through its start-up chain, then the uninstaller, which
// leaves only the user's settings and downloads.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <sstream>

#include "platform/win32/text.h"
#include "tests/e2e/driver/registry_read.h"
#include "tests/e2e/main/movarin_fixture.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"

namespace movarin::e2e {
namespace {

using movarin::win32::Narrow;
using movarin::win32::Widen;

const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Movarin";

bool Exists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ShortcutPath() {
  wchar_t programs[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
  return Narrow(programs) + "\\Movarin\\Movarin.lnk";
}

// The names of the catalogue that ships (tools/demo/catalogue.csv), sorted.
std::vector<std::string> ShippedNames() {
  std::vector<std::string> names;
  const auto csv = test::ReadWholeFile(*test::SourceDir() + "\\tools\\demo\\catalogue.csv");
  if (!csv) return names;
  std::istringstream lines(*csv);
  std::string line;
  std::getline(lines, line);  // the column names
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string name = line.substr(0, line.find(','));
    if (name.size() >= 2 && name.front() == '"') name = name.substr(1, name.size() - 2);
    if (!name.empty()) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class InstallerTest : public MovarinTest {
 protected:
  void TearDown() override {
    MovarinTest::TearDown();
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteFileW(Widen(ShortcutPath()).c_str());
    DeleteRegistryTree(HKEY_CURRENT_USER, kOptionsKey);
  }

  // Runs a program with arguments and waits for its exit code.
  std::optional<DWORD> RunAndWait(const std::string& program, const std::string& arguments) {
    std::string error;
    auto process = Process::Launch({.program = program, .arguments = arguments}, &error);
    EXPECT_TRUE(process.has_value()) << program << ": " << error;
    if (!process) return std::nullopt;
    return process->WaitForExit(std::chrono::milliseconds(120000));
  }
};

TEST_F(InstallerTest, InstallsSilentlyRunsAndUninstallsLeavingSettingsAndDownloads) {
  const auto setup = test::EnvVar("MOVARIN_INSTALLER");
  ASSERT_TRUE(setup.has_value()) << "run through tests/e2e/installer/run.sh";
  // It asks for administrator rights: its manifest says so.
  const auto setup_bytes = test::ReadWholeFile(*setup);
  ASSERT_TRUE(setup_bytes.has_value());
  EXPECT_NE(setup_bytes->find("requireAdministrator"), std::string::npos);
  // A folder name with a blank, as under Program Files.
  const std::string target = *folder_ / "Movarin Program";

  const auto installed = RunAndWait(*setup, "/S /D=" + target);
  ASSERT_EQ(installed, 0u);
  for (const char* file : {"Movarin.exe", "movarin-cli.exe", "Adds\\Register.exe", "Adds\\Unregister.exe",
                           "Sounds\\Found.wav", "Sounds\\Notfound.wav", "Images\\Search.png",
                           "database.mdb", "Movarin.ini", "Uninstall.exe"}) {
    EXPECT_TRUE(Exists(target + "\\" + file)) << file;
  }
  EXPECT_TRUE(Exists(ShortcutPath())) << ShortcutPath();
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), "2.0.0.0");
  EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
            "\"" + target + "\\Uninstall.exe\"");

  // The owner points the installed program at the catalogue server; it goes through its
  // start-up chain and lists the catalogue it was installed with.
  ASSERT_TRUE(test::WriteWholeFile(target + "\\Movarin.ini", "[Server]\r\nBaseUrl=" + server_ + "\r\n"));
  ASSERT_NO_FATAL_FAILURE(LaunchInstalled(target + "\\Movarin.exe"));
  ASSERT_NO_FATAL_FAILURE(PassStartupChain());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  std::vector<std::string> listed = ListedNames();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, ShippedNames());
  ASSERT_NO_FATAL_FAILURE(CloseAnswering("Yes"));
  ASSERT_TRUE(app_->WaitForExit().has_value());
  app_.reset();
  ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kOptionsKey)) << "the program saved no settings";

  // A file the user downloaded into the program folder.
  ASSERT_TRUE(test::WriteWholeFile(target + "\\downloaded.ocx", "the user's"));
  // The uninstaller runs a copy of itself from the temporary folder and returns at once;
  // the copy removes the files, its own original among them. The copy belongs to the
  // uninstaller's job, which lives as long as `uninstaller`: held until the copy is done.
  std::string error;
  auto uninstaller = Process::Launch({.program = target + "\\Uninstall.exe", .arguments = "/S"}, &error);
  ASSERT_TRUE(uninstaller.has_value()) << error;
  EXPECT_EQ(uninstaller->WaitForExit(std::chrono::milliseconds(60000)), 0u);
  EXPECT_TRUE(WaitUntil([&] { return !Exists(target + "\\Uninstall.exe"); },
                        std::chrono::milliseconds(60000)))
      << "the uninstaller did not finish";
  EXPECT_TRUE(WaitUntil([&] { return !RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); },
                        std::chrono::milliseconds(30000)));
  // The copy's last steps (the shortcut, the key) are done once the key is gone.
  uninstaller.reset();

  std::vector<std::string> left = test::FolderEntries(target);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Movarin.ini", "downloaded.ocx"}));
  EXPECT_FALSE(Exists(ShortcutPath()));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kOptionsKey)) << "the settings went with the program";
}

}  // namespace
}  // namespace movarin::e2e
