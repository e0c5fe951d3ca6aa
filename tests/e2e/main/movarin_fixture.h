#pragma once
// Movarin.exe started for a test: a program folder of its own with a catalogue written
// by our writer, the cues and pictures and a Movarin.ini pointing at the test server, a clean settings key (put
// back as it was after the test), and the main window's controls at hand.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "programs/main/command_menu/command_menu_items.h"
#include "programs/main/main_window/main_window_layout.h"
#include "tools/catalog/writer/jet_writer.h"
#include "tests/e2e/driver/driver.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/registry_snapshot.h"

namespace movarin::e2e {

inline const std::string kOptionsKey = "Software\\VB and VBA Program Settings\\MovarinFiles\\OPTIONS";

// The demo catalogue the tests search.
const std::vector<tools::catalog_writer::CatalogueEntry>& DemoCatalogue();

class MovarinTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the program folder (Movarin.exe, its Sounds and Images, database.mdb unless
  // `with_catalogue` is false, Movarin.ini naming server_) and starts the program the way
  // a user does: through the start-up chain. The sponsor window is passed (a sponsor link
  // followed), then the update check and the catalogue update go on by themselves, as
  // they do with the test server as it normally is (version 2, no larger catalogue) and
  // with no server at all. Returns once the catalogue update has handed over. With
  // preset_windows_xp_ the store says "Windows XP" first, so that the operating-system
  // choice after the chain passes straight on to the main window.
  void Start(bool with_catalogue = true);
  // The program folder and the start, nothing more: for tests of the chain itself.
  void Launch(bool with_catalogue = true);
  // Starts a Movarin.exe that lies elsewhere as it stands, with the folder, catalogue and
  // Movarin.ini it has there (an installed one).
  void LaunchInstalled(const std::string& program);
  // Stores "Windows XP" as the operating system (unless preset_windows_xp_ is false), so
  // that the choice window does not ask after the start-up chain.
  void PresetOperatingSystem();
  // The rest of Start: the sponsor window passed, the catalogue update gone.
  void PassStartupChain();
  // Waits for the main window and its controls (after the load has run).
  void AttachMainWindow();
  HWND Control(main_program::MainControl role) const;
  std::vector<std::string> ListedNames() const;
  std::string FirstHeader() const;
  // Search box text, then the Search button.
  void SearchFor(const std::string& text);
  // The not-found notice is visible at this moment.
  bool NoticeVisible() const;
  void ClickMenuItem(main_program::MenuItem item);
  // Posts WM_CLOSE and answers the exit question.
  void CloseAnswering(const std::string& button);
  std::optional<std::string> Option(const std::string& key) const;
  void Screenshot(HWND window, const std::string& name) const;
  // For tests that download: the test server reset, server_files_ its files folder, and
  // downloads_ a fresh folder that the settings name as the download folder.
  void PrepareDownloads();

  // The catalogue Start writes: the demo catalogue, unless a test adds to it first.
  std::vector<tools::catalog_writer::CatalogueEntry> catalogue_ = DemoCatalogue();
  // ServerBaseUrl for the program: the test server, or an address where nothing listens.
  std::string server_;
  // The options Movarin saves on closing are the test's own: the prefix's settings are
  // put back as they were when the test ends.
  std::optional<test::RegistrySnapshot> settings_;
  // Set to false before Start to leave the operating-system keys as they are (an empty
  // store at first): the program then starts as the user's first start does.
  bool preset_windows_xp_ = true;
  std::optional<test::TempFolder> folder_;
  std::string server_files_;  // set by PrepareDownloads
  std::string downloads_;
  std::optional<Process> app_;
  HWND main_ = nullptr;
};

}  // namespace movarin::e2e
