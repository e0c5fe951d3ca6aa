// Downloads from the test server through Movarin's windows, under Wine.
#include "tests/e2e/main/movarin_fixture.h"

#include "programs/main/download_dialog/download_dialog_layout.h"
#include "programs/main/download_folder_dialog/download_folder_dialog_layout.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"

#include <functional>
#include <thread>

namespace movarin::e2e {
namespace {

using main_program::MainControl;
using main_program::MenuItem;
namespace dd = main_program::download_dialog;
namespace fd = main_program::folder_dialog;

std::string Payload(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + 7) & 0xFF);
  return bytes;
}

class DownloadTest : public MovarinTest {
 protected:
  void SetUp() override {
    MovarinTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(PrepareDownloads());
  }
  void Serve(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(test::WriteWholeFile(server_files_ + "\\" + name, bytes));
  }
  HWND WaitForDialog() {
    return WaitForWindow({.class_name = "MovarinDownloadDialog", .process_id = app_->id()});
  }
};

TEST_F(DownloadTest, OneMatchDownloadsClosesTheDialogAndHandsOverToTheMainWindow) {
  const std::string bytes = Payload(5000);
  Serve("zlib1.dll", bytes);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  SearchFor("zlib");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "exactly one match opens the download dialog";
  ASSERT_TRUE(WaitUntil([&] { return test::FileSize(downloads_ + "\\zlib1.dll") == bytes.size(); }));
  EXPECT_EQ(test::ReadWholeFile(downloads_ + "\\zlib1.dll"), bytes);
  // Registering after a download is on by default: the hand-over runs the register
  // command ("Windows XP" is the fixture's choice), which refuses the payload, no library.
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value()) << "the register command did not run on the hand-over";
  EXPECT_EQ(box->text, "The file \"" + downloads_ + "\\zlib1.dll\" is not a DLL or OCX library. "
                       "Nothing was copied or registered.");
  ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
  EXPECT_TRUE(WaitForWindowGone(dialog)) << "the close box is checked: the dialog closes itself";
  EXPECT_EQ(GetText(Control(MainControl::kDownloadedNameField)), "zlib1.dll");
  EXPECT_EQ(GetText(Control(MainControl::kDownloadedPathField)), downloads_ + "\\zlib1.dll");
  EXPECT_EQ(GetText(Control(MainControl::kSignalField)), "") << "the signal was taken";
  EXPECT_NE(test::ServerLog().find("Range: bytes=0-"), std::string::npos);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui)) return nullptr;
  return gui.hwndFocus;
}

TEST_F(DownloadTest, TheFocusComesBackAfterABoxAnotherWindowAndTheDownloadDialog) {
  Serve("zlib1.dll", Payload(3000));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoRegisterNo);
  BringToFront(main_);
  HWND search_box = Control(MainControl::kSearchBox);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == search_box; })) << "at the window's opening";

  // The Search button's command with an empty box: a message box, then the focus is back.
  SendCommand(main_, static_cast<WORD>(main_program::Placement(MainControl::kSearchButton).id));
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
  ASSERT_TRUE(WaitForWindowGone(box->window));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == search_box; })) << "after a message box";

  // One match downloads in the dialog, which closes itself; the focus returns.
  ASSERT_TRUE(SetText(search_box, "zlib"));
  PressEnter(search_box);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitForWindowGone(dialog));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main_) == search_box; })) << "after the download dialog";

  // Another program's window takes the activation and gives it back: the control that
  // had the focus (now the Search button, one Tab on) has it again.
  TypeKey(VK_TAB);
  HWND search = Control(MainControl::kSearchButton);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == search; }));
  HWND other = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                               200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  // This thread owns a window now: it answers its messages while it waits.
  auto pumping = [](std::function<bool()> condition) {
    return [condition] {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      return condition();
    };
  };
  BringToFront(other);
  EXPECT_TRUE(WaitUntil(pumping([&] { return GetForegroundWindow() == other; })));
  // Movarin's thread lets go of its focus a moment after the activation has moved.
  EXPECT_TRUE(WaitUntil(pumping([&] { return FocusOf(main_) != search; })))
      << "the main window lost the activation";
  BringToFront(main_);
  EXPECT_TRUE(WaitUntil(pumping([&] { return FocusOf(main_) == search; }))) << "after deactivate and activate";
  DestroyWindow(other);
}

TEST_F(DownloadTest, NotFoundShowsOneBoxThenADownloadWithTheCloseBoxClearedStaysIdle) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoDownloadNo);
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // the downloads here are not libraries
  // "mscomctl.ocx" is not on the server: 404.
  SearchFor("msc");
  ASSERT_TRUE(WaitUntil([this] { return ListedNames().size() == 1; }));
  HWND list = Control(MainControl::kResultsList);
  ASSERT_TRUE(SelectListViewRow(list, 0));
  ClickMenuItem(MenuItem::kDownload);
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "Not downloaded");
  EXPECT_EQ(box->text, "Connection error");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Screenshot(dialog, "download-dialog-error");
  PressMessageBoxButton(box->window, "OK");
  ASSERT_TRUE(WaitForWindowGone(box->window));
  // Back to idle once the box is closed.
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, dd::kDownloadButton)) != FALSE; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value()) << "exactly one box";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, dd::kDownloadButton)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, dd::kCancelButton)));
  EXPECT_FALSE(test::FileExists(downloads_ + "\\mscomctl.ocx"));

  // Clear the close box, then start a download the way the other windows do.
  Click(GetDlgItem(dialog, dd::kCloseWindowCheck));
  const std::string bytes = Payload(3000);
  Serve("actbar.ocx", bytes);
  const std::string server = *test::EnvVar("MOVARIN_TEST_SERVER");
  ASSERT_TRUE(SetText(GetDlgItem(dialog, dd::kAddressBox), server + "files/actbar.ocx"));
  ASSERT_TRUE(SetText(GetDlgItem(dialog, dd::kStartSignal), "1"));
  EXPECT_EQ(test::ReadWholeFile(downloads_ + "\\actbar.ocx"), bytes);
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays";
  EXPECT_EQ(GetText(GetDlgItem(dialog, dd::kAddressBox)), "");
  EXPECT_EQ(GetText(GetDlgItem(dialog, dd::kFileNameLabel)), "actbar.ocx");
  EXPECT_EQ(GetText(GetDlgItem(dialog, dd::kFolderLabel)), downloads_);
  EXPECT_EQ(GetText(GetDlgItem(dialog, dd::kPercentLabel)), "100 %");
  EXPECT_FALSE(GetText(GetDlgItem(dialog, dd::kStartTimeLabel)).empty());
  EXPECT_FALSE(GetText(GetDlgItem(dialog, dd::kEndTimeLabel)).empty());
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, dd::kDownloadButton)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, dd::kAddressBox)));
  Screenshot(dialog, "download-dialog-done");
}

TEST_F(DownloadTest, OpenFolderAfterDownloadShowsTheFolderInTheFileExplorer) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // the download here is not a library
  // The dialog, opened by a download the server refuses, stays idle with its boxes.
  SearchFor("msc");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, dd::kDownloadButton)) != FALSE; }));
  HWND open_folder = GetDlgItem(dialog, dd::kOpenFolderCheck);
  Click(open_folder);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(open_folder, BM_GETCHECK, 0, 0) == BST_CHECKED; }));

  const std::string bytes = Payload(2000);
  Serve("zlib1.dll", bytes);
  ASSERT_TRUE(SetText(GetDlgItem(dialog, dd::kAddressBox), *test::EnvVar("MOVARIN_TEST_SERVER") + "files/zlib1.dll"));
  ASSERT_TRUE(SetText(GetDlgItem(dialog, dd::kStartSignal), "1"));
  EXPECT_EQ(test::ReadWholeFile(downloads_ + "\\zlib1.dll"), bytes);

  // The shell's file explorer, a process of its own, opens on the download folder and
  // lists the file just downloaded.
  HWND explorer = WaitForWindow({.title = "downloads", .class_name = "ExplorerWClass"}, std::chrono::seconds(30));
  ASSERT_NE(explorer, nullptr) << "no file-explorer window opened on the download folder";
  struct Closer {  // the explorer is not Movarin's: it would outlive the test
    HWND window;
    ~Closer() { PostMessageW(window, WM_CLOSE, 0, 0); }
  } closer{explorer};
  EXPECT_NE(ProcessOf(explorer), app_->id());
  HWND files = WaitForChild(explorer, {.class_name = "SysListView32"});
  ASSERT_NE(files, nullptr) << DescribeWindow(explorer);
  EXPECT_TRUE(WaitUntil([&] {
    for (const auto& row : ListViewRows(files))
      if (!row.empty() && row[0].starts_with("zlib1")) return true;  // with or without extension
    return false;
  })) << "the explorer does not list the downloaded file";
}

TEST_F(DownloadTest, DownloadChosenFromTheRowsOwnMenuFetchesThatRow) {
  const std::string bytes = Payload(2500);
  Serve("zlib1.dll", bytes);
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // the download here is not a library
  HWND list = Control(MainControl::kResultsList);
  ASSERT_TRUE(WaitUntil([this] { return ListedNames().size() == 7 && ListedNames()[6] == "zlib1.dll"; }));
  auto row = ListViewRowRect(list, 6);
  ASSERT_TRUE(row.has_value());
  ClickAt(list, row->left + 20, (row->top + row->bottom) / 2, MouseButton::kRight);
  HWND menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(ChoosePopupMenuItem(menu, "Download (zlib1.dll)"));
  EXPECT_TRUE(WaitUntil([&] { return test::ReadWholeFile(downloads_ + "\\zlib1.dll") == bytes; }));
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
}

// The file and every temporary one beside it: what a download left in the folder.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

TEST_F(DownloadTest, ClosingTheDialogOrTheMainWindowInTheMiddleOfABodyLeavesNothingBehind) {
  // Half the file, then the server holds the rest back.
  Serve("actbar.ocx", Payload(20480));
  ASSERT_TRUE(test::ControlServer("set?path=/files/actbar.ocx&mode=stall&bytes=10240&delay_ms=60000"));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // nothing is ever handed over here
  auto download_half_way = [&] {
    SearchFor("actbar");
    HWND dialog = WaitForDialog();
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return GetText(GetDlgItem(dialog, dd::kPercentLabel)) == "50 %"; },
                          std::chrono::seconds(20)));
    return dialog;
  };

  HWND dialog = download_half_way();
  ASSERT_NE(dialog, nullptr);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForWindowGone(dialog));
  EXPECT_TRUE(Entries(downloads_).empty()) << "a partial file was left";
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
  // The main window goes on: a search with two matches lists them (and downloads nothing).
  SearchFor("act");
  EXPECT_TRUE(WaitUntil([this] { return ListedNames().size() == 2; })) << "the main window is stuck";

  dialog = download_half_way();
  ASSERT_NE(dialog, nullptr);
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value()) << "the program did not end";
  EXPECT_TRUE(Entries(downloads_).empty()) << "a partial file was left";
}

TEST_F(DownloadTest, FolderSavedInTheFolderDialogIsUsedAndSurvivesARestart) {
  settings::RegistrySettingsStore().Write(settings::Key::kDownloadPath, "");
  ASSERT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, kOptionsKey));
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // the download here is not a library
  ClickMenuItem(MenuItem::kSetDownloadPath);
  HWND dialog = WaitForWindow({.class_name = "MovarinDownloadFolderDialog", .process_id = app_->id()});
  ASSERT_NE(dialog, nullptr);
  HWND box = GetDlgItem(dialog, fd::kFolderBox);
  EXPECT_EQ(GetText(box), "C:\\WINDOWS\\system32") << "never saved: the system folder";
  Screenshot(dialog, "download-folder-dialog");
  const std::string chosen = *folder_ / "chosen";  // created by the engine, one level
  ASSERT_TRUE(SetText(box, chosen));
  Click(GetDlgItem(dialog, fd::kSaveButton));
  ASSERT_TRUE(WaitForWindowGone(dialog));
  EXPECT_EQ(Option("downloadpath"), chosen);

  const std::string bytes = Payload(1025);
  Serve("comdlg32.ocx", bytes);
  SearchFor("comdlg");
  ASSERT_TRUE(WaitUntil([&] { return test::ReadWholeFile(chosen + "\\comdlg32.ocx") == bytes; }));
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());

  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kSetDownloadPath);
  dialog = WaitForWindow({.class_name = "MovarinDownloadFolderDialog", .process_id = app_->id()});
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetText(GetDlgItem(dialog, fd::kFolderBox)), chosen);
}

}  // namespace
}  // namespace movarin::e2e
