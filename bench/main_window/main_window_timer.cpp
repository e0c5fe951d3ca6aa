// main-window-timer <Movarin.exe> <runs> <search text> <expected rows>: starts Movarin
// (its folder holds the catalogue), passes its start-up windows as a user does, and
// measures, as a user would see it, the time from the end of the start-up windows until
// the main window is up and listed, and the time one search takes to show its rows.
// Prints "startup_ms <median>" and "search_ms <median>". The start-up windows themselves
// (the sponsor page, the update checks) do not depend on the catalogue's size and are
// not measured; the folder's Movarin.ini should name a server where nothing listens, so
// that they end at once.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "programs/main/main_window/main_window_layout.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/support/win32/registry_snapshot.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/page_view.h"

using namespace movarin;
using namespace movarin::e2e;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

HWND ControlOf(HWND main, main_program::MainControl role) {
  return GetDlgItem(main, main_program::Placement(role).id);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: main-window-timer <Movarin.exe> <runs> <search> <rows>\n");
    return 2;
  }
  char program[MAX_PATH], search[256];
  WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, program, MAX_PATH, nullptr, nullptr);
  WideCharToMultiByte(CP_UTF8, 0, argv[3], -1, search, 256, nullptr, nullptr);
  const int runs = std::max(1, _wtoi(argv[2]));
  const int expected_rows = _wtoi(argv[4]);

  // A one-row answer must not start a download: only the search is measured. The
  // options go back to what they were when the measurement ends.
  const test::RegistrySnapshot keep_settings(
      HKEY_CURRENT_USER, win32::Widen(settings::RegistrySettingsStore::KeyPath()));
  settings::RegistrySettingsStore store;
  store.WriteSwitch(settings::Key::kYesMovarinFiles2, false);
  store.WriteSwitch(settings::Key::kNoMovarinFiles2, true);
  // One operating system stored: the choice window does not ask.
  store.WriteSwitch(settings::Key::kMovarinFilesWindowsXP, true);
  store.WriteSwitch(settings::Key::kMovarinFilesWindowsVista7, false);

  std::vector<double> startup, searches;
  for (int run = 0; run < runs; ++run) {
    auto app = Process::Launch({.program = program});
    if (!app) return 1;
    HWND sponsor = WaitForWindow({.class_name = "MovarinSponsorWindow", .process_id = app->id()},
                                 milliseconds(60000));
    std::string error;
    if (!sponsor || !PassSponsorWindow(sponsor, &error)) {
      std::fprintf(stderr, "main-window-timer: the sponsor window was not passed: %s\n", error.c_str());
      return 1;
    }
    HWND update = WaitForWindow({.class_name = "MovarinDatabaseUpdateWindow", .process_id = app->id()},
                                milliseconds(60000));
    if (!update || !WaitForWindowGone(update, milliseconds(60000))) {
      std::fprintf(stderr, "main-window-timer: the catalogue update did not end\n");
      return 1;
    }
    const auto start = Clock::now();
    HWND main = WaitForWindow({.title = "Movarin", .class_name = "MovarinMainWindow",
                               .process_id = app->id()}, milliseconds(60000));
    if (!main) {
      std::fprintf(stderr, "main-window-timer: the main window did not appear\n");
      return 1;
    }
    HWND list = ControlOf(main, main_program::MainControl::kResultsList);
    if (!WaitUntil([&] { return ListViewRowCount(list) > 0 && IsWindowVisible(main); },
                   milliseconds(60000), milliseconds(1))) {
      std::fprintf(stderr, "main-window-timer: the main window listed nothing\n");
      return 1;
    }
    startup.push_back(Ms(Clock::now() - start));

    SetText(ControlOf(main, main_program::MainControl::kSearchBox), search);
    const auto asked = Clock::now();
    Click(ControlOf(main, main_program::MainControl::kSearchButton));
    if (!WaitUntil([&] { return ListViewRowCount(list) == expected_rows; }, milliseconds(60000),
                   milliseconds(1)))
      return 1;
    searches.push_back(Ms(Clock::now() - asked));
    app->Kill();
  }
  std::printf("startup_ms %.1f\nsearch_ms %.1f\n", Median(startup), Median(searches));
  return 0;
}
