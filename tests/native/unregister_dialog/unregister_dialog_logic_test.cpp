// The unregister dialog's decisions on the real unregister command, against a recording
// platform: which command menu marks lead to which command line or hand-over, and what the
// file box shows after the open-file dialog.
#include "programs/main/unregister_dialog/unregister_dialog_logic.h"

#include <gtest/gtest.h>

#include "registration/messages.h"
#include "tests/native/registration/fake_registration_platform.h"

namespace movarin::main_program {
namespace {

using Events = std::vector<std::string>;

class UnregisterDialogLogicTest : public ::testing::Test {
 protected:
  void Check(std::initializer_list<MenuItem> items) {
    menu = CommandMenuModel();
    for (MenuItem item : items) menu.SetChecked(item, true);
  }

  registration::test::FakeRegistrationPlatform platform;
  registration::test::RecordingStore store{platform.events};
  registration::RegistrationCommands commands{platform, store, "C:\\Movarin"};
  CommandMenuModel menu;
  UnregisterDialogLogic logic{commands, menu};
};

TEST_F(UnregisterDialogLogicTest, TheMarksOfTheMomentChooseTheWay) {
  struct Case {
    std::initializer_list<MenuItem> marks;
    Events events;
  };
  const Case cases[] = {
      // The blank is quoted on the command line; the hand-over keeps the text as typed.
      {{MenuItem::kWindowsXp, MenuItem::kSilentYes}, {"start Regsvr32 /s /u \"Movarin Test.dll\""}},
      {{MenuItem::kWindowsXp, MenuItem::kSilentNo}, {"start Regsvr32 /u \"Movarin Test.dll\""}},
      {{MenuItem::kWindowsXp}, {}},
      {{MenuItem::kWindowsVista7, MenuItem::kSilentNo},
       {"store YesMovarinFiles1=False", "store NoMovarinFiles1=True", "store Unregistermovarin=Movarin Test.dll",
        "open C:\\Movarin\\Adds\\Unregister.exe"}},
      {{MenuItem::kSilentYes}, {"info: " + std::string(registration::kSelectOperatingSystem)}},
  };
  for (const Case& c : cases) {
    Check(c.marks);
    platform.events.clear();
    logic.UnregisterClicked("Movarin Test.dll");
    EXPECT_EQ(platform.events, c.events);
  }
}

TEST_F(UnregisterDialogLogicTest, AnEmptyBoxIsRefused) {
  Check({MenuItem::kWindowsXp, MenuItem::kSilentYes});
  logic.UnregisterClicked("");
  EXPECT_EQ(platform.events, Events{"info: " + std::string(registration::kUnregisterFieldEmpty)});
}

TEST_F(UnregisterDialogLogicTest, TheBoxTakesTheDialogsTitleWhichACancelLeavesAsItWas) {
  EXPECT_EQ(logic.FileBoxAfterBrowse(std::nullopt), "") << "a cancel before any choice";
  EXPECT_EQ(logic.FileBoxAfterBrowse("mscomctl.ocx"), "mscomctl.ocx");
  EXPECT_EQ(logic.FileBoxAfterBrowse(std::nullopt), "mscomctl.ocx");
  EXPECT_EQ(logic.FileBoxAfterBrowse("zlib1.dll"), "zlib1.dll");
}

}  // namespace
}  // namespace movarin::main_program
