// The program update check window's flow: what each reply leads to, and that the window
// never leaves the program without a window (or ends it twice).
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "programs/main/update_check_window/update_check_logic.h"

namespace movarin::main_program {
namespace {

class RecordingWindow : public UpdateCheckHost {
 public:
  std::optional<std::string> reply;
  // Runs inside the fetch, as a message processed while the reply is awaited.
  std::function<void()> while_fetching;
  std::string label = "Checking For Updates";
  std::vector<std::string> log;
  int fetches = 0;

  std::optional<std::string> FetchReply() override {
    ++fetches;
    if (while_fetching) {
      auto run = std::move(while_fetching);
      run();
    }
    return reply;
  }
  void ProcessMessagesOnce() override {}
  void SetLabel(std::string_view text) override { label = text; }
  void ShowDatabaseUpdate() override { log.push_back("show database update"); }
  void CloseWindow() override { log.push_back("close"); }
  void StartUpdater() override { log.push_back("start updater"); }
  void EndProgram() override { log.push_back("end program"); }
};

using Log = std::vector<std::string>;

TEST(UpdateCheckLogic, WhatEachReplyLeadsTo) {
  struct Case {
    const char* what;
    std::optional<std::string> reply;
    std::string label;
    Log log;
  };
  const Log go_on = {"show database update", "close"};
  const Case cases[] = {
      {"a newer version", "checkupdates ccc3ddd", "New Updates Available!", {}},
      {"compared as numbers", "checkupdates ccc10ddd", "New Updates Available!", {}},
      {"the same version", "checkupdates ccc2ddd", "No New Updates Are Available", go_on},
      {"an older one", "checkupdates ccc1.5ddd", "No New Updates Are Available", go_on},
      {"no marker", "ccc3ddd", "Checking For Updates", {}},
      {"a damaged number", "checkupdates cccxddd", "Checking For Updates", {}},
      {"no number at all", "checkupdates cccddd", "Checking For Updates", {}},
      {"an error page", "<html><h1>404 Not Found</h1></html>", "Checking For Updates", {}},
      {"no answer at all", std::nullopt, "No New Updates Are Available", go_on},
  };
  for (const Case& c : cases) {
    RecordingWindow window;
    window.reply = c.reply;
    UpdateCheckLogic logic(window, 2);
    logic.Load();
    EXPECT_EQ(window.label, c.label) << c.what;
    EXPECT_EQ(window.log, c.log) << c.what;
    // Closing the window afterwards ends the program only where it did not go on.
    logic.Closed();
    EXPECT_EQ(window.log.back() == "end program", c.log.empty()) << c.what;
  }
}

TEST(UpdateCheckLogic, CheckAgainAfterWaiting) {
  RecordingWindow window;
  window.reply = "no marker here";
  UpdateCheckLogic logic(window, 2);
  logic.Load();
  EXPECT_TRUE(window.log.empty());
  window.reply = "checkupdates ccc2ddd";
  logic.Check();
  EXPECT_EQ(window.fetches, 2);
  EXPECT_EQ(window.log, (Log{"show database update", "close"}));
  // Gone on: another press (a message still queued) asks nothing more.
  logic.Check();
  EXPECT_EQ(window.fetches, 2);
}

TEST(UpdateCheckLogic, CheckPressedWhileTheReplyIsAwaitedIsIgnored) {
  RecordingWindow window;
  window.reply = "checkupdates ccc2ddd";
  UpdateCheckLogic logic(window, 2);
  window.while_fetching = [&] {
    EXPECT_TRUE(logic.Checking());
    logic.Check();
  };
  logic.Load();
  EXPECT_EQ(window.fetches, 1);
  EXPECT_EQ(window.log, (Log{"show database update", "close"}));
}

TEST(UpdateCheckLogic, ClosedWhileTheReplyIsAwaited) {
  RecordingWindow window;
  window.reply = "checkupdates ccc2ddd";
  UpdateCheckLogic logic(window, 2);
  window.while_fetching = [&] { logic.Closed(); };
  logic.Load();
  // The program ends; the late reply opens nothing.
  EXPECT_EQ(window.log, Log{"end program"});
}

TEST(UpdateCheckLogic, UpdateStartsTheUpdaterAndEndsTheProgramOnce) {
  RecordingWindow window;
  window.reply = "checkupdates ccc3ddd";
  UpdateCheckLogic logic(window, 2);
  logic.Load();
  logic.Update();
  logic.Closed();  // the window goes with the program
  logic.Update();
  EXPECT_EQ(window.log, (Log{"start updater", "end program"}));
  // Pressed while a reply is awaited: the reply is not acted on.
  RecordingWindow other;
  other.reply = "checkupdates ccc2ddd";
  UpdateCheckLogic pressed(other, 2);
  other.while_fetching = [&] { pressed.Update(); };
  pressed.Load();
  EXPECT_EQ(other.log, (Log{"start updater", "end program"}));
}

TEST(UpdateCheckLogic, LocalVersionFromTheFileVersion) {
  struct Case {
    const char* text;
    std::optional<std::int16_t> version;
  };
  const Case cases[] = {
      {"2.0.0.0", 2},     {"2.0", 2},           {"1.1.0.0", 2},  {"2.10.3.4", 12},
      {"00002.00000", 2}, {"65535.65535.0.0", 32767},
      {"2", std::nullopt}, {"", std::nullopt},   {"2.", std::nullopt}, {".0", std::nullopt},
      {"-1.0", std::nullopt}, {"+2.0", std::nullopt}, {"2.x.0.0", std::nullopt},
      {"123456.0", std::nullopt}, {" 2.0", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(LocalVersionFromFileVersion(c.text), c.version) << c.text;
}

}  // namespace
}  // namespace movarin::main_program
