// movarin-demo: what `make run` does without a display of the user's: starts Movarin,
// passes its start-up chain (sponsor page, update check, catalogue update, which fetches
// the server's larger catalogue), searches, downloads one file from the local server,
// registers a real COM library downloaded the same way (run.bat, copy and regsvr32 /s)
// and unregisters it again in the unregister dialog, saves screenshots under out/ and
// prints each step.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "programs/main/command_menu/command_menu_items.h"
#include "programs/main/main_window/main_window_layout.h"
#include "programs/main/unregister_dialog/unregister_dialog_layout.h"
#include "platform/win32/text.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/e2e/driver/driver.h"
#include "tests/support/files.h"
#include "tools/test_com_dll/test_com_ids.h"

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

void ChooseMenuItem(HWND main, main_program::MenuItem item) {
  SendCommand(main, static_cast<WORD>(main_program::kFirstMenuCommandId + static_cast<int>(item)));
}

std::string SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  return win32::Narrow(std::wstring_view(folder, n < MAX_PATH ? n : 0));
}

// The class key the test COM library writes when it is registered, and its server path.
bool LibraryRegistered() { return RegistryKeyExists(HKEY_LOCAL_MACHINE, win32::Narrow(test_com::kClassKey)); }
std::string RegisteredServer() {
  return ReadRegistryString(HKEY_LOCAL_MACHINE, win32::Narrow(test_com::kServerKey), "").value_or("");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Fail("usage: movarin-demo <Movarin.exe> <download folder>");
  char program[MAX_PATH], downloads[MAX_PATH];
  WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, program, MAX_PATH, nullptr, nullptr);
  WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, downloads, MAX_PATH, nullptr, nullptr);

  settings::RegistrySettingsStore store;
  store.Write(settings::Key::kDownloadPath, downloads);
  Say(std::string("download folder set to ") + downloads);
  // Found files are downloaded and registered at once; Movarin writes and opens run.bat
  // itself ("Windows XP"), and regsvr32 registers silently.
  using settings::Key;
  for (auto [key, on] : {std::pair{Key::kYesMovarinFiles2, true}, {Key::kNoMovarinFiles2, false},
                         {Key::kYesMovarinFiles3, true}, {Key::kNoMovarinFiles3, false},
                         {Key::kMovarinFilesWindowsXP, true}, {Key::kMovarinFilesWindowsVista7, false},
                         {Key::kYesMovarinFiles1, true}, {Key::kNoMovarinFiles1, false}})
    store.WriteSwitch(key, on);
  Say("options: download and register found files, \"Windows XP\", register silently \"Yes\"");
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
  WaitUntil([&] { return ListViewRowCount(list) == 3; });  // the three "ms" names of the demo catalogue
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
  // The demo server's zlib1.dll is a stand-in of random bytes: registering it after the
  // download is refused before anything reaches the system folder.
  if (auto box = WaitForMessageBox(app->id())) {
    Say("register after download: \"" + box->text + "\"");
    Shot(box->window, "demo-3-not-a-library");
    PressMessageBoxButton(box->window, "OK");
    WaitForWindowGone(box->window);
  }
  Shot(main, "demo-3-downloaded");

  // A real COM library: downloaded, copied into the system folder and registered by the
  // run.bat Movarin writes and opens.
  const std::string system_copy = SystemFolder() + "\\" + test_com::kFileName;
  SetText(ControlOf(main, main_program::MainControl::kSearchBox), "movarin");
  Click(ControlOf(main, main_program::MainControl::kSearchButton));
  if (!WaitUntil(LibraryRegistered, std::chrono::seconds(60)))
    return Fail(std::string(test_com::kFileName) + " was not registered");
  Say(std::string("search \"movarin\" downloaded ") + test_com::kFileName + "; run.bat copied it to " +
      SystemFolder() + " and regsvr32 /s registered it: " + win32::Narrow(test_com::kClassName) + ", server " +
      RegisteredServer());
  if (auto bat = test::ReadWholeFile(std::string(program).substr(0, std::string(program).rfind('\\')) + "\\run.bat"))
    Say("run.bat:\n" + *bat);
  Shot(main, "demo-4-registered");

  // Unregistered again from the unregister dialog: regsvr32 /s /u on the name.
  ChooseMenuItem(main, main_program::MenuItem::kUnregisterFile);
  namespace ud = main_program::unregister_dialog;
  HWND dialog = WaitForWindow({.class_name = "MovarinUnregisterDialog", .process_id = app->id()});
  if (!dialog) return Fail("the unregister dialog did not open");
  SetText(GetDlgItem(dialog, ud::kFileBox), test_com::kFileName);
  Shot(dialog, "demo-5-unregister-dialog");
  Click(GetDlgItem(dialog, ud::kUnregisterButton));
  if (!WaitUntil([] { return !LibraryRegistered(); }, std::chrono::seconds(60)))
    return Fail(std::string(test_com::kFileName) + " was not unregistered");
  Say(std::string("the unregister dialog ran regsvr32 /s /u ") + test_com::kFileName + ": its class key is gone");
  // The demo leaves no library of its own in the system folder.
  WaitUntil([&] { return !test::FileExists(system_copy) || DeleteFileW(win32::Widen(system_copy).c_str()); },
            std::chrono::seconds(10));
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  WaitForWindowGone(dialog);

  PostMessageW(main, WM_CLOSE, 0, 0);
  if (auto box = WaitForMessageBox(app->id())) {
    Say("close asks \"" + box->text + "\": Yes");
    PressMessageBoxButton(box->window, "Yes");
  }
  if (!app->WaitForExit()) return Fail("Movarin did not end");
  Say("Movarin ended; options saved to the registry");
  return 0;
}
