// The multiple-file search window's list editing, and its walk against a simulated
// program in which every writer of the search-next flag acts as the main window and the
// download dialog do: a miss sets "yes"; a single hit with automatic download runs a
// download that reports progress ("no"), lets the walk timer tick inside it as the
// engine's message processing does, and ends with "yes" before it returns.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "programs/main/multi_search_window/multi_search_logic.h"

namespace movarin::multi_search {
namespace {

using Events = std::vector<std::string>;

class SimulatedProgram : public MultiSearchHost {
 public:
  explicit SimulatedProgram(main_program::ProgramState& state) : state_(state) {}

  MultiSearchLogic* logic = nullptr;
  std::vector<std::string> answers;  // what the input box returns, in turn
  std::map<std::string, int> matches;  // catalogue matches per name (absent: none)
  bool automatic_download = false;
  bool download_fails = false;
  int ticks_during_download = 3;
  int ticks_after_download_end = 2;  // e.g. while the registration's box is open
  bool timer_on = false;
  bool downloading = false;
  Events events;
  std::vector<std::string> headers;
  int names_changed = 0;
  std::function<void()> during_search;

  std::string AskForName(std::string_view prompt, std::string_view title) override {
    events.push_back("ask " + std::string(prompt) + " / " + std::string(title));
    std::string answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  void NamesChanged() override { ++names_changed; }
  void SetColumnHeader(std::string_view text) override { headers.emplace_back(text); }
  void ShowInformation(std::string_view text) override { events.push_back("info " + std::string(text)); }
  void EnableWalkTimer(bool enabled) override { timer_on = enabled; }

  // The main window's search.
  void SearchInMainWindow(const std::string& name) override {
    if (during_search) during_search();  // e.g. the user's clicks let through meanwhile
    events.push_back("search " + name);
    const int count = matches.count(name) ? matches.at(name) : 0;
    if (count == 0) {
      state_.set_search_next(true);
      return;
    }
    if (count == 1 && automatic_download) Download(name);
  }

  // The download dialog asked to download; the engine pumps messages meanwhile.
  void Download(const std::string& name) {
    if (downloading) {
      events.push_back("SECOND DOWNLOAD " + name);
      return;
    }
    downloading = true;
    events.push_back("download " + name);
    for (int i = 0; i < ticks_during_download; ++i) {
      state_.set_search_next(false);  // a progress report
      Tick();
    }
    state_.set_search_next(true);  // completed, or reported an error
    events.push_back(download_fails ? "download error" : "downloaded " + name);
    for (int i = 0; i < ticks_after_download_end; ++i) Tick();
    downloading = false;
  }

  void Tick() {
    if (timer_on) logic->WalkTimerTick();
  }

 private:
  main_program::ProgramState& state_;
};

class MultiSearchTest : public ::testing::Test {
 protected:
  MultiSearchTest() { program.logic = &logic; }

  void AddNames(const std::vector<std::string>& names) {
    for (const auto& name : names) {
      program.answers.push_back(name);
      logic.AddPressed();
    }
    program.events.clear();
  }
  // Ticks until the timer stops (or `limit` ticks); returns the number of ticks.
  int TickUntilStopped(int limit = 50) {
    int ticks = 0;
    while (program.timer_on && ticks < limit) {
      program.Tick();
      ++ticks;
    }
    return ticks;
  }

  main_program::ProgramState state;
  SimulatedProgram program{state};
  MultiSearchLogic logic{program, state};
};

TEST_F(MultiSearchTest, EditingTheListKeepsTheHeaderCount) {
  program.answers = {"comdlg32.ocx", "", " spaced .dll ", "comdlg32.ocx"};
  for (int i = 0; i < 4; ++i) logic.AddPressed();
  EXPECT_EQ(logic.Names(), (std::vector<std::string>{"comdlg32.ocx", " spaced .dll ", "comdlg32.ocx"}))
      << "as typed, duplicates allowed; the empty answer (or Cancel) adds nothing";
  EXPECT_EQ(program.events.front(), "ask Please type dll or ocx file name: / dll or ocx file name");
  logic.RemovePressed(std::nullopt);
  logic.RemovePressed(7);
  logic.RemovePressed(0);
  EXPECT_EQ(logic.Names(), (std::vector<std::string>{" spaced .dll ", "comdlg32.ocx"}));
  logic.ClearPressed();
  EXPECT_TRUE(logic.Names().empty());
  EXPECT_EQ(program.headers, (std::vector<std::string>{"File name: 1", "File name: 2", "File name: 3",
                                                       "File name: 3", "File name: 3", "File name: 2",
                                                       "File name: 0"}))
      << "a Remove without a selection still sets the header";
  EXPECT_EQ(program.names_changed, 5);
}

TEST_F(MultiSearchTest, SearchOnAnEmptyListOnlyShowsTheMessage) {
  state.set_search_next(false);
  logic.SearchPressed();
  AddNames({"a.dll"});
  logic.ClearPressed();
  logic.SearchPressed();
  EXPECT_EQ(program.events,
            (Events{"info The list is empty. Please add ocx or dll files before attempting to search"}));
  EXPECT_FALSE(program.timer_on);
  EXPECT_FALSE(state.search_next());
}

TEST_F(MultiSearchTest, MissesAreSearchedOnePerTickAndTheTimerStopsAfterTheLast) {
  AddNames({"a.dll", "b.ocx", "c.dll"});
  logic.SearchPressed();
  EXPECT_TRUE(state.search_next());
  EXPECT_TRUE(program.timer_on);
  EXPECT_EQ(logic.CurrentIndex(), -1);
  for (const char* expected : {"search a.dll", "search b.ocx", "search c.dll"}) {
    program.Tick();
    EXPECT_EQ(program.events.back(), expected);
  }
  EXPECT_TRUE(program.timer_on);
  program.Tick();
  EXPECT_FALSE(program.timer_on) << "the fourth tick finds no next name";
  EXPECT_FALSE(logic.Walking());
  EXPECT_EQ(program.events.size(), 3u);
  EXPECT_FALSE(state.search_next());
}

TEST_F(MultiSearchTest, SeveralMatchesHoldTheWalkUntilSomethingSetsTheFlag) {
  AddNames({"a.dll", "act", "c.dll"});
  program.matches = {{"act", 4}};
  logic.SearchPressed();
  EXPECT_EQ(TickUntilStopped(20), 20) << "waits with its timer running";
  EXPECT_EQ(program.events, (Events{"search a.dll", "search act"}));
  state.set_search_next(true);  // the user's own search in the main window found nothing
  EXPECT_EQ(TickUntilStopped(), 2);
  EXPECT_EQ(program.events, (Events{"search a.dll", "search act", "search c.dll"}));
}

TEST_F(MultiSearchTest, AHitWithoutAutomaticDownloadAlsoWaits) {
  AddNames({"one.ocx", "b.dll"});
  program.matches = {{"one.ocx", 1}};
  logic.SearchPressed();
  EXPECT_EQ(TickUntilStopped(10), 10);
  EXPECT_EQ(program.events, (Events{"search one.ocx"}));
}

TEST_F(MultiSearchTest, HitsAreDownloadedOneAfterTheOtherNeverTwoAtOnce) {
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "downloads that fail" : "downloads that complete");
    program.events.clear();
    program.download_fails = fails;
    program.automatic_download = true;
    program.matches = {{"x.ocx", 1}, {"y.ocx", 1}};
    logic.ClearPressed();
    AddNames({"x.ocx", "y.ocx", "miss.dll"});
    logic.SearchPressed();
    TickUntilStopped();
    const std::string end_x = fails ? "download error" : "downloaded x.ocx";
    const std::string end_y = fails ? "download error" : "downloaded y.ocx";
    EXPECT_EQ(program.events, (Events{"search x.ocx", "download x.ocx", end_x, "search y.ocx",
                                      "download y.ocx", end_y, "search miss.dll"}))
        << "ticks inside a download, before and after its end, hand over nothing";
    EXPECT_FALSE(program.timer_on);
  }
}

TEST_F(MultiSearchTest, SearchAgainStartsOverWithTheListAsItIsNow) {
  AddNames({"a.dll", "b.dll", "c.dll"});
  logic.SearchPressed();
  program.Tick();
  program.Tick();
  program.answers = {"d.dll"};
  logic.AddPressed();
  logic.RemovePressed(0);
  EXPECT_EQ(logic.WorkList(), (std::vector<std::string>{"a.dll", "b.dll", "c.dll"}))
      << "edits while walking do not touch the work list";
  program.Tick();
  logic.SearchPressed();
  TickUntilStopped();
  EXPECT_EQ(program.events, (Events{"search a.dll", "search b.dll", "ask Please type dll or ocx file name: / dll or ocx file name",
                                    "search c.dll", "search b.dll", "search c.dll", "search d.dll"}));
}

TEST_F(MultiSearchTest, SearchPressedDuringAHandOverStartsOverOnceItHasReturned) {
  AddNames({"a.dll", "b.dll"});
  logic.SearchPressed();
  int presses = 0;
  program.during_search = [&] {
    if (presses++ == 0) {
      logic.ClearPressed();
      program.answers = {"c.dll"};
      logic.AddPressed();
      logic.SearchPressed();  // replaces the work list the name in hand came from
      program.Tick();         // a tick inside the hand-over hands over nothing
    }
  };
  TickUntilStopped();
  EXPECT_EQ(program.events, (Events{"ask Please type dll or ocx file name: / dll or ocx file name",
                                    "search a.dll", "search c.dll"}));
}

TEST_F(MultiSearchTest, ClosingEndsTheWalkEvenInsideAHandOver) {
  AddNames({"a.dll", "b.dll"});
  logic.SearchPressed();
  program.Tick();
  logic.Closing();
  EXPECT_FALSE(program.timer_on);
  EXPECT_FALSE(logic.Walking());
  logic.WalkTimerTick();  // a tick already on its way when the window closed
  EXPECT_EQ(program.events, (Events{"search a.dll"}));

  // Closed by the user while the main window is still searching the name handed over
  // (a download's message processing lets the click through).
  program.events.clear();
  program.during_search = [&] { logic.Closing(); };
  logic.SearchPressed();
  program.Tick();
  EXPECT_FALSE(program.timer_on);
  logic.WalkTimerTick();
  EXPECT_EQ(program.events, (Events{"search a.dll"}));
}

}  // namespace
}  // namespace movarin::multi_search
