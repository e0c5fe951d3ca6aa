// The multiple-file search under Wine: names added through the input box, walked one
// per tick through the main window's own search, held on a name with several matches,
// and hits downloaded from the test server one after the other.
#include "tests/e2e/main/movarin_fixture.h"

#include <chrono>
#include <set>
#include <thread>

#include "base/sha256.h"
#include "platform/win32/input_box.h"
#include "platform/win32/text.h"
#include "programs/main/multi_search_window/multi_search_window_layout.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::e2e {
namespace {

using main_program::MainControl;
using main_program::MenuItem;
using namespace std::chrono_literals;
namespace ms = multi_search;
using Clock = std::chrono::steady_clock;

class MultiSearchTest : public MovarinTest {
 protected:
  void StartAndOpen() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
    ClickMenuItem(MenuItem::kSearchMultipleFiles);
    window_ = WaitForWindow({.title = "Movarin", .class_name = "MovarinMultiSearchWindow", .process_id = app_->id()});
    ASSERT_NE(window_, nullptr) << "the menu item opens the window";
  }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  HWND NameList() const { return Item(ms::kNameList); }
  // Add, then the name typed into the input box and OK.
  void AddName(const std::string& name) {
    Click(Item(ms::kAddButton));
    auto box = WaitForMessageBox(app_->id());
    ASSERT_TRUE(box.has_value()) << "no input box";
    ASSERT_EQ(box->title, "dll or ocx file name");
    ASSERT_TRUE(SetText(GetDlgItem(box->window, win32::kInputBoxTextId), name));
    ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
    ASSERT_TRUE(WaitForWindowGone(box->window));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& row : ListViewRows(NameList())) names.push_back(row.at(0));
    return names;
  }
  std::string SearchBox() const { return GetText(Control(MainControl::kSearchBox)); }

  // The main window's search box as it changes, until `until` holds or the time is up:
  // each new text with the time it was first seen.
  struct Seen {
    std::string text;
    Clock::time_point at;
    bool notice = false;  // the not-found notice was seen while this text stood
  };
  std::vector<Seen> WatchSearchBox(const std::function<bool(const std::vector<Seen>&)>& until,
                                   std::chrono::milliseconds limit) {
    std::vector<Seen> seen;
    std::string last = SearchBox();
    const auto end = Clock::now() + limit;
    while (Clock::now() < end && !until(seen)) {
      const std::string text = SearchBox();
      if (text != last) {
        seen.push_back({text, Clock::now()});
        last = text;
      }
      if (!seen.empty() && NoticeVisible()) seen.back().notice = true;
      std::this_thread::sleep_for(2ms);
    }
    return seen;
  }
  static std::vector<std::string> Texts(const std::vector<Seen>& seen) {
    std::vector<std::string> texts;
    for (const auto& s : seen) texts.push_back(s.text);
    return texts;
  }

  HWND window_ = nullptr;
};

TEST_F(MultiSearchTest, ThreeMissesAreSearchedInOrderOnePerTickAndTheWalkEndsAfterTheLast) {
  ASSERT_NO_FATAL_FAILURE(StartAndOpen());
  EXPECT_EQ(ListViewColumns(NameList()), std::vector<std::string>{"File Name"});
  EXPECT_NE(FindChild(window_, {.class_name = "MovarinWindowSkin"}), nullptr) << DescribeWindow(window_);
  const std::vector<std::string> names = {"missing-a.dll", "missing-b.ocx", "missing-c.dll"};
  for (const auto& name : names) ASSERT_NO_FATAL_FAILURE(AddName(name));
  EXPECT_EQ(Names(), names);
  EXPECT_EQ(ListViewColumns(NameList()), std::vector<std::string>{"File name: 3"});
  Screenshot(window_, "multi-search-window");

  // Opening it again from the menu brings up the same window with its list.
  ClickMenuItem(MenuItem::kSearchMultipleFiles);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(FindTopWindows({.class_name = "MovarinMultiSearchWindow", .process_id = app_->id()}),
            std::vector<HWND>{window_});
  EXPECT_EQ(Names(), names);

  Click(Item(ms::kSearchButton));
  auto seen = WatchSearchBox([](const std::vector<Seen>& s) { return s.size() == 3; }, 10s);
  ASSERT_EQ(Texts(seen), names);
  for (std::size_t i = 1; i < seen.size(); ++i) {
    const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(seen[i].at - seen[i - 1].at);
    EXPECT_GE(gap.count(), 300) << "one name per 400 ms tick, " << seen[i].text;
    EXPECT_LE(gap.count(), 1500) << "a miss moves on at the next tick, " << seen[i].text;
  }
  // Each miss is the main window's own search: the notice, and the whole list again.
  ASSERT_TRUE(WaitUntil([this] { return ListedNames().size() == DemoCatalogue().size(); }));
  const auto more = WatchSearchBox([](const std::vector<Seen>&) { return false; }, 1500ms);
  EXPECT_TRUE(more.empty()) << "after the last name nothing more is searched";
  seen.insert(seen.end(), more.begin(), more.end());
  for (const auto& s : seen) EXPECT_TRUE(s.notice) << "no not-found notice for " << s.text;

  // The walk has ended: a miss of the user's own, which lets a waiting walk go on,
  // hands over nothing any more.
  SearchFor("nothing-like-this");
  EXPECT_TRUE(WatchSearchBox([](const std::vector<Seen>&) { return false; }, 1200ms).empty());
  EXPECT_EQ(SearchBox(), "nothing-like-this");

  // Clear, then Search: the empty-list message, and nothing searched.
  Click(Item(ms::kClearButton));
  ASSERT_TRUE(WaitUntil([this] { return Names().empty(); }));
  EXPECT_EQ(ListViewColumns(NameList()), std::vector<std::string>{"File name: 0"});
  Click(Item(ms::kSearchButton));
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->title, "Movarin");
  EXPECT_EQ(box->text, "The list is empty. Please add ocx or dll files before attempting to search");
  PressMessageBoxButton(box->window, "OK");
}

TEST_F(MultiSearchTest, AddKeepsNamesAsTypedCancelAddsNothingAndRemoveTakesTheSelectedRow) {
  ASSERT_NO_FATAL_FAILURE(StartAndOpen());
  for (const char* name : {"a.dll", " B.ocx ", "a.dll"}) ASSERT_NO_FATAL_FAILURE(AddName(name));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.dll", " B.ocx ", "a.dll"})) << "as typed, duplicates kept";
  // Cancel, and OK with nothing typed, add nothing.
  for (const char* button : {"Cancel", "OK"}) {
    SCOPED_TRACE(button);
    Click(Item(ms::kAddButton));
    auto box = WaitForMessageBox(app_->id());
    ASSERT_TRUE(box.has_value()) << "no input box";
    EXPECT_EQ(box->text, "Please type dll or ocx file name:");
    ASSERT_TRUE(PressMessageBoxButton(box->window, button));
    ASSERT_TRUE(WaitForWindowGone(box->window));
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_EQ(ListViewColumns(NameList()), std::vector<std::string>{"File name: 3"});
  }
  ASSERT_TRUE(SelectListViewRow(NameList(), 1));
  Click(Item(ms::kRemoveButton));
  ASSERT_TRUE(WaitUntil([this] { return Names().size() == 2; }));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.dll", "a.dll"}));
  EXPECT_EQ(ListViewColumns(NameList()), std::vector<std::string>{"File name: 2"});
  // Nothing selected any more: Remove removes nothing.
  EXPECT_TRUE(ListViewSelectedRows(NameList()).empty());
  Click(Item(ms::kRemoveButton));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(Names().size(), 2u);
  EXPECT_EQ(ListViewColumns(NameList()), std::vector<std::string>{"File name: 2"});
}

TEST_F(MultiSearchTest, ANameWithSeveralMatchesHoldsTheWalkUntilAMiss) {
  ASSERT_NO_FATAL_FAILURE(StartAndOpen());
  ClickMenuItem(MenuItem::kAutoDownloadNo);
  for (const char* name : {"missing-a.dll", "act", "missing-c.dll"}) ASSERT_NO_FATAL_FAILURE(AddName(name));
  Click(Item(ms::kSearchButton));
  auto seen = WatchSearchBox([](const std::vector<Seen>& s) { return s.size() == 3; }, 3s);
  EXPECT_EQ(Texts(seen), (std::vector<std::string>{"missing-a.dll", "act"})) << "held on \"act\"";
  EXPECT_EQ(ListedNames(), (std::vector<std::string>{"ACTSKIN4.OCX", "actbar.ocx"}));

  // The user's own search that finds nothing lets the walk go on with the next name.
  SearchFor("nothing-like-this");
  seen = WatchSearchBox([](const std::vector<Seen>& s) { return !s.empty() && s.back().text == "missing-c.dll"; }, 5s);
  EXPECT_EQ(Texts(seen), (std::vector<std::string>{"missing-c.dll"}));
}

TEST_F(MultiSearchTest, TwoHitsAreDownloadedOneAfterTheOtherNeverTwoAtOnce) {
  ASSERT_NO_FATAL_FAILURE(PrepareDownloads());
  const std::string& server_files = server_files_;
  const std::string& downloads = downloads_;
  struct File {
    std::string name;
    std::string bytes;
  };
  const std::vector<File> files = {{"actbar.ocx", std::string(3000, 'a')}, {"zlib1.dll", std::string(2500, 'z')}};
  for (const File& f : files) {
    ASSERT_TRUE(test::WriteWholeFile(server_files + "\\" + f.name, f.bytes));
    // Slow bodies: each download takes a second or more, so an overlap could not hide.
    ASSERT_TRUE(test::ControlServer("set?path=/files/" + f.name + "&mode=slow&bytes=256&delay_ms=100"));
  }

  ASSERT_NO_FATAL_FAILURE(StartAndOpen());
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // downloads only; registering is not this test's
  for (const char* name : {"actbar.ocx", "zlib1.dll", "missing-c.dll"}) ASSERT_NO_FATAL_FAILURE(AddName(name));
  Click(Item(ms::kSearchButton));

  // Watch the download folder: a file being written lies beside its final name.
  int most_in_progress = 0;
  bool zlib_before_actbar = false;
  std::set<std::string> ever;
  const bool done = WaitUntil(
      [&] {
        int in_progress = 0;
        bool actbar = false, zlib = false;
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW(win32::Widen(downloads + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
          do {
            const std::string name = win32::Narrow(found.cFileName);
            if (name == "." || name == "..") continue;
            ever.insert(name);
            if (name == "actbar.ocx") actbar = true;
            else if (name == "zlib1.dll") zlib = true;
            else ++in_progress;
          } while (FindNextFileW(find, &found));
          FindClose(find);
        }
        most_in_progress = std::max(most_in_progress, in_progress);
        if (zlib && !actbar) zlib_before_actbar = true;
        return actbar && zlib && SearchBox() == "missing-c.dll";
      },
      40s, 5ms);
  ASSERT_TRUE(done) << "search box: " << SearchBox();
  EXPECT_GE(ever.size(), 3u) << "the files were seen while being written";
  EXPECT_EQ(most_in_progress, 1) << "never two downloads at once";
  EXPECT_FALSE(zlib_before_actbar) << "in list order";
  for (const File& f : files) EXPECT_EQ(test::ReadWholeFile(downloads + "\\" + f.name), f.bytes) << f.name;
  const std::string log = test::ServerLog();
  const auto first = log.find("GET /files/actbar.ocx"), second = log.find("GET /files/zlib1.dll");
  ASSERT_NE(first, std::string::npos) << log;
  ASSERT_NE(second, std::string::npos) << log;
  EXPECT_LT(first, second);
  EXPECT_EQ(log.find("GET /files/actbar.ocx", first + 1), std::string::npos) << "each file is fetched once";
  EXPECT_EQ(log.find("GET /files/zlib1.dll", second + 1), std::string::npos);
}

// A walk over a file that changed on the server since the catalogue was built: the
// usual failure box, nothing of it kept, and the walk goes on to the next name, whose
// file matches its digest and is kept.
TEST_F(MultiSearchTest, AFileThatDoesNotMatchItsDigestIsRefusedAndTheWalkGoesOn) {
  ASSERT_NO_FATAL_FAILURE(PrepareDownloads());
  const std::string& server_files = server_files_;
  const std::string& downloads = downloads_;
  const std::string actbar(3000, 'a');
  const std::string zlib(2500, 'z');
  ASSERT_TRUE(test::WriteWholeFile(server_files + "\\actbar.ocx", actbar));
  ASSERT_TRUE(test::WriteWholeFile(server_files + "\\zlib1.dll", zlib));
  const auto hex = [](const std::string& bytes) {
    base::Sha256 hash;
    hash.Update(bytes);
    return base::Sha256ToHex(hash.Finish());
  };
  for (auto& entry : catalogue_) {
    if (entry.filename == "actbar.ocx") entry.sha256 = hex(actbar);
    if (entry.filename == "zlib1.dll") entry.sha256 = hex(zlib + "as it was");
  }

  ASSERT_NO_FATAL_FAILURE(StartAndOpen());
  ClickMenuItem(MenuItem::kAutoRegisterNo);  // downloads only
  for (const char* name : {"zlib1.dll", "actbar.ocx"}) ASSERT_NO_FATAL_FAILURE(AddName(name));
  Click(Item(ms::kSearchButton));
  auto box = WaitForMessageBox(app_->id(), 30s);
  ASSERT_TRUE(box.has_value()) << "no failure box";
  EXPECT_EQ(box->title, "Not downloaded");
  EXPECT_EQ(box->text, "Connection error");
  EXPECT_FALSE(test::FileExists(downloads + "\\zlib1.dll"));
  ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
  ASSERT_TRUE(WaitUntil([&] { return test::ReadWholeFile(downloads + "\\actbar.ocx") == actbar; }, 30s))
      << "the walk did not go on to the next name";
  EXPECT_EQ(test::FolderEntries(downloads), std::vector<std::string>{"actbar.ocx"});
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
}

}  // namespace
}  // namespace movarin::e2e
