// movarin-demo: what `make run` does without a display of the user's: starts Movarin,
// passes its start-up chain (sponsor page, update check, catalogue update, which fetches
// the server's larger catalogue), searches, downloads one file from the local server,
// saves screenshots under out/ and prints each step.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "programs/main/command_menu/command_menu_items.h"
#include "programs/main/main_window/main_window_layout.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/e2e/driver/driver.h"
#include "tests/support/files.h"

using namespace movarin;
using namespace movarin::e2e;

namespace {

void Say(const std::string& text) {
  std::printf("demo: %s\n", text.c_str());
  std::fflush(stdout);
}

int Fail(const std::string& text) {
  Say("FAILED: " + text);
  return 1;
}

HWND ControlOf(HWND main, main_program::MainControl role) {
  return GetDlgItem(main, main_program::Placement(role).id);
}

void Shot(HWND window, const std::string& name) {
  if (auto path = SaveWindowScreenshot(window, name)) Say("screenshot " + *path);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Fail("usage: movarin-demo <Movarin.exe> <download folder>");
  char program[MAX_PATH], downloads[MAX_PATH];
  WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, program, MAX_PATH, nullptr, nullptr);
  WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, downloads, MAX_PATH, nullptr, nullptr);

  settings::RegistrySettingsStore().Write(settings::Key::kDownloadPath, downloads);
  Say(std::string("download folder set to ") + downloads);
  std::string error;
  auto app = Process::Launch({.program = program}, &error);
  if (!app) return Fail("cannot start Movarin: " + error);
  // The start-up chain: the sponsor page, the update check, the catalogue update.
  HWND sponsor = WaitForWindow({.class_name = "MovarinSponsorWindow", .process_id = app->id()});
  if (!sponsor) return Fail("the sponsor window did not appear");
  if (HWND view = FindPageView(sponsor); view && WaitForPage(view)) {
    Say("sponsor page shown: " + PageViewAddress(view) + " with " +
        std::to_string(PageViewLinkCount(view).value_or(0)) + " links");
  }
  Shot(sponsor, "demo-0-sponsor");
  if (!PassSponsorWindow(sponsor, &error)) return Fail(error);
  Say("a sponsor link followed: the sponsor window gave way to the update check");
  if (HWND update = WaitForWindow({.class_name = "MovarinDatabaseUpdateWindow", .process_id = app->id()},
                                  std::chrono::seconds(30))) {
    Say("the update check found no newer program; the catalogue update checks the server's copy");
    Shot(update, "demo-0-catalogue-update");
    if (!WaitForWindowGone(update, std::chrono::seconds(60))) return Fail("the catalogue update did not go on");
  }
  HWND main = WaitForWindow({.title = "Movarin", .class_name = "MovarinMainWindow", .process_id = app->id()});
  if (!main) return Fail("the main window did not appear");
  HWND list = ControlOf(main, main_program::MainControl::kResultsList);
  WaitUntil([&] { return ListViewRowCount(list) > 0; });
  Say("main window up: " + ListViewColumns(list).at(0));
  Shot(main, "demo-1-start");

  SetText(ControlOf(main, main_program::MainControl::kSearchBox), "ms");
  Click(ControlOf(main, main_program::MainControl::kSearchButton));
  WaitUntil([&] { return ListViewRowCount(list) == 4; });
  std::string names;
  for (const auto& row : ListViewRows(list)) names += " " + row.at(0);
  Say("search \"ms\" lists" + names);
  Shot(main, "demo-2-search");

  SetText(ControlOf(main, main_program::MainControl::kSearchBox), "zlib");
  Click(ControlOf(main, main_program::MainControl::kSearchButton));
  const std::string target = std::string(downloads) + "\\zlib1.dll";
  if (WaitForWindow({.class_name = "MovarinDownloadDialog", .process_id = app->id()}))
    Say("search \"zlib\" found one file: the download dialog opened");
  if (!WaitUntil([&] { return test::FileExists(target); }))
    return Fail("zlib1.dll was not downloaded");
  Say("downloaded " + target + " (" + std::to_string(*test::FileSize(target)) + " bytes)");
  Shot(main, "demo-3-downloaded");

  PostMessageW(main, WM_CLOSE, 0, 0);
  if (auto box = WaitForMessageBox(app->id())) {
    Say("close asks \"" + box->text + "\": Yes");
    PressMessageBoxButton(box->window, "Yes");
  }
  if (!app->WaitForExit()) return Fail("Movarin did not end");
  Say("Movarin ended; options saved to the registry");
  return 0;
}
