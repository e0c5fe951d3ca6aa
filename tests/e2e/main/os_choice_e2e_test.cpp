// The operating-system question at start-up under Wine: when it is asked, what each
// answer leaves in the command menu and the store, and closing it without an answer.
#include "tests/e2e/main/movarin_fixture.h"

#include "programs/main/os_choice_window/os_choice_window_layout.h"
#include "settings/win32/registry_settings_store.h"

namespace movarin::e2e {
namespace {

using main_program::MainControl;
namespace oc = os_choice;
using Marks = std::vector<std::pair<std::string, bool>>;

class OsChoiceTest : public MovarinTest {
 protected:
  void SetUp() override {
    MovarinTest::SetUp();
    preset_windows_xp_ = false;  // the store is empty: the program starts as the first time
  }
  HWND WaitForChoiceWindow() {
    return WaitForWindow({.title = "Movarin", .class_name = "MovarinOsChoiceWindow", .process_id = app_->id()});
  }
  // Waits for the main window; true when a choice window was seen on the way.
  bool ChoiceSeenBeforeTheMainWindow() {
    bool seen = false;
    WaitUntil(
        [&] {
          if (FindTopWindow({.class_name = "MovarinOsChoiceWindow", .process_id = app_->id()})) seen = true;
          return FindTopWindow({.class_name = "MovarinMainWindow", .process_id = app_->id()}) != nullptr;
        },
        std::chrono::seconds(20), std::chrono::milliseconds(1));
    return seen;
  }
  // The check marks of the options menu's "Windows operating system" submenu.
  Marks OperatingSystemMarks() {
    Marks marks;
    ClickCenter(Control(MainControl::kMenuLabel));
    HWND menu = WaitForPopupMenu(app_->id());
    if (!menu) return marks;
    for (const auto& item : PopupMenuItems(menu)) {
      if (item.text != "Windows operating system") continue;
      for (const auto& sub : ReadMenu(main_, item.submenu)) marks.emplace_back(sub.text, sub.checked);
    }
    ClosePopupMenu(menu);
    WaitForWindowGone(menu);
    return marks;
  }
};

TEST_F(OsChoiceTest, FirstStartAsksAndWindowsXpOpensTheMainWindowAndIsSavedOnClose) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NE(WaitForWindow({.class_name = "MovarinSponsorWindow", .process_id = app_->id()}), nullptr);
  EXPECT_EQ(FindTopWindow({.class_name = "MovarinOsChoiceWindow", .process_id = app_->id()}), nullptr)
      << "the question follows the start-up chain";
  ASSERT_NO_FATAL_FAILURE(PassStartupChain());
  HWND choice = WaitForChoiceWindow();
  ASSERT_NE(choice, nullptr) << "an empty store asks";
  EXPECT_EQ(FindTopWindow({.class_name = "MovarinMainWindow", .process_id = app_->id()}), nullptr)
      << "the main window waits for the answer";
  EXPECT_EQ(GetText(GetDlgItem(choice, oc::kQuestionLabel)), "Which windows operating system are you using ?");
  EXPECT_EQ(GetText(GetDlgItem(choice, oc::kWindowsXpButton)), "Windows XP");
  EXPECT_EQ(GetText(GetDlgItem(choice, oc::kWindowsVista7Button)), "Windows Vista/7");
  EXPECT_NE(FindChild(choice, {.class_name = "MovarinWindowSkin"}), nullptr) << DescribeWindow(choice);
  Screenshot(choice, "os-choice-window");

  Click(GetDlgItem(choice, oc::kWindowsXpButton));
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_TRUE(WaitForWindowGone(choice));
  EXPECT_FALSE(IsWindow(choice)) << "the choice window is gone, not hidden";
  EXPECT_EQ(OperatingSystemMarks(), (Marks{{"Windows Vista/7", false}, {"Windows XP", true}}));
  EXPECT_FALSE(Option("MovarinFilesWindowsXP").has_value()) << "the choice itself writes nothing";
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());
  EXPECT_EQ(Option("MovarinFilesWindowsXP"), "True");
  EXPECT_EQ(Option("MovarinFilesWindowsVista7"), "False");

  // The next start finds one mark stored and never shows the question.
  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_FALSE(ChoiceSeenBeforeTheMainWindow());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(OperatingSystemMarks(), (Marks{{"Windows Vista/7", false}, {"Windows XP", true}}));
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());
}

TEST_F(OsChoiceTest, BothKeysTrueAskAgainAndTheAnswerAddsItsOwnMark) {
  settings::RegistrySettingsStore store;
  ASSERT_TRUE(store.WriteSwitch(settings::Key::kMovarinFilesWindowsXP, true));
  ASSERT_TRUE(store.WriteSwitch(settings::Key::kMovarinFilesWindowsVista7, true));
  ASSERT_NO_FATAL_FAILURE(Start());
  HWND choice = WaitForChoiceWindow();
  ASSERT_NE(choice, nullptr) << "both marks stored: asked again";
  Click(GetDlgItem(choice, oc::kWindowsVista7Button));
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(OperatingSystemMarks(), (Marks{{"Windows Vista/7", true}, {"Windows XP", true}}));
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());
  EXPECT_EQ(Option("MovarinFilesWindowsXP"), "True");
  EXPECT_EQ(Option("MovarinFilesWindowsVista7"), "True");
}

TEST_F(OsChoiceTest, BothMarksTakenOffDuringARunAskAgainAtTheNextStart) {
  preset_windows_xp_ = true;
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  ClickMenuItem(main_program::MenuItem::kWindowsXp);  // the only mark: now neither
  EXPECT_EQ(OperatingSystemMarks(), (Marks{{"Windows Vista/7", false}, {"Windows XP", false}}));
  CloseAnswering("Yes");
  ASSERT_TRUE(app_->WaitForExit().has_value());
  EXPECT_EQ(Option("MovarinFilesWindowsXP"), "False");
  EXPECT_EQ(Option("MovarinFilesWindowsVista7"), "False");

  preset_windows_xp_ = false;  // the store as the last run left it
  ASSERT_NO_FATAL_FAILURE(Start());
  HWND choice = WaitForChoiceWindow();
  ASSERT_NE(choice, nullptr) << "no mark stored: asked again";
  PostMessageW(choice, WM_CLOSE, 0, 0);
  ASSERT_TRUE(app_->WaitForExit().has_value());
}

TEST_F(OsChoiceTest, ClosingTheQuestionWithoutAnAnswerEndsTheProgram) {
  struct Way {
    const char* name;
    UINT message;
    WPARAM wp;
  };
  // The skin's close button posts WM_CLOSE; Alt+F4 and the system menu send SC_CLOSE.
  for (const Way& way : {Way{"close button", WM_CLOSE, 0}, Way{"Alt+F4", WM_SYSCOMMAND, SC_CLOSE}}) {
    SCOPED_TRACE(way.name);
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND choice = WaitForChoiceWindow();
    ASSERT_NE(choice, nullptr);
    PostMessageW(choice, way.message, way.wp, 0);
    const auto code = app_->WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program is still running";
    EXPECT_EQ(*code, 0u);
    EXPECT_FALSE(Option("MovarinFilesWindowsXP").has_value()) << "nothing is saved";
    EXPECT_FALSE(Option("MovarinFilesWindowsVista7").has_value());
  }
}

}  // namespace
}  // namespace movarin::e2e
