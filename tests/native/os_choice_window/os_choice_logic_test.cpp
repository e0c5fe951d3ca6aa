// The choice window's decisions as tables: the four states of the two marks at load,
// the two buttons on each of them, and closing without a choice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/main/os_choice_window/os_choice_logic.h"

namespace movarin::os_choice {
namespace {

class RecordingHost : public OsChoiceHost {
 public:
  // What the store holds, read into the marks by ReadMarksFromStore.
  bool stored_xp = false, stored_vista7 = false;
  bool xp = false, vista7 = false;
  std::vector<std::string> calls;

  void ReadMarksFromStore() override {
    calls.push_back("read");
    xp = stored_xp;
    vista7 = stored_vista7;
  }
  bool Checked(OperatingSystem system) override {
    return system == OperatingSystem::kWindowsXp ? xp : vista7;
  }
  void Check(OperatingSystem system) override {
    calls.push_back(system == OperatingSystem::kWindowsXp ? "check XP" : "check Vista/7");
    (system == OperatingSystem::kWindowsXp ? xp : vista7) = true;
  }
  void ShowMainWindow() override { calls.push_back("show main"); }
  void CloseWindow() override { calls.push_back("close"); }
  void EndProgram() override { calls.push_back("end"); }
};

using Calls = std::vector<std::string>;

TEST(OsChoiceLogicTest, LoadDecidesOnTheStoredMarks) {
  struct Row {
    bool xp, vista7;
    LoadOutcome outcome;
    Calls calls;
  };
  const std::vector<Row> table = {
      {false, false, LoadOutcome::kAsk, {"read"}},
      {true, false, LoadOutcome::kPassOn, {"read", "show main", "close"}},
      {false, true, LoadOutcome::kPassOn, {"read", "show main", "close"}},
      {true, true, LoadOutcome::kAsk, {"read"}},
  };
  for (const Row& row : table) {
    RecordingHost host;
    host.stored_xp = row.xp;
    host.stored_vista7 = row.vista7;
    OsChoiceLogic logic(host);
    EXPECT_EQ(logic.Load(), row.outcome) << row.xp << row.vista7;
    EXPECT_EQ(host.calls, row.calls) << row.xp << row.vista7;
    EXPECT_EQ(host.xp, row.xp) << "the marks are the store's; the load adds none";
    EXPECT_EQ(host.vista7, row.vista7);
  }
}

TEST(OsChoiceLogicTest, AButtonAddsItsOwnMarkThenOpensTheMainWindow) {
  struct Row {
    bool xp, vista7;  // stored, so the window asked
    OperatingSystem chosen;
    bool xp_after, vista7_after;
  };
  const std::vector<Row> table = {
      {false, false, OperatingSystem::kWindowsXp, true, false},
      {false, false, OperatingSystem::kWindowsVista7, false, true},
      // Both stored: the chosen mark is added and both stay, so registering later runs
      // both ways.
      {true, true, OperatingSystem::kWindowsXp, true, true},
      {true, true, OperatingSystem::kWindowsVista7, true, true},
  };
  for (const Row& row : table) {
    RecordingHost host;
    host.stored_xp = row.xp;
    host.stored_vista7 = row.vista7;
    OsChoiceLogic logic(host);
    ASSERT_EQ(logic.Load(), LoadOutcome::kAsk);
    logic.Choose(row.chosen);
    EXPECT_EQ(host.xp, row.xp_after);
    EXPECT_EQ(host.vista7, row.vista7_after);
    EXPECT_EQ(host.calls, (Calls{"read",
                                 row.chosen == OperatingSystem::kWindowsXp ? "check XP" : "check Vista/7",
                                 "show main", "close"}));
  }
}

TEST(OsChoiceLogicTest, ClosingWithoutAChoiceEndsTheProgramWithoutTheMainWindow) {
  RecordingHost host;
  OsChoiceLogic logic(host);
  ASSERT_EQ(logic.Load(), LoadOutcome::kAsk);
  logic.CloseWithoutChoice();
  EXPECT_EQ(host.calls, (Calls{"read", "close", "end"}));
  EXPECT_FALSE(host.xp || host.vista7);
}

}  // namespace
}  // namespace movarin::os_choice
