// Movarin's main window under Wine, worked through window messages like a user would.
#include "tests/e2e/main/movarin_fixture.h"

#include <map>
#include <thread>


namespace movarin::e2e {
namespace {

using main_program::MainControl;
using main_program::MenuItem;
using namespace std::chrono_literals;

const std::vector<std::string> kSorted = {"actbar.ocx",   "ACTSKIN4.OCX", "comdlg32.ocx",
                                          "mscomctl.ocx", "O'Reilly.dll", "sample3000.bin.dll",
                                          "zlib1.dll"};
const std::vector<std::string> kDatabaseOrder = {"ACTSKIN4.OCX", "actbar.ocx",   "comdlg32.ocx",
                                                 "mscomctl.ocx", "O'Reilly.dll", "zlib1.dll",
                                                 "sample3000.bin.dll"};

TEST_F(MovarinTest, FirstStartListsTheSortedCatalogueAndSavesThePairDefaults) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(FirstHeader(), "File name: 7");
  EXPECT_EQ(ListViewColumns(Control(MainControl::kResultsList))[1], "File Version");
  EXPECT_EQ(ListedNames(), kSorted);
  EXPECT_EQ(ListViewCell(Control(MainControl::kResultsList), 1, 1), "4.3.0.0");
  EXPECT_EQ(GetText(Control(MainControl::kQuoteField)), "\"");
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &gui));
  EXPECT_EQ(gui.hwndFocus, Control(MainControl::kSearchBox)) << "the search box has the focus";
  Screenshot(main_, "main-window");
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value()) << "Yes ends the program";
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"YesMovarinFiles1", "False"}, {"NoMovarinFiles1", "True"},
      {"YesMovarinFiles2", "True"},  {"NoMovarinFiles2", "False"},
      {"YesMovarinFiles3", "True"},  {"NoMovarinFiles3", "False"},
      {"Filefoundsound", "True"},    {"Filenotfoundsound", "True"},
      {"MovarinFilesWindowsXP", "True"}, {"MovarinFilesWindowsVista7", "False"}};  // the fixture's choice
  for (const auto& [key, value] : expected) EXPECT_EQ(Option(key), value) << key;
}

TEST_F(MovarinTest, SearchesListMatchesInDatabaseOrderAndAMissShowsTheNotice) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoDownloadNo);  // one match would otherwise start a download
  HWND list = Control(MainControl::kResultsList);

  SearchFor("act");
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 2; }));
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"ACTSKIN4.OCX", "actbar.ocx"}));

  SearchFor("ZLIB");
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 1; }));
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"zlib1.dll"});
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindTopWindow({.class_name = "MovarinDownloadDialog", .process_id = app_->id()}), nullptr)
      << "automatic download is off";

  SearchFor("nothing-like-this");
  ASSERT_TRUE(WaitUntil([this] { return NoticeVisible(); }, 5000ms, 1ms)) << "notice never shown";
  Screenshot(main_, "main-window-not-found");
  ASSERT_TRUE(WaitUntil([this] { return !NoticeVisible(); })) << "notice never hidden";
  EXPECT_EQ(ListedNames(), kSorted) << "a miss lists the whole catalogue again";

  SearchFor("%");
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 7; }));
  EXPECT_EQ(ListedNames(), kDatabaseOrder);

  SearchFor("O'R");
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 1; }));
  EXPECT_EQ(ListedNames(), std::vector<std::string>{"O'Reilly.dll"});
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value()) << "an apostrophe breaks nothing";
  EXPECT_EQ(FirstHeader(), "File name: 7") << "searches never change the header";
}

TEST_F(MovarinTest, EmptyTextAsksForANameAndEnterWithBlanksDoesNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  SearchFor("");
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "Movarin");
  EXPECT_EQ(box->text, "The dll or ocx file field is empty.");
  PressMessageBoxButton(box->window, "OK");
  ASSERT_TRUE(WaitForWindowGone(box->window));

  HWND search = Control(MainControl::kSearchBox);
  ASSERT_TRUE(SetText(search, "   "));
  PressEnter(search);
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
  EXPECT_FALSE(NoticeVisible());
  EXPECT_EQ(GetText(search), "   ") << "Enter is swallowed, no new line";

  ASSERT_TRUE(SetText(search, "act"));
  PressEnter(search);
  ASSERT_TRUE(WaitUntil([this] { return ListedNames().size() == 2; })) << "Enter searches";

  ASSERT_TRUE(SetText(search, "   "));
  Click(Control(MainControl::kSearchButton));
  ASSERT_TRUE(WaitUntil([this] { return ListedNames().size() == 7; }))
      << "the button searches names beginning with blanks: a miss";
}

TEST_F(MovarinTest, RowClicksRenameTheDownloadItemAndRefreshKeepsTheHeader) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  HWND list = Control(MainControl::kResultsList);
  auto row = ListViewRowRect(list, 2);
  ASSERT_TRUE(row.has_value());
  ClickAt(list, row->left + 20, (row->top + row->bottom) / 2, MouseButton::kLeft);
  ASSERT_TRUE(WaitUntil([&] { return ListViewSelectedRows(list) == std::vector<int>{2}; }));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindPopupMenu(app_->id()), nullptr) << "a left click pops up nothing";

  row = ListViewRowRect(list, 3);
  ClickAt(list, row->left + 20, (row->top + row->bottom) / 2, MouseButton::kRight);
  HWND menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr);
  auto items = PopupMenuItems(menu);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].text, "Download (mscomctl.ocx)");
  EXPECT_EQ(items[1].text, "Refresh");
  RECT r;
  GetWindowRect(menu, &r);
  EXPECT_TRUE(SaveScreenRegion(r, "menu-context").has_value());
  ClosePopupMenu(menu);
  ASSERT_TRUE(WaitForWindowGone(menu));

  ClickMenuItem(MenuItem::kAutoDownloadNo);
  SearchFor("act");
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 2; }));
  ClickMenuItem(MenuItem::kRefresh);
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 7; }));
  EXPECT_EQ(ListedNames(), kSorted);
  EXPECT_EQ(FirstHeader(), "File name: 7");
}

int FocusedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

TEST_F(MovarinTest, EveryNewResultSetLeavesNoRowSelectedOrFocused) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(MenuItem::kAutoDownloadNo);
  HWND list = Control(MainControl::kResultsList);
  auto press_row = [&](int index) {
    auto row = ListViewRowRect(list, index);
    ASSERT_TRUE(row.has_value());
    ClickAt(list, row->left + 20, (row->top + row->bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] { return ListViewSelectedRows(list) == std::vector<int>{index}; }));
  };
  auto nothing_chosen = [&] { return ListViewSelectedRows(list).empty() && FocusedRow(list) == -1; };

  ASSERT_NO_FATAL_FAILURE(press_row(1));
  SearchFor("act");
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 2; }));
  EXPECT_TRUE(WaitUntil(nothing_chosen)) << "a search kept row 1 selected: now another file";

  ASSERT_NO_FATAL_FAILURE(press_row(0));
  ClickMenuItem(MenuItem::kRefresh);
  ASSERT_TRUE(WaitUntil([&] { return ListViewRowCount(list) == 7; }));
  EXPECT_TRUE(WaitUntil(nothing_chosen)) << "Refresh kept the selection";

  ASSERT_NO_FATAL_FAILURE(press_row(4));
  SearchFor("nothing-like-this");
  ASSERT_TRUE(WaitUntil([this] { return !NoticeVisible() && ListedNames() == kSorted; }));
  EXPECT_TRUE(nothing_chosen()) << "a miss lists the catalogue again with nothing chosen";
}

TEST_F(MovarinTest, APressOnARowActsBeforeTheButtonIsReleased) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  HWND list = Control(MainControl::kResultsList);
  auto at_row = [&](int index) {
    auto row = ListViewRowRect(list, index);
    EXPECT_TRUE(row.has_value());
    return row ? MAKELPARAM(row->left + 20, (row->top + row->bottom) / 2) : 0;
  };
  // The right button goes down on "O'Reilly.dll" and stays down: the menu is up already.
  PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at_row(4));
  HWND menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr) << "the menu waited for the release";
  auto items = PopupMenuItems(menu);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items[0].text, "Download (O'Reilly.dll)");
  EXPECT_EQ(ListViewSelectedRows(list), std::vector<int>{4}) << "the pressed row is the selected one";
  ClosePopupMenu(menu);
  ASSERT_TRUE(WaitForWindowGone(menu));
  PostMessageW(list, WM_RBUTTONUP, 0, at_row(4));

  // A press beside every row chooses nothing and shows no menu.
  RECT client{};
  GetClientRect(list, &client);
  PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.right - 4, client.bottom - 4));
  PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(client.right - 4, client.bottom - 4));
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(FindPopupMenu(app_->id()), nullptr);
  EXPECT_TRUE(ListViewSelectedRows(list).empty());
}

// Check marks of the options menu's submenus, read from the popped-up menu.
std::map<std::string, std::vector<std::pair<std::string, bool>>> OptionMarks(HWND main, DWORD pid) {
  std::map<std::string, std::vector<std::pair<std::string, bool>>> marks;
  ClickCenter(GetDlgItem(main, main_program::Placement(MainControl::kMenuLabel).id));
  HWND menu = WaitForPopupMenu(pid);
  if (!menu) return marks;
  for (const auto& item : PopupMenuItems(menu)) {
    if (!item.has_submenu) continue;
    for (const auto& sub : ReadMenu(main, item.submenu)) marks[item.text].emplace_back(sub.text, sub.checked);
  }
  ClosePopupMenu(menu);
  WaitForWindowGone(menu);
  return marks;
}

using Marks = std::vector<std::pair<std::string, bool>>;

TEST_F(MovarinTest, EmptyStoreChecksThePairDefaultsAndRealMenuClicksToggleThem) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  auto marks = OptionMarks(main_, app_->id());
  EXPECT_EQ(marks["Sounds"], (Marks{{"File found sound", true}, {"File not found sound", true}}));
  EXPECT_EQ(marks["Register ocx or dll files silently"], (Marks{{"Yes", false}, {"No", true}}));
  EXPECT_EQ(marks["Automatically download ocx or dll files when found"], (Marks{{"Yes", true}, {"No", false}}));
  EXPECT_EQ(marks["Automatically register ocx or dll files when downloaded"], (Marks{{"Yes", true}, {"No", false}}));
  EXPECT_EQ(marks["Windows operating system"], (Marks{{"Windows Vista/7", false}, {"Windows XP", true}}))
      << "as the fixture stores it";

  // Clicking the checked "No" leaves neither; clicking "Yes" then checks it alone.
  ClickCenter(Control(MainControl::kMenuLabel));
  HWND menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(ChoosePopupMenuPath(menu, {"Register ocx or dll files silently", "No"}));
  ASSERT_TRUE(WaitUntil([&] { return FindPopupMenu(app_->id()) == nullptr; }));
  marks = OptionMarks(main_, app_->id());
  EXPECT_EQ(marks["Register ocx or dll files silently"], (Marks{{"Yes", false}, {"No", false}}));
  ClickCenter(Control(MainControl::kMenuLabel));
  menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(ChoosePopupMenuPath(menu, {"Sounds", "File found sound"}));
  ASSERT_TRUE(WaitUntil([&] { return FindPopupMenu(app_->id()) == nullptr; }));
  marks = OptionMarks(main_, app_->id());
  EXPECT_EQ(marks["Sounds"], (Marks{{"File found sound", false}, {"File not found sound", true}}));
}

TEST_F(MovarinTest, OptionMenusPopUpAndPairsToggleThroughNeither) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickCenter(Control(MainControl::kMenuLabel));
  HWND menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> captions;
  for (const auto& item : PopupMenuItems(menu)) captions.push_back(item.text);
  EXPECT_EQ(captions, (std::vector<std::string>{
                          "Sounds", "Register ocx or dll files silently",
                          "Automatically download ocx or dll files when found",
                          "Automatically register ocx or dll files when downloaded",
                          "Set the download path", "Search multi dll or ocx files",
                          "Unregister ocx or dll file name", "Windows operating system"}));
  RECT r;
  GetWindowRect(menu, &r);
  EXPECT_TRUE(SaveScreenRegion(r, "menu-options").has_value());
  ClosePopupMenu(menu);
  ASSERT_TRUE(WaitForWindowGone(menu));

  ClickCenter(Control(MainControl::kLanguageLabel));
  menu = WaitForPopupMenu(app_->id());
  ASSERT_NE(menu, nullptr);
  auto language = PopupMenuItems(menu);
  ASSERT_EQ(language.size(), 1u);
  EXPECT_EQ(language[0].text, "Select Language");
  GetWindowRect(menu, &r);
  EXPECT_TRUE(SaveScreenRegion(r, "menu-language").has_value());
  ClosePopupMenu(menu);
  ASSERT_TRUE(WaitForWindowGone(menu));

  ClickMenuItem(MenuItem::kSilentNo);     // checked by default: now neither
  ClickMenuItem(MenuItem::kAutoDownloadYes);  // neither
  ClickMenuItem(MenuItem::kAutoDownloadNo);   // then No
  ClickMenuItem(MenuItem::kFileFoundSound);
  ClickMenuItem(MenuItem::kWindowsVista7);
  ClickMenuItem(MenuItem::kWindowsXp);    // the mark moves
  ClickMenuItem(MenuItem::kEnglish);
  ClickMenuItem(MenuItem::kArabic);
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());
  EXPECT_EQ(Option("YesMovarinFiles1"), "False");
  EXPECT_EQ(Option("NoMovarinFiles1"), "False");
  EXPECT_EQ(Option("YesMovarinFiles2"), "False");
  EXPECT_EQ(Option("NoMovarinFiles2"), "True");
  EXPECT_EQ(Option("YesMovarinFiles3"), "True");
  EXPECT_EQ(Option("Filefoundsound"), "False");
  EXPECT_EQ(Option("Filenotfoundsound"), "True");
  EXPECT_EQ(Option("MovarinFilesWindowsXP"), "True");
  EXPECT_EQ(Option("MovarinFilesWindowsVista7"), "False");

  // Next start: the pair stored as neither gets its default item, the rest as stored.
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());
  EXPECT_EQ(Option("NoMovarinFiles1"), "True");
  EXPECT_EQ(Option("NoMovarinFiles2"), "True");
  EXPECT_EQ(Option("Filefoundsound"), "False");
  EXPECT_EQ(Option("MovarinFilesWindowsXP"), "True");
}

TEST_F(MovarinTest, CloseWithNoKeepsRunningAndSavesNothing) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  CloseAnswering("No");
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(app_->Running());
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_FALSE(Option("NoMovarinFiles1").has_value());
  EXPECT_FALSE(Option("Filefoundsound").has_value());
}

TEST_F(MovarinTest, MissingCatalogueAsksRetryAndRetrySucceedsOnceTheFileIsBack) {
  ASSERT_NO_FATAL_FAILURE(Start(/*with_catalogue=*/false));
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "Error Connecting to DB");
  EXPECT_EQ(box->text.rfind("Error No.:", 0), 0u) << box->text;
  EXPECT_NE(box->text.find("Description:Could not find file '"), std::string::npos) << box->text;
  EXPECT_EQ(box->buttons, (std::vector<std::string>{"Retry", "Cancel"}));
  PressMessageBoxButton(box->window, "Retry");
  ASSERT_TRUE(WaitForWindowGone(box->window));
  box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value()) << "still missing: asked again";
  ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(*folder_ / "database.mdb", DemoCatalogue(),
                                                    tools::catalog_writer::CatalogueOptions{})
                  .ok());
  PressMessageBoxButton(box->window, "Retry");
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(FirstHeader(), "File name: 7");
  EXPECT_EQ(ListedNames(), kSorted);
}

TEST_F(MovarinTest, CancelledOpenLeavesAnEmptyListAndSaysSo) {
  ASSERT_NO_FATAL_FAILURE(Start(/*with_catalogue=*/false));
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  PressMessageBoxButton(box->window, "Cancel");
  ASSERT_TRUE(WaitForWindowGone(box->window));
  box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "Movarin");
  EXPECT_EQ(box->text, "Error in connecting to database.Please check connection!");
  PressMessageBoxButton(box->window, "OK");
  main_ = WaitForWindow({.title = "Movarin", .class_name = "MovarinMainWindow", .process_id = app_->id()});
  ASSERT_NE(main_, nullptr);
  EXPECT_EQ(FirstHeader(), "File Name");
  EXPECT_EQ(ListViewRowCount(Control(MainControl::kResultsList)), 0);
}

}  // namespace
}  // namespace movarin::e2e
