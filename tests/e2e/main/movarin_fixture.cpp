#include "tests/e2e/main/movarin_fixture.h"

#include "platform/win32/text.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::e2e {

using main_program::MainControl;

const std::vector<tools::catalog_writer::CatalogueEntry>& DemoCatalogue() {
  static const std::vector<tools::catalog_writer::CatalogueEntry> entries = {
      {"ACTSKIN4.OCX", "4.3.0.0"}, {"actbar.ocx", "1.0.0.1"},   {"comdlg32.ocx", "6.1.97.82"},
      {"mscomctl.ocx", "6.1.98.34"}, {"O'Reilly.dll", "2.0.0.0"}, {"zlib1.dll", "1.2.13.0"},
      {"sample3000.bin.dll", ""},
  };
  return entries;
}

// ServerBaseUrl where nothing listens.
const char kNoServer[] = "http://127.0.0.1:9/";

void MovarinTest::SetUp() {
  settings_.emplace(HKEY_CURRENT_USER, std::wstring(kOptionsKey.begin(), kOptionsKey.end()));
  ASSERT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, kOptionsKey));
  server_ = test::EnvVar("MOVARIN_TEST_SERVER").value_or(kNoServer);
  folder_.emplace("movarin-e2e");
  ASSERT_FALSE(folder_->path().empty());
}

void MovarinTest::TearDown() {
  app_.reset();  // kills the program if a test left it running
  folder_.reset();
  settings_.reset();
}

void MovarinTest::PrepareDownloads() {
  ASSERT_TRUE(test::ResetServer());
  auto root = test::EnvVar("MOVARIN_TEST_SERVER_ROOT");
  ASSERT_TRUE(root.has_value()) << "run with the test server";
  server_files_ = test::WindowsPath(*root) + "\\files";
  downloads_ = *folder_ / "downloads";
  ASSERT_TRUE(CreateDirectoryA(downloads_.c_str(), nullptr));
  ASSERT_TRUE(settings::RegistrySettingsStore().Write(settings::Key::kDownloadPath, downloads_));
}

void MovarinTest::Start(bool with_catalogue) {
  ASSERT_NO_FATAL_FAILURE(Launch(with_catalogue));
  ASSERT_NO_FATAL_FAILURE(PassStartupChain());
}

void MovarinTest::Launch(bool with_catalogue) {
  const std::string exe = BuildPath("app\\Movarin.exe");
  auto program = test::ReadWholeFile(exe);
  ASSERT_TRUE(program.has_value()) << exe;
  ASSERT_TRUE(test::WriteWholeFile(*folder_ / "Movarin.exe", *program));
  // The sound cues and the buttons' pictures, as they ship beside the program.
  for (const char* folder : {"Sounds", "Images"})
    ASSERT_TRUE(test::CopyTree(BuildPath(std::string("app\\") + folder), *folder_ / folder)) << folder;
  if (with_catalogue) {
    ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(*folder_ / "database.mdb", catalogue_,
                                                      tools::catalog_writer::CatalogueOptions{})
                    .ok());
  }
  ASSERT_TRUE(test::WriteWholeFile(*folder_ / "Movarin.ini", "[Server]\r\nBaseUrl=" + server_ + "\r\n"));
  ASSERT_NO_FATAL_FAILURE(PresetOperatingSystem());
  std::string error;
  app_ = Process::Launch({.program = *folder_ / "Movarin.exe"}, &error);
  ASSERT_TRUE(app_.has_value()) << error;
}

void MovarinTest::PresetOperatingSystem() {
  if (!preset_windows_xp_) return;
  settings::RegistrySettingsStore store;
  ASSERT_TRUE(store.WriteSwitch(settings::Key::kMovarinFilesWindowsXP, true));
  ASSERT_TRUE(store.WriteSwitch(settings::Key::kMovarinFilesWindowsVista7, false));
}

void MovarinTest::LaunchInstalled(const std::string& program) {
  ASSERT_NO_FATAL_FAILURE(PresetOperatingSystem());
  std::string error;
  app_ = Process::Launch({.program = program}, &error);
  ASSERT_TRUE(app_.has_value()) << error;
}

void MovarinTest::PassStartupChain() {
  using std::chrono::seconds;
  HWND sponsor = WaitForWindow({.class_name = "MovarinSponsorWindow", .process_id = app_->id()});
  ASSERT_NE(sponsor, nullptr) << "the sponsor window did not appear";
  std::string error;
  ASSERT_TRUE(PassSponsorWindow(sponsor, &error)) << error;
  // The update check goes on at once; the catalogue update at its first tick, a second
  // after it opened.
  HWND update = WaitForWindow({.class_name = "MovarinDatabaseUpdateWindow", .process_id = app_->id()}, seconds(30));
  ASSERT_NE(update, nullptr) << "the catalogue update did not open";
  ASSERT_TRUE(WaitForWindowGone(update, seconds(30))) << "the catalogue update did not go on:\n"
                                                      << DescribeWindow(update);
}

void MovarinTest::AttachMainWindow() {
  main_ = WaitForWindow({.title = "Movarin", .class_name = "MovarinMainWindow", .process_id = app_->id()});
  ASSERT_NE(main_, nullptr) << "the main window did not appear";
  // The header names the count once the start-up listing has run.
  ASSERT_TRUE(WaitUntil([this] { return FirstHeader().rfind("File name: ", 0) == 0; }))
      << "header: " << FirstHeader();
}

HWND MovarinTest::Control(MainControl role) const {
  return GetDlgItem(main_, main_program::Placement(role).id);
}

std::vector<std::string> MovarinTest::ListedNames() const {
  std::vector<std::string> names;
  for (const auto& row : ListViewRows(Control(MainControl::kResultsList))) names.push_back(row.at(0));
  return names;
}

std::string MovarinTest::FirstHeader() const {
  auto columns = ListViewColumns(Control(MainControl::kResultsList));
  return columns.empty() ? std::string() : columns[0];
}

void MovarinTest::SearchFor(const std::string& text) {
  ASSERT_TRUE(SetText(Control(MainControl::kSearchBox), text));
  Click(Control(MainControl::kSearchButton));
}

bool MovarinTest::NoticeVisible() const {
  return IsWindowVisible(Control(MainControl::kNotFoundNotice)) != FALSE;
}

void MovarinTest::ClickMenuItem(main_program::MenuItem item) {
  SendCommand(main_, static_cast<WORD>(main_program::kFirstMenuCommandId + static_cast<int>(item)));
}

void MovarinTest::CloseAnswering(const std::string& button) {
  PostMessageW(main_, WM_CLOSE, 0, 0);
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value()) << "no exit question";
  EXPECT_EQ(box->title, "Exit?");
  EXPECT_EQ(box->text, "Do you want to exit?");
  EXPECT_EQ(box->buttons, (std::vector<std::string>{"Yes", "No"}));
  ASSERT_TRUE(PressMessageBoxButton(box->window, button));
}

std::optional<std::string> MovarinTest::Option(const std::string& key) const {
  return ReadRegistryString(HKEY_CURRENT_USER, kOptionsKey, key);
}

void MovarinTest::Screenshot(HWND window, const std::string& name) const {
  std::string error;
  EXPECT_TRUE(SaveWindowScreenshot(window, name, &error).has_value()) << name << ": " << error;
}

}  // namespace movarin::e2e
