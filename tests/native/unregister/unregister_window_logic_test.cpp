// The Unregister program's start-up against a recording platform and store.
#include "programs/unregister/unregister_window_logic.h"

#include <gtest/gtest.h>

#include "registration/messages.h"
#include "tests/native/registration/fake_registration_platform.h"

namespace movarin::unregister_program {
namespace {

using Events = std::vector<std::string>;
using settings::Key;

class FakeWindow final : public UnregisterWindowHost {
 public:
  void HideWindow() override { log.push_back("hide"); }
  std::string FileBox() override { return file_box; }
  void SetFileBox(const std::string& text) override { file_box = text; }
  registration::SilentOption SilentToggles() override { return toggles; }
  void SetSilentToggles(registration::SilentOption t) override { toggles = t; }
  void EndProgram() override { log.push_back("end"); }

  std::vector<std::string> log;
  std::string file_box;
  registration::SilentOption toggles;
};

struct Case {
  std::optional<std::string> yes, no;
  const char* command_line;
};

class HandedOver : public ::testing::TestWithParam<Case> {};

TEST_P(HandedOver, StartsOneCommandAndEnds) {
  registration::test::FakeRegistrationPlatform platform;
  registration::test::RecordingStore store{platform.events};
  FakeWindow window;
  if (GetParam().yes) store.values[Key::kYesMovarinFiles1] = *GetParam().yes;
  if (GetParam().no) store.values[Key::kNoMovarinFiles1] = *GetParam().no;
  store.values[Key::kUnregisterMovarin] = "act bar.ocx";
  LoadUnregisterWindow(window, platform, store);
  EXPECT_EQ(platform.events, Events{std::string("start ") + GetParam().command_line});
  EXPECT_EQ(window.log, (std::vector<std::string>{"hide", "end"}));
}

INSTANTIATE_TEST_SUITE_P(
    Toggles, HandedOver,
    ::testing::Values(
        // No toggle keys: "No" defaults to true.
        Case{std::nullopt, std::nullopt, "Regsvr32 /u \"act bar.ocx\""},
        Case{"False", "True", "Regsvr32 /u \"act bar.ocx\""},
        Case{"True", "False", "Regsvr32 /s /u \"act bar.ocx\""},
        // Neither: silently (the dialog's own way would start nothing).
        Case{"False", "False", "Regsvr32 /s /u \"act bar.ocx\""},
        // Both: "No" is tested first.
        Case{"True", "True", "Regsvr32 /u \"act bar.ocx\""},
        // A toggle that is not a truth value keeps its (unchecked) mark.
        Case{"True", "perhaps", "Regsvr32 /s /u \"act bar.ocx\""}));

TEST(UnregisterProgram, EndsSilentlyWithoutAName) {
  registration::test::FakeRegistrationPlatform platform;
  registration::test::RecordingStore store{platform.events};
  FakeWindow window;
  LoadUnregisterWindow(window, platform, store);
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(window.log, (std::vector<std::string>{"hide", "end"}));
}

TEST(UnregisterProgram, RefusesANameThatWouldSplitIntoOtherArguments) {
  registration::test::FakeRegistrationPlatform platform;
  registration::test::RecordingStore store{platform.events};
  FakeWindow window;
  const std::string text = "a.ocx\" \"c:\\windows\\system32\\ole32.dll";
  store.values[Key::kUnregisterMovarin] = text;
  LoadUnregisterWindow(window, platform, store);
  EXPECT_EQ(platform.events,
            Events{"info: " + registration::CannotUnregisterNameText(text, registration::NameProblem::kDoubleQuote)});
  EXPECT_EQ(window.log.back(), "end");
}

}  // namespace
}  // namespace movarin::unregister_program
