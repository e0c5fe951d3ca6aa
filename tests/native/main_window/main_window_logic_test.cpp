// The main window's decisions against real catalogues: written by our writer, read by
// our reader, driven through a recording host.
#include <gtest/gtest.h>

#include "programs/main/main_window/main_window_logic.h"
#include "programs/main/program_state.h"
#include "tools/catalog/writer/jet_writer.h"

namespace movarin::main_program {
namespace {

using catalogue::Connection;
using catalogue::kCataloguePassword;
using catalogue::ProviderError;
using catalogue::SearchQuery;

namespace writer = tools::catalog_writer;

class RecordingHost : public MainWindowHost {
 public:
  std::string search_text;
  std::vector<std::string> information;
  std::vector<ProviderError> open_errors;
  int retries_left = 0;
  int cannot_connect = 0;
  int results_changed = 0;
  std::vector<std::string> headers;
  bool notice_shown = false;
  bool timer_enabled = false;
  std::vector<std::string> downloads;
  std::vector<download::ExpectedDigest> digests;
  // Lists shown, cues played and downloads started, in their order.
  std::vector<std::string> sequence;
  // "<marks> <path>|<name>", the marks as "xp", "vista", "yes", "no" for each one checked.
  std::vector<std::string> registered;
  std::function<void()> on_retry;

  std::string SearchBoxText() override { return search_text; }
  void ShowInformation(std::string_view text) override { information.emplace_back(text); }
  bool AskRetryAfterOpenError(const ProviderError& error) override {
    open_errors.push_back(error);
    if (retries_left == 0) return false;
    --retries_left;
    if (on_retry) on_retry();
    return true;
  }
  void ShowCannotConnect() override { ++cannot_connect; }
  void ResultsChanged() override {
    ++results_changed;
    sequence.push_back("list");
  }
  void SetFirstColumnHeader(std::string_view text) override { headers.emplace_back(text); }
  void ShowNotFoundNotice(bool shown) override { notice_shown = shown; }
  void EnableNoticeTimer(bool enabled) override { timer_enabled = enabled; }
  void StartDownload(const std::string& address, const download::ExpectedDigest& digest) override {
    downloads.push_back(address);
    digests.push_back(digest);
    sequence.push_back("download");
  }
  void PlayCue(int slot) override { sequence.push_back("cue " + std::to_string(slot)); }
  void RegisterFile(const registration::RegistrationOptions& options, const std::string& source_path,
                    const std::string& file_name) override {
    std::string marks;
    for (auto [on, mark] : {std::pair{options.system.windows_xp, "xp "}, {options.system.windows_vista7, "vista "},
                            {options.silent.yes, "yes "}, {options.silent.no, "no "}})
      if (on) marks += mark;
    registered.push_back(marks + source_path + "|" + file_name);
  }
};

std::vector<std::uint8_t> CatalogueBytes(const std::vector<writer::CatalogueEntry>& entries,
                                         const writer::CatalogueOptions& options = {}) {
  auto image = writer::BuildCatalogueImage(entries, options);
  if (!image) {
    ADD_FAILURE() << image.error().Message();
    return {};
  }
  return std::move(*image);
}

const std::vector<writer::CatalogueEntry> kDemo = {
    {"mscomctl.ocx", "6.1.98.34"}, {"ACTSKIN4.OCX", "4.3.0.0"}, {"actbar.ocx", "1.0"},
    {"zlib1.dll", "1.2.13"},       {"O'Brien.dll", "2.0"},      {"comdlg32.ocx", ""},
};

class MainWindowLogicTest : public ::testing::Test {
 protected:
  void Open(const std::vector<writer::CatalogueEntry>& entries, const writer::CatalogueOptions& options = {}) {
    bytes = CatalogueBytes(entries, options);
    logic = std::make_unique<MainWindowLogic>(
        host, menu, state,
        [this] { return Connection::OpenBytes(bytes, kCataloguePassword, "C:\\app\\database.mdb"); },
        "http://127.0.0.1:8080/");
    ASSERT_TRUE(logic->Load(store));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < logic->ResultCount(); ++i) names.emplace_back(logic->RowText(i));
    return names;
  }
  void Search(std::string text) {
    host.search_text = std::move(text);
    logic->SearchCatalogue();
  }

  RecordingHost host;
  CommandMenuModel menu;
  settings::MemorySettingsStore store;
  std::vector<std::uint8_t> bytes;
  ProgramState state;
  std::unique_ptr<MainWindowLogic> logic;
};

TEST_F(MainWindowLogicTest, StartUpListsTheWholeCatalogueSortedWithTheCountInTheHeader) {
  Open(kDemo);
  EXPECT_EQ(Names(), (std::vector<std::string>{"actbar.ocx", "ACTSKIN4.OCX", "comdlg32.ocx",
                                               "mscomctl.ocx", "O'Brien.dll", "zlib1.dll"}));
  EXPECT_EQ(logic->RowVersion(1), "4.3.0.0");
  EXPECT_EQ(host.headers, std::vector<std::string>{"File name: 6"});
  EXPECT_TRUE(menu.Checked(MenuItem::kSilentNo));
  EXPECT_TRUE(menu.Checked(MenuItem::kAutoDownloadYes));
}

TEST_F(MainWindowLogicTest, SearchWithSeveralMatchesListsThemInDatabaseOrderAndDownloadsNothing) {
  Open(kDemo);
  logic->PrepareSearch();  // the index built ahead answers like the one built on demand
  Search("act");
  EXPECT_EQ(Names(), (std::vector<std::string>{"ACTSKIN4.OCX", "actbar.ocx"}));
  EXPECT_TRUE(host.downloads.empty());
  EXPECT_FALSE(host.notice_shown);
  EXPECT_EQ(host.headers.size(), 1u) << "a search never changes the header";
}

TEST_F(MainWindowLogicTest, SearchWithOneMatchStartsTheDownloadOnlyWhenTheOptionIsOn) {
  Open(kDemo);
  Search("ms");
  EXPECT_EQ(Names(), std::vector<std::string>{"mscomctl.ocx"});
  EXPECT_EQ(host.downloads, std::vector<std::string>{"http://127.0.0.1:8080/files/mscomctl.ocx"});
  menu.Click(MenuItem::kAutoDownloadNo);
  Search("zl");
  EXPECT_EQ(Names(), std::vector<std::string>{"zlib1.dll"});
  EXPECT_EQ(host.downloads.size(), 1u);
}

TEST_F(MainWindowLogicTest, MissShowsTheNoticeForFiftyTicksReloadsAndSetsTheFlag) {
  Open(kDemo);
  state.set_search_next(false);
  Search("nothing-like-this");
  EXPECT_TRUE(state.search_next());
  EXPECT_TRUE(host.notice_shown);
  EXPECT_TRUE(host.timer_enabled);
  EXPECT_EQ(logic->ResultCount(), 6u) << "the whole catalogue is listed again";
  EXPECT_TRUE(host.downloads.empty());
  for (int tick = 1; tick < kNoticeTicks; ++tick) {
    logic->NoticeTimerTick();
    ASSERT_TRUE(host.notice_shown) << "tick " << tick;
  }
  logic->NoticeTimerTick();
  EXPECT_FALSE(host.notice_shown);
  EXPECT_FALSE(host.timer_enabled);
  EXPECT_EQ(logic->NoticeTickCounter(), 0);
}

TEST_F(MainWindowLogicTest, MissInAOneRowCatalogueOnlySoundsNotFoundAndDownloadsNothing) {
  Open({{"only.ocx", "1"}});
  host.sequence.clear();
  Search("x");
  EXPECT_EQ(logic->ResultCount(), 1u);
  EXPECT_TRUE(host.downloads.empty());
  EXPECT_EQ(host.sequence, (std::vector<std::string>{"list", "list", "cue 1"}))
      << "the one row listed after the miss is no hit: no found cue";
}

TEST_F(MainWindowLogicTest, CuesFollowTheOutcomeAndTheirOptions) {
  Open(kDemo);
  struct Case {
    std::string text;
    bool found_sound, not_found_sound;
    std::vector<std::string> sequence;
  };
  const std::vector<Case> cases = {
      // One match: the found cue, then the download (which returns when it has ended).
      {"ms", true, true, {"list", "cue 2", "download"}},
      {"ms", false, true, {"list", "download"}},
      {"act", true, true, {"list"}},  // several matches sound nothing
      // A miss: the not-found cue once the whole catalogue is listed again.
      {"nothing-like-this", true, true, {"list", "list", "cue 1"}},
      {"nothing-like-this", true, false, {"list", "list"}},
      {"", true, true, {}},  // the empty-field message only
  };
  for (const Case& c : cases) {
    menu.SetChecked(MenuItem::kFileFoundSound, c.found_sound);
    menu.SetChecked(MenuItem::kFileNotFoundSound, c.not_found_sound);
    host.sequence.clear();
    Search(c.text);
    EXPECT_EQ(host.sequence, c.sequence) << "'" << c.text << "' found " << c.found_sound
                                         << " not found " << c.not_found_sound;
  }
}

TEST_F(MainWindowLogicTest, EmptyTextAsksForANameAndBlanksAreSearchedOnlyByTheButton) {
  Open(kDemo);
  Search("");
  EXPECT_EQ(host.information, std::vector<std::string>{"The dll or ocx file field is empty."});
  const int changes = host.results_changed;
  host.search_text = "   ";
  logic->EnterPressedInSearchBox();
  EXPECT_EQ(host.results_changed, changes) << "Enter with blanks does nothing";
  logic->SearchCatalogue();
  EXPECT_TRUE(host.notice_shown) << "the button searches for names beginning with blanks";
  host.search_text = " act";
  logic->EnterPressedInSearchBox();
  EXPECT_GT(host.results_changed, changes);
}

TEST_F(MainWindowLogicTest, PercentListsEverythingAndAnApostropheIsSearchedFor) {
  Open(kDemo);
  Search("%");
  EXPECT_EQ(logic->ResultCount(), 6u);
  EXPECT_FALSE(host.notice_shown);
  Search("O'B");
  EXPECT_EQ(Names(), std::vector<std::string>{"O'Brien.dll"});
  Search("'");
  EXPECT_TRUE(host.notice_shown);
}

TEST_F(MainWindowLogicTest, SignalTwoSearchesAndSignalOneIsCleared) {
  Open(kDemo);
  std::string field = "2";
  int clears = 0;
  int names_read = 0;
  auto name = [&] {
    ++names_read;
    return std::string("zlib1.dll");
  };
  auto path = [] { return std::string("C:\\dl\\zlib1.dll"); };
  host.search_text = "act";
  logic->SignalFieldChanged([&] { return field; }, [&] {
    field.clear();
    ++clears;
  }, name, path);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ACTSKIN4.OCX", "actbar.ocx"}));
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(names_read, 0) << "a search does not touch the downloaded-file fields";
  field = "1";
  logic->SignalFieldChanged([&] { return field; }, [&] { field.clear(); }, name, path);
  EXPECT_EQ(field, "");
  EXPECT_EQ(names_read, 1) << "signal 1 registers the file the fields name";
  EXPECT_EQ(host.registered, std::vector<std::string>{"no C:\\dl\\zlib1.dll|zlib1.dll"})
      << "with the marks of the moment: silent \"No\" by default, no operating system";
}

TEST_F(MainWindowLogicTest, RegisteringReadsTheMarksAtTheMomentOfEachCall) {
  Open(kDemo);
  menu.Click(MenuItem::kWindowsXp);
  menu.Click(MenuItem::kSilentYes);
  logic->RegisterDownloadedFile("a.ocx", "C:\\dl\\a.ocx");
  menu.Click(MenuItem::kWindowsVista7);
  menu.Click(MenuItem::kSilentYes);  // neither silent item now
  logic->RegisterFromDisk("C:\\b.dll", {"C:\\b.dll", "b.dll"});
  EXPECT_EQ(host.registered, (std::vector<std::string>{"xp yes C:\\dl\\a.ocx|a.ocx", "vista C:\\b.dll|b.dll"}));
}

TEST(FileNameToRegister, TheChosenTitleOrTheNameAtTheEndOfATypedPath) {
  const ChosenFile chosen{"C:\\dl\\Movarin Test.dll", "Movarin Test.dll"};
  struct Case {
    std::string path_box;
    ChosenFile last_choice;
    std::string name;
  } const cases[] = {
      {"C:\\dl\\Movarin Test.dll", chosen, "Movarin Test.dll"},  // as chosen in the dialog
      {"C:\\other\\x.ocx", chosen, "x.ocx"},                      // typed over an earlier choice
      {"C:\\other\\x.ocx", {}, "x.ocx"},                          // the dialog never used
      {"C:/other/y.dll", {}, "y.dll"},
      {"D:z.dll", {}, "z.dll"},
      {"z.dll", {}, "z.dll"},
      {"C:\\folder\\", {}, ""},
      {"", {}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FileNameToRegister(c.path_box, c.last_choice), c.name) << c.path_box;
}

TEST(MainWindowLogicOpen, RetryReopensAndCancelLeavesAnEmptyList) {
  RecordingHost host;
  CommandMenuModel menu;
  settings::MemorySettingsStore store;
  std::vector<std::uint8_t> good = CatalogueBytes(kDemo);
  bool file_back = false;
  ProgramState state;
  MainWindowLogic logic(
      host, menu, state,
      [&]() -> base::Result<Connection, ProviderError> {
        if (!file_back) return Connection::Open("/nonexistent/database.mdb", kCataloguePassword);
        return Connection::OpenBytes(good, kCataloguePassword, "database.mdb");
      },
      "http://h/");
  host.retries_left = 2;
  int retries = 0;
  host.on_retry = [&] { file_back = ++retries == 2; };
  ASSERT_TRUE(logic.Load(store));
  EXPECT_EQ(host.open_errors.size(), 2u);
  EXPECT_NE(host.open_errors[0].description.find("Could not find file"), std::string::npos);
  EXPECT_EQ(OpenErrorText(host.open_errors[0]).rfind("Error No.:", 0), 0u);
  EXPECT_NE(OpenErrorText(host.open_errors[0]).find("\r\nDescription:Could not find file"),
            std::string::npos);
  EXPECT_EQ(logic.ResultCount(), 6u);

  RecordingHost gave_up;
  MainWindowLogic closed(gave_up, menu, state,
                         [] { return Connection::Open("/nonexistent/database.mdb", "x"); }, "http://h/");
  EXPECT_FALSE(closed.Load(store));
  EXPECT_EQ(gave_up.cannot_connect, 1);
  EXPECT_EQ(gave_up.headers, std::vector<std::string>{"File Name"});
  EXPECT_EQ(closed.ResultCount(), 0u);
  gave_up.search_text = "a";
  closed.SearchCatalogue();  // no catalogue: an empty list and the notice, no loop
  EXPECT_EQ(closed.ResultCount(), 0u);
  EXPECT_TRUE(gave_up.notice_shown);
}

TEST(PrepareSearch, MissingTableOrColumnChangesNothing) {
  auto opened = Connection::OpenBytes(CatalogueBytes(kDemo), kCataloguePassword, "db.mdb");
  const Connection& connection = *opened;
  connection.PrepareSearch("Nothing", "Filename");
  connection.PrepareSearch("Files", "Nothing");
  connection.PrepareSearch("Files", "Version");
  auto rows = connection.Execute(SearchQuery("zl"));
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows->RecordCount(), 1u);
}

TEST(MainWindowLogicOpen, WrongPasswordIsReportedAsTheProviderDoes) {
  RecordingHost host;
  CommandMenuModel menu;
  settings::MemorySettingsStore store;
  writer::CatalogueOptions options;
  options.password = "another";
  auto image = writer::BuildCatalogueImage(kDemo, options);
  auto bytes = *image;
  ProgramState state;
  MainWindowLogic logic(host, menu, state,
                        [&] { return Connection::OpenBytes(bytes, kCataloguePassword, "db.mdb"); },
                        "http://h/");
  EXPECT_FALSE(logic.Load(store));
  ASSERT_EQ(host.open_errors.size(), 1u);
  EXPECT_EQ(host.open_errors[0].description, "Not a valid password.");
}

// The digest of the hit goes with its address; an entry without one, or a catalogue
// without the column, downloads unchecked.
TEST_F(MainWindowLogicTest, AHitHandsItsCatalogueDigestToTheDownload) {
  const std::string hex(64, 'c');
  std::vector<writer::CatalogueEntry> entries = kDemo;
  entries[0].sha256 = hex;  // mscomctl.ocx
  Open(entries);
  Search("ms");
  Search("zl");
  ASSERT_EQ(host.digests.size(), 2u);
  EXPECT_EQ(host.digests[0], download::ExpectedDigest::FromCatalogueText(hex));
  EXPECT_NE(host.digests[0].digest(), nullptr);
  EXPECT_TRUE(host.digests[1].IsNone());

  Open(kDemo);
  Search("ms");
  ASSERT_EQ(host.digests.size(), 3u);
  EXPECT_TRUE(host.digests[2].IsNone());
}

}  // namespace
}  // namespace movarin::main_program
