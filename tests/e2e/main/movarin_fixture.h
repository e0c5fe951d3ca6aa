#pragma once
// Movarin.exe started for a test: a program folder of its own with a catalogue written
// by our writer and a Movarin.ini pointing at the test server, a clean settings key, and
// the main window's controls at hand.
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

namespace movarin::e2e {

inline const std::string kOptionsKey = "Software\\VB and VBA Program Settings\\MovarinFiles\\OPTIONS";

// The demo catalogue the tests search.
const std::vector<tools::catalog_writer::CatalogueEntry>& DemoCatalogue();

class MovarinTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the program folder (Movarin.exe, database.mdb unless `with_catalogue` is
  // false, Movarin.ini) and starts the program.
  void Start(bool with_catalogue = true);
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

  // The catalogue Start writes: the demo catalogue, unless a test adds to it first.
  std::vector<tools::catalog_writer::CatalogueEntry> catalogue_ = DemoCatalogue();
  std::optional<test::TempFolder> folder_;
  std::optional<Process> app_;
  HWND main_ = nullptr;
};

}  // namespace movarin::e2e
