// Every driver function, worked against the sample program under Wine.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>

#include "base/ascii.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/sample_app/sample_ids.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::e2e {
namespace {

using namespace std::chrono_literals;
namespace s = sample;
using base::LowerAscii;

// Starting a Wine process on a busy machine can take a while; this only bounds the wait.
constexpr auto kLaunchTimeout = 30s;

std::string SampleProgram() { return test::ProgramDir() + "\\driver_sample_app.exe"; }

class Sample : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegistryTree(HKEY_CURRENT_USER, s::kRegistryKeyUtf8);
    std::string error;
    app = Process::Launch({.program = SampleProgram()}, &error);
    ASSERT_TRUE(app) << error;
    main = WaitForWindow({.title = s::kTitleUtf8, .process_id = app->id()}, kLaunchTimeout);
    ASSERT_NE(main, nullptr) << "the sample window did not appear";
  }
  void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, s::kRegistryKeyUtf8); }

  HWND Child(int id) { return FindChild(main, {.id = id}); }
  bool LabelBecomes(const std::string& text) {
    return WaitUntil([&] { return GetText(Child(s::kLabel)) == text; }, 5s);
  }

  std::optional<Process> app;
  HWND main = nullptr;
};

// --- processes and windows -------------------------------------------------------------

TEST(Launch, RunsInTheGivenFolderAndIsKilledWithTheObject) {
  test::TempFolder folder("driver");
  ASSERT_FALSE(folder.path().empty());
  HWND window = nullptr;
  DWORD pid = 0;
  {
    auto app = Process::Launch({.program = SampleProgram(), .working_folder = folder.path()});
    ASSERT_TRUE(app);
    pid = app->id();
    window = WaitForWindow({.title = s::kTitleUtf8, .process_id = pid}, kLaunchTimeout);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(app->Running());
    EXPECT_EQ(ProcessOf(window), pid);
    HWND label = FindChild(window, {.id = s::kFolderLabel});
    EXPECT_EQ(LowerAscii(GetText(label)), LowerAscii(folder.path()));
  }
  EXPECT_TRUE(WaitForWindowGone(window, 5s));
  EXPECT_EQ(FindTopWindow({.process_id = pid}), nullptr);
}

TEST(Launch, DefaultsToTheProgramsFolderAndReportsTheExitCode) {
  auto app = Process::Launch({.program = SampleProgram()});
  ASSERT_TRUE(app);
  HWND window = WaitForWindow({.title = s::kTitleUtf8, .process_id = app->id()}, kLaunchTimeout);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(LowerAscii(GetText(FindChild(window, {.id = s::kFolderLabel}))), LowerAscii(test::ProgramDir()));
  EXPECT_EQ(app->WaitForExit(100ms), std::nullopt);  // still running
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(app->WaitForExit(), static_cast<DWORD>(s::kExitCode));
  EXPECT_FALSE(app->Running());
}

TEST(Launch, AMissingProgramIsAnErrorWithAReason) {
  std::string error;
  EXPECT_FALSE(Process::Launch({.program = test::ProgramDir() + "\\no_such_program.exe"}, &error));
  EXPECT_NE(error.find("no_such_program.exe"), std::string::npos) << error;
}

TEST(Launch, KillingTheProgramAlsoEndsTheProcessesItStarted) {
  HWND child = nullptr;
  {
    auto app = Process::Launch({.program = SampleProgram(), .arguments = "--spawn"});
    ASSERT_TRUE(app);
    ASSERT_NE(WaitForWindow({.title = s::kTitleUtf8, .process_id = app->id()}, kLaunchTimeout), nullptr);
    child = WaitForWindow({.title = std::string(s::kChildTitleUtf8) + " " + std::to_string(app->id())},
                          kLaunchTimeout);
    ASSERT_NE(child, nullptr) << "the sample did not start its child";
    EXPECT_NE(ProcessOf(child), app->id());
  }
  EXPECT_TRUE(WaitForWindowGone(child, 5s));
}

TEST(FindWindows, TitleClassAndProcessNarrowTheSearch) {
  auto first = Process::Launch({.program = SampleProgram()});
  auto second = Process::Launch({.program = SampleProgram(), .arguments = "--title Driver Sample B"});
  ASSERT_TRUE(first && second);
  // Other runs may share the Wine desktop: every search is kept to our two processes.
  const auto ours = [&](HWND w) { return ProcessOf(w) == first->id() || ProcessOf(w) == second->id(); };
  HWND a = WaitForWindow({.title = s::kTitleUtf8, .process_id = first->id()}, kLaunchTimeout);
  HWND b = WaitForWindow({.title = "Driver Sample B", .where = ours}, kLaunchTimeout);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(ProcessOf(b), second->id());
  // The exact title does not match "Driver Sample B"; the prefix matches both.
  EXPECT_EQ(FindTopWindows({.title = s::kTitleUtf8, .where = ours}), std::vector<HWND>{a});
  const auto both = FindTopWindows({.title = s::kTitleUtf8, .title_is_prefix = true,
                                    .class_name = "movarindriversample", .where = ours});
  EXPECT_EQ(both.size(), 2u);
  EXPECT_EQ(FindTopWindow({.title = "Driver Sample B", .process_id = first->id()}), nullptr);
  EXPECT_EQ(ClassName(a), "MovarinDriverSample");
  // Waiting for what never comes ends at the time-out.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForWindow({.title = "No such window"}, 300ms), nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

// --- controls, texts, clicks and keys ---------------------------------------------------

TEST_F(Sample, FindsChildrenByClassTextIdAndIndex) {
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.class_name = "button"})), s::kChangeButton);
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.class_name = "Button", .index = 2})), s::kMenuButton);
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.class_name = "Button", .index = 3})), s::kBrowseButton);
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.class_name = "Button", .index = 4})), s::kOpenButton);
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.class_name = "Button", .index = 5})), s::kCloseCheck);
  EXPECT_EQ(FindChild(main, {.class_name = "Button", .index = 6}), nullptr);
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.text = "Change"})), s::kChangeButton);   // '&' ignored
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.text = "&Change"})), s::kChangeButton);  // as given
  EXPECT_EQ(GetDlgCtrlID(FindChild(main, {.class_name = "Edit", .index = 1})), s::kSignalEdit);
  EXPECT_EQ(FindChild(main, {.class_name = "Static", .text = "Ready"}), Child(s::kLabel));
  EXPECT_EQ(FindChildren(main, {.class_name = "Edit"}).size(), 2u);
  EXPECT_EQ(FindChild(main, {.class_name = "Edit", .text = "Ready"}), nullptr);
  EXPECT_EQ(WaitForChild(main, {.id = 999}, 200ms), nullptr);
  EXPECT_EQ(StripMnemonics("Se&cond && more"), "Second & more");
  const std::string tree = DescribeWindow(main);
  EXPECT_EQ(tree.rfind("MovarinDriverSample id=0 \"Driver Sample\" (", 0), 0u) << tree;
  EXPECT_NE(tree.find("\n  Button id=102 \"&Change\" ("), std::string::npos) << tree;
  EXPECT_NE(tree.find("\n    SysHeader32 id="), std::string::npos) << tree;  // the list's header
  EXPECT_EQ(DescribeWindow(nullptr), "");
}

TEST_F(Sample, SetsAndReadsTextsAndClicksButtons) {
  HWND edit = Child(s::kEdit);
  ASSERT_TRUE(SetText(edit, "hello wörld 한"));
  EXPECT_EQ(GetText(edit), "hello wörld 한");
  Click(Child(s::kChangeButton));
  EXPECT_TRUE(LabelBecomes("Changed: hello wörld 한")) << GetText(Child(s::kLabel));
  EXPECT_EQ(GetText(main), s::kTitleUtf8);
  // The program's registry writes are visible to the driver.
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, s::kRegistryKeyUtf8, "LastText"),
            "hello wörld 한");
  EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, s::kRegistryKeyUtf8, "Changes"), 1u);
  EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, s::kRegistryKeyUtf8, "LastText"), std::nullopt);
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, s::kRegistryKeyUtf8, "Missing"), std::nullopt);
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, s::kRegistryKeyUtf8));
  EXPECT_TRUE(DeleteRegistryTree(HKEY_CURRENT_USER, s::kRegistryKeyUtf8));
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, s::kRegistryKeyUtf8));
  // An empty text is a text too.
  ASSERT_TRUE(SetText(edit, ""));
  EXPECT_EQ(GetText(edit), "");
}

TEST_F(Sample, MouseClicksAtAPointPressButtons) {
  SetText(Child(s::kEdit), "by mouse");
  ClickCenter(Child(s::kChangeButton));
  EXPECT_TRUE(LabelBecomes("Changed: by mouse")) << GetText(Child(s::kLabel));
}

TEST_F(Sample, SystemInputClicksWhereThePointerIs) {
  SetText(Child(s::kEdit), "by hand");
  SystemClickAt(Child(s::kChangeButton), 10, 10);
  EXPECT_TRUE(LabelBecomes("Changed: by hand")) << GetText(Child(s::kLabel));
}

TEST_F(Sample, ReadsAndSetsCheckBoxes) {
  HWND check = FindChild(main, {.text = "Close when done"});
  ASSERT_EQ(check, Child(s::kCloseCheck));
  EXPECT_FALSE(IsChecked(check));
  Click(check);
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(check); }, 5s));
  SetChecked(check, false);
  EXPECT_FALSE(IsChecked(check));
  EXPECT_FALSE(IsChecked(Child(s::kLabel)));  // not a check box at all
}

TEST_F(Sample, AWindowQueryCanTestTheWindowsContents) {
  EXPECT_EQ(FindTopWindow({.where = [](HWND w) {
              return FindChild(w, {.text = "Close when done"}) != nullptr;
            }}),
            main);
  EXPECT_EQ(FindTopWindow({.title = s::kTitleUtf8, .where = [](HWND) { return false; }}), nullptr);
}

TEST_F(Sample, TypedCharactersAndEnterArriveLikeKeystrokes) {
  HWND edit = Child(s::kEdit);
  TypeText(edit, "abc é");
  PressEnter(edit);
  EXPECT_TRUE(LabelBecomes("Enter: abc é")) << GetText(Child(s::kLabel));
  EXPECT_EQ(GetText(edit), "abc é");  // Enter adds no character
  PressKey(edit, VK_BACK);
  EXPECT_TRUE(WaitUntil([&] { return GetText(edit) == "abc "; }, 5s)) << GetText(edit);
}

// --- message boxes ----------------------------------------------------------------------

TEST_F(Sample, ReadsAMessageBoxAndPressesItsButtons) {
  for (const std::string answer : {"No", "Yes"}) {
    Click(Child(s::kMessageButton));
    const auto box = WaitForMessageBox(app->id());
    ASSERT_TRUE(box) << "no message box";
    EXPECT_EQ(box->title, "Sample question");
    EXPECT_EQ(box->text, "Do you like tests?");
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(GetWindow(box->window, GW_OWNER), main);
    EXPECT_STREQ(IconName(ReadMessageBoxIcon(box->window)), "question");
    EXPECT_FALSE(PressMessageBoxButton(box->window, "Cancel"));
    ASSERT_TRUE(PressMessageBoxButton(box->window, "&" + answer));
    EXPECT_TRUE(WaitForWindowGone(box->window));
    EXPECT_TRUE(LabelBecomes("Answer: " + answer)) << GetText(Child(s::kLabel));
  }
  EXPECT_FALSE(FindMessageBox(app->id()));
}

TEST_F(Sample, AWriteWhoseHandlerOpensABoxReturnsAndTheBoxCanBeWorked) {
  // The signal field runs its action inside WM_SETTEXT and that action is modal.
  EXPECT_FALSE(SetText(Child(s::kSignalEdit), "box", 300ms));
  const auto box = WaitForMessageBox(app->id());
  ASSERT_TRUE(box);
  EXPECT_EQ(box->title, "Sample notice");
  EXPECT_EQ(box->text, "Signal received");
  EXPECT_EQ(box->buttons, (std::vector<std::string>{"OK"}));
  EXPECT_STREQ(IconName(ReadMessageBoxIcon(box->window)), "information");
  EXPECT_TRUE(PressMessageBoxButton(box->window, "ok"));
  EXPECT_TRUE(LabelBecomes("Signal done"));
  EXPECT_EQ(GetText(Child(s::kSignalEdit)), "box");
}

// --- list view --------------------------------------------------------------------------

TEST_F(Sample, ReadsListViewRowsAndHeadersOfAnotherProcess) {
  HWND list = FindChild(main, {.class_name = "SysListView32"});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ListViewColumns(list), (std::vector<std::string>{"Name", "Version"}));
  EXPECT_EQ(ListViewColumnCount(list), 2);
  ASSERT_EQ(ListViewRowCount(list), s::kRowCount);
  std::vector<std::vector<std::string>> expected;
  for (const auto& row : s::kRows) expected.push_back({win32::Narrow(row[0]), win32::Narrow(row[1])});
  EXPECT_EQ(ListViewRows(list), expected);
  EXPECT_EQ(ListViewCell(list, 2, 0), "ünïcode.dll");
  EXPECT_EQ(ListViewCell(list, 7, 0), "");  // no such row
  EXPECT_TRUE(ListViewSelectedRows(list).empty());
  ASSERT_TRUE(SelectListViewRow(list, 1));
  EXPECT_EQ(ListViewSelectedRows(list), std::vector<int>{1});
  ASSERT_TRUE(SelectListViewRow(list, 2));
  EXPECT_EQ(ListViewSelectedRows(list), std::vector<int>{2});
  const auto first = ListViewRowRect(list, 0);
  const auto second = ListViewRowRect(list, 1);
  ASSERT_TRUE(first && second);
  EXPECT_GT(first->bottom, first->top);
  EXPECT_EQ(second->top, first->bottom);
  EXPECT_FALSE(ListViewRowRect(list, 9));
}

TEST_F(Sample, MouseClicksOnListRowsSelectOpenAndPopUpTheirMenu) {
  HWND list = FindChild(main, {.class_name = "SysListView32"});
  const auto row = ListViewRowRect(list, 1);
  ASSERT_TRUE(row);
  const int x = row->left + 20, y = (row->top + row->bottom) / 2;
  ClickAt(list, x, y);
  EXPECT_TRUE(WaitUntil([&] { return ListViewSelectedRows(list) == std::vector<int>{1}; }, 5s));
  DoubleClickAt(list, x, y);
  EXPECT_TRUE(LabelBecomes("Row opened: 1")) << GetText(Child(s::kLabel));

  const auto last = ListViewRowRect(list, 2);
  ASSERT_TRUE(last);
  ClickAt(list, last->left + 20, (last->top + last->bottom) / 2, MouseButton::kRight);
  HWND menu = WaitForPopupMenu(app->id());
  ASSERT_NE(menu, nullptr) << "no row menu";
  EXPECT_EQ(GetText(Child(s::kLabel)), "Row menu: 2");
  EXPECT_EQ(ListViewSelectedRows(list), std::vector<int>{2});
  EXPECT_EQ(PopupMenuItems(menu).size(), 6u);
  ASSERT_TRUE(ChoosePopupMenuItem(menu, "First"));
  EXPECT_TRUE(LabelBecomes("Menu: First")) << GetText(Child(s::kLabel));
}

TEST_F(Sample, WalksATreeViewThatFillsOnDemand) {
  HWND tree = FindChild(main, {.class_name = "SysTreeView32"});
  ASSERT_NE(tree, nullptr);
  const auto roots = TreeViewChildren(tree);
  ASSERT_EQ(roots.size(), 2u);
  EXPECT_EQ(roots[0].text, "C:");
  EXPECT_EQ(roots[1].text, "D:");
  EXPECT_EQ(TreeViewChildren(tree, roots[0].handle).size(), 1u);  // "Windows" not there yet
  EXPECT_EQ(TreeViewSelectedText(tree), std::nullopt);
  EXPECT_FALSE(SelectTreeViewPath(tree, {"C:", "Program Files"}));
  ASSERT_TRUE(SelectTreeViewPath(tree, {"C:", "Windows"}));
  EXPECT_EQ(TreeViewSelectedText(tree), "Windows");
  EXPECT_TRUE(LabelBecomes("Tree: Windows")) << GetText(Child(s::kLabel));
  std::vector<std::string> under_c;
  for (const auto& item : TreeViewChildren(tree, roots[0].handle)) under_c.push_back(item.text);
  EXPECT_EQ(under_c, (std::vector<std::string>{"Users", "Windows"}));
  EXPECT_FALSE(ExpandTreeViewItem(tree, roots[1].handle));  // "D:" has nothing below it
  ASSERT_TRUE(SelectTreeViewItem(tree, roots[1].handle));
  EXPECT_TRUE(LabelBecomes("Tree: D:"));
}

TEST_F(Sample, PicksAFolderInTheShellsFolderPicker) {
  test::TempFolder folder("picked");
  ASSERT_FALSE(folder.path().empty());
  Click(Child(s::kBrowseButton));
  HWND picker = WaitForWindow({.title = "", .class_name = "#32770", .process_id = app->id()},
                              kLaunchTimeout);
  ASSERT_NE(picker, nullptr) << "no folder picker";
  HWND tree = WaitForChild(picker, {.class_name = "SysTreeView32"});
  ASSERT_NE(tree, nullptr) << DescribeWindow(picker);
  const auto roots = TreeViewChildren(tree);
  ASSERT_FALSE(roots.empty()) << DescribeWindow(picker);
  // Cancel first: the program hears that nothing was picked.
  ASSERT_TRUE(PressMessageBoxButton(picker, "Cancel")) << DescribeWindow(picker);
  EXPECT_TRUE(LabelBecomes("Folder: cancelled")) << GetText(Child(s::kLabel));

  // Then walk to the temp folder: the desktop, "My Computer", the C: drive, and on.
  Click(Child(s::kBrowseButton));
  picker = WaitForWindow({.class_name = "#32770", .process_id = app->id()}, kLaunchTimeout);
  ASSERT_NE(picker, nullptr);
  tree = WaitForChild(picker, {.class_name = "SysTreeView32"});
  ASSERT_NE(tree, nullptr);
  // Wine's tree: "Desktop" > "My Computer" > " (C:)" > users > <user> > Temp > <folder>.
  auto child_named = [&](HTREEITEM parent, auto matches) -> HTREEITEM {
    if (parent) ExpandTreeViewItem(tree, parent);
    for (const auto& item : TreeViewChildren(tree, parent)) {
      if (matches(LowerAscii(item.text))) return item.handle;
    }
    return nullptr;
  };
  HTREEITEM at = child_named(nullptr, [](const std::string& t) { return t == "desktop"; });
  at = child_named(at, [](const std::string& t) { return t == "my computer"; });
  at = child_named(at, [](const std::string& t) { return t.ends_with("(c:)"); });
  ASSERT_NE(at, nullptr) << DescribeWindow(picker);
  std::vector<std::string> steps;  // the folders after "C:\"
  for (std::size_t from = 3, cut; from < folder.path().size(); from = cut + 1) {
    cut = std::min(folder.path().find('\\', from), folder.path().size());
    steps.push_back(LowerAscii(folder.path().substr(from, cut - from)));
  }
  for (const std::string& name : steps) {
    at = child_named(at, [&](const std::string& t) { return t == name; });
    ASSERT_NE(at, nullptr) << "no " << name << " in the picker's tree";
  }
  ASSERT_TRUE(SelectTreeViewItem(tree, at));
  ASSERT_TRUE(PressMessageBoxButton(picker, "OK"));
  EXPECT_TRUE(WaitForWindowGone(picker));
  EXPECT_TRUE(WaitUntil(
      [&] { return LowerAscii(GetText(Child(s::kLabel))) == LowerAscii("Folder: " + folder.path()); }, 5s))
      << GetText(Child(s::kLabel));
}

TEST_F(Sample, ChoosesAFileInTheOpenFileDialogByTypingItsPath) {
  test::TempFolder folder("open");
  const std::string file = folder / "names list.txt";
  ASSERT_TRUE(test::WriteWholeFile(file, "comdlg32.ocx\r\n"));
  Click(Child(s::kOpenButton));
  HWND dialog = WaitForWindow({.class_name = "#32770", .process_id = app->id()}, kLaunchTimeout);
  ASSERT_NE(dialog, nullptr) << "no open-file dialog";
  HWND name_box = WaitForChild(dialog, {.class_name = "Edit", .visible_only = true});
  ASSERT_NE(name_box, nullptr) << DescribeWindow(dialog);
  ASSERT_TRUE(SetText(name_box, file));
  ASSERT_TRUE(PressMessageBoxButton(dialog, "Open")) << DescribeWindow(dialog);
  EXPECT_TRUE(WaitForWindowGone(dialog));
  EXPECT_TRUE(WaitUntil(
      [&] { return LowerAscii(GetText(Child(s::kLabel))) == LowerAscii("Opened: " + file); }, 5s))
      << GetText(Child(s::kLabel));
}

// --- popup menus ------------------------------------------------------------------------

TEST_F(Sample, ReadsAPoppedUpMenuAndChoosesAnItem) {
  Click(Child(s::kMenuButton));
  HWND menu = WaitForPopupMenu(app->id());
  ASSERT_NE(menu, nullptr) << "no popup menu";
  const auto items = PopupMenuItems(menu);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[0].text, "&First");
  EXPECT_EQ(items[0].id, static_cast<UINT>(s::kMenuFirst));
  EXPECT_TRUE(items[1].separator);
  EXPECT_EQ(items[2].text, "Se&cond\tCtrl+S");
  EXPECT_TRUE(items[2].checked);
  EXPECT_FALSE(items[0].checked);
  EXPECT_TRUE(items[3].grayed);
  EXPECT_EQ(items[4].text, "Third");
  EXPECT_FALSE(items[4].has_submenu);
  ASSERT_TRUE(items[5].has_submenu);
  // A submenu is read without opening it.
  const auto options = ReadMenu(menu, items[5].submenu);
  ASSERT_EQ(options.size(), 2u);
  EXPECT_EQ(options[0].text, "Yes");
  EXPECT_TRUE(options[0].checked);
  EXPECT_EQ(options[1].text, "No");
  EXPECT_FALSE(options[1].checked);
  EXPECT_TRUE(ReadMenu(menu, nullptr).empty());
  // Paths that do not lead anywhere press nothing.
  EXPECT_FALSE(ChoosePopupMenuPath(menu, {"Options", "Maybe"}));
  EXPECT_FALSE(ChoosePopupMenuPath(menu, {"Third", "Yes"}));
  EXPECT_FALSE(ChoosePopupMenuPath(menu, {}));
  EXPECT_TRUE(IsWindowVisible(menu));
  EXPECT_FALSE(ChoosePopupMenuItem(menu, "Grayed"));
  EXPECT_FALSE(ChoosePopupMenuItem(menu, "Fourth"));
  ASSERT_TRUE(ChoosePopupMenuItem(menu, "Second"));
  EXPECT_TRUE(WaitForWindowGone(menu));
  EXPECT_TRUE(LabelBecomes("Menu: Second")) << GetText(Child(s::kLabel));

  Click(Child(s::kMenuButton));
  menu = WaitForPopupMenu(app->id());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(ChoosePopupMenuItem(menu, "Third"));
  EXPECT_TRUE(LabelBecomes("Menu: Third")) << GetText(Child(s::kLabel));

  Click(Child(s::kMenuButton));
  menu = WaitForPopupMenu(app->id());
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(ChoosePopupMenuPath(menu, {"Options", "No"}));
  EXPECT_TRUE(LabelBecomes("Menu: No")) << GetText(Child(s::kLabel));
  EXPECT_TRUE(WaitForWindowGone(menu));
}

TEST_F(Sample, ARightClickOpensTheContextMenuAndEscapeClosesIt) {
  ClickAt(main, 300, 330, MouseButton::kRight);
  HWND menu = WaitForPopupMenu(app->id());
  ASSERT_NE(menu, nullptr) << "no context menu";
  ClosePopupMenu(menu);
  EXPECT_TRUE(WaitForWindowGone(menu));
  EXPECT_EQ(GetText(Child(s::kLabel)), "Ready");
  // The owner can also be sent the item's command directly.
  SendCommand(main, s::kMenuFirst);
  EXPECT_TRUE(LabelBecomes("Menu: First"));
}

// --- screenshots ------------------------------------------------------------------------

// A PNG read back: size and RGB pixels (our encoder writes filter 0 rows only; anything
// else is reported as a failure). CRCs are checked for every chunk.
struct Png {
  std::uint32_t width = 0, height = 0;
  std::string rgb;
};

std::uint32_t BigEndian32(const std::string& b, std::size_t at) {
  return (std::uint32_t(std::uint8_t(b[at])) << 24) | (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
         (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint32_t(std::uint8_t(b[at + 3]));
}

std::optional<Png> ReadPng(const std::string& bytes) {
  if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return std::nullopt;
  Png png;
  std::string idat;
  bool ended = false;
  for (std::size_t at = 8; at + 12 <= bytes.size() && !ended;) {
    const std::uint32_t length = BigEndian32(bytes, at);
    if (length > bytes.size() - at - 12) return std::nullopt;
    const std::string type = bytes.substr(at + 4, 4);
    const auto* covered = reinterpret_cast<const Bytef*>(bytes.data() + at + 4);
    if (crc32(0, covered, length + 4) != BigEndian32(bytes, at + 8 + length)) return std::nullopt;
    const std::string data = bytes.substr(at + 8, length);
    if (type == "IHDR") {
      png.width = BigEndian32(data, 0);
      png.height = BigEndian32(data, 4);
      if (data.substr(8) != std::string("\x08\x02\x00\x00\x00", 5)) return std::nullopt;
    } else if (type == "IDAT") {
      idat += data;
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (!ended || png.width == 0 || png.height == 0 || png.width > 8192 || png.height > 8192) {
    return std::nullopt;
  }
  const std::size_t row = png.width * 3 + 1;
  std::string raw(row * png.height, '\0');
  uLongf raw_size = raw.size();
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &raw_size,
                 reinterpret_cast<const Bytef*>(idat.data()), idat.size()) != Z_OK ||
      raw_size != raw.size()) {
    return std::nullopt;
  }
  for (std::uint32_t y = 0; y < png.height; ++y) {
    if (raw[y * row] != 0) return std::nullopt;
    png.rgb += raw.substr(y * row + 1, row - 1);
  }
  return png;
}

TEST_F(Sample, SavesWindowAndMenuScreenshotsAsValidPngs) {
  std::string error;
  const auto path = SaveWindowScreenshot(main, "driver-sample-window", &error);
  ASSERT_TRUE(path) << error;
  EXPECT_EQ(path->rfind(OutputFolder() + "\\", 0), 0u);
  const auto png = ReadPng(test::ReadWholeFile(*path).value_or(""));
  ASSERT_TRUE(png) << *path << " is not a valid PNG";
  RECT window{};
  GetWindowRect(main, &window);
  EXPECT_EQ(png->width, static_cast<std::uint32_t>(window.right - window.left));
  EXPECT_EQ(png->height, static_cast<std::uint32_t>(window.bottom - window.top));
  // The sample paints a band of a known colour at the top of its client area.
  POINT band{5, s::kBandHeight / 2};
  ClientToScreen(main, &band);
  const std::size_t at = (static_cast<std::size_t>(band.y - window.top) * png->width +
                          static_cast<std::size_t>(band.x - window.left)) * 3;
  ASSERT_LT(at + 2, png->rgb.size());
  EXPECT_EQ(std::uint8_t(png->rgb[at]), s::kBandRed);
  EXPECT_EQ(std::uint8_t(png->rgb[at + 1]), s::kBandGreen);
  EXPECT_EQ(std::uint8_t(png->rgb[at + 2]), s::kBandBlue);

  Click(Child(s::kMenuButton));
  HWND menu = WaitForPopupMenu(app->id());
  ASSERT_NE(menu, nullptr);
  RECT menu_rect{};
  GetWindowRect(menu, &menu_rect);
  Sleep(200);
  const auto menu_path = SaveScreenRegion(menu_rect, "driver-sample-menu", &error);
  // The menu window itself can be shot too; that must not close it.
  EXPECT_TRUE(SaveWindowScreenshot(menu, "driver-sample-menu-window", &error)) << error;
  EXPECT_TRUE(IsWindowVisible(menu));
  ClosePopupMenu(menu);
  ASSERT_TRUE(menu_path) << error;
  const auto menu_png = ReadPng(test::ReadWholeFile(*menu_path).value_or(""));
  ASSERT_TRUE(menu_png);
  EXPECT_EQ(menu_png->width, static_cast<std::uint32_t>(menu_rect.right - menu_rect.left));

  EXPECT_FALSE(SaveScreenRegion(RECT{-500, -500, -100, -100}, "off-screen", &error));
  EXPECT_FALSE(SaveWindowScreenshot(nullptr, "nothing", &error));
}

}  // namespace
}  // namespace movarin::e2e
