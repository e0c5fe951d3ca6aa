// The Register program's 60 ticks against a recording platform and store.
#include "programs/register/register_window_logic.h"

#include <gtest/gtest.h>

#include "registration/messages.h"
#include "tests/native/registration/fake_registration_platform.h"

namespace movarin::register_program {
namespace {

using Events = std::vector<std::string>;
using settings::Key;

constexpr const char* kAdds = "C:\\Movarin\\Adds";
constexpr const char* kBatch = "C:\\Movarin\\Adds\\run.bat";
constexpr const char* kSource = "C:\\Users\\me\\Downloads\\act bar.ocx";

class FakeWindow final : public RegisterWindowHost {
 public:
  void SetTickCaption(const std::string& text) override { caption = text; }
  std::string PathField() override { return path; }
  void SetPathField(const std::string& text) override { path = text; }
  std::string NameField() override { return name; }
  void SetNameField(const std::string& text) override { name = text; }
  registration::SilentOption SilentToggles() override { return toggles; }
  void SetSilentToggles(registration::SilentOption t) override { toggles = t; }
  void CloseWindow() override { ++closes; }

  std::string caption = "0", path, name;
  registration::SilentOption toggles;
  int closes = 0;
};

class RegisterProgram : public ::testing::Test {
 protected:
  RegisterProgram() { platform.AddLibrary(kSource); }
  void HandOver(std::optional<std::string> yes, std::optional<std::string> no,
                std::string path = kSource, std::string name = "act bar.ocx") {
    if (yes) store.values[Key::kYesMovarinFiles1] = *yes;
    if (no) store.values[Key::kNoMovarinFiles1] = *no;
    store.values[Key::kRegisterLink] = path;
    store.values[Key::kRegisterName] = name;
  }
  // Ticks until the window closes (at most `limit` ticks); the number of ticks it took.
  int RunUntilClosed(int limit = 100) {
    for (int i = 0; i < limit && window.closes == 0; ++i) logic.Tick();
    return logic.ticks();
  }

  registration::test::FakeRegistrationPlatform platform;
  registration::test::RecordingStore store{platform.events};
  FakeWindow window;
  RegisterWindowLogic logic{window, platform, store, kAdds};
};

TEST_F(RegisterProgram, RegistersAtTickFortyAndEndsAtSixty) {
  HandOver("True", "False");
  for (int tick = 1; tick < kRegisterTick; ++tick) logic.Tick();
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(window.caption, "39");
  logic.Tick();
  EXPECT_EQ(platform.events, (Events{std::string("write ") + kBatch, std::string("open ") + kBatch}));
  EXPECT_EQ(platform.files[kBatch],
            "copy \"C:\\Users\\me\\Downloads\\act bar.ocx\" \"c:\\windows\\system32\"\r\n"
            "regsvr32 /s \"c:\\windows\\system32\\act bar.ocx\"\r\n");
  EXPECT_EQ(RunUntilClosed(), kEndTick);
  EXPECT_EQ(window.caption, "60");
  // The timer may still fire once while the window goes away: nothing more happens.
  logic.Tick();
  EXPECT_EQ(window.closes, 1);
  EXPECT_EQ(platform.events.size(), 2u);
  // It only reads the store.
  EXPECT_EQ(std::count_if(platform.events.begin(), platform.events.end(),
                          [](const std::string& e) { return e.rfind("store", 0) == 0; }),
            0);
}

struct ToggleCase {
  std::optional<std::string> yes, no;
  std::vector<std::string> regsvr32_lines;
};

class HandedOverToggles : public RegisterProgram, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(HandedOverToggles, ChooseTheBatchLines) {
  HandOver(GetParam().yes, GetParam().no);
  RunUntilClosed();
  std::string expected = "copy \"C:\\Users\\me\\Downloads\\act bar.ocx\" \"c:\\windows\\system32\"\r\n";
  for (const std::string& line : GetParam().regsvr32_lines)
    expected += line + " \"c:\\windows\\system32\\act bar.ocx\"\r\n";
  EXPECT_EQ(platform.files[kBatch], expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HandedOverToggles,
    ::testing::Values(
        // No toggle keys: "No" defaults to true, so regsvr32 shows its result.
        ToggleCase{std::nullopt, std::nullopt, {"regsvr32"}},
        ToggleCase{"False", "True", {"regsvr32"}},
        ToggleCase{"True", "False", {"regsvr32 /s"}},
        // Both False: copied, not registered.
        ToggleCase{"False", "False", {}},
        ToggleCase{"True", "True", {"regsvr32", "regsvr32 /s"}},
        // Not a truth value: that toggle keeps its (unchecked) mark.
        ToggleCase{"maybe", "True", {"regsvr32"}},
        ToggleCase{"True", "maybe", {"regsvr32 /s"}}));

TEST_F(RegisterProgram, EndsAtTickTwentyWithoutAPathOrAName) {
  for (auto [path, name] : {std::pair<std::string, std::string>{"", "a.ocx"}, {kSource, ""}}) {
    FakeWindow fresh;
    RegisterWindowLogic run(fresh, platform, store, kAdds);
    HandOver("False", "True", path, name);
    for (int i = 0; i < 100 && fresh.closes == 0; ++i) run.Tick();
    EXPECT_EQ(run.ticks(), kLoadTick);
  }
  store.values.clear();  // no keys at all
  EXPECT_EQ(RunUntilClosed(), kLoadTick);
  EXPECT_TRUE(platform.events.empty());
}

TEST_F(RegisterProgram, RefusesAFileThatIsNoLibraryAndStillEndsAtSixty) {
  platform.files[kSource] = "<html>not found</html>";
  HandOver("False", "True");
  EXPECT_EQ(RunUntilClosed(), kEndTick);
  EXPECT_EQ(platform.events, Events{"info: " + registration::NotALibraryText(kSource)});
}

TEST_F(RegisterProgram, RefusesAHandedOverNameThatWouldChangeTheBatchFile) {
  HandOver("False", "True", kSource, "a.ocx\" & del c:\\x & \"");
  RunUntilClosed();
  ASSERT_EQ(platform.events.size(), 1u);
  EXPECT_EQ(platform.events[0].rfind("info: The path or file name", 0), 0u) << platform.events[0];
  EXPECT_FALSE(platform.files.count(kBatch));
}

TEST_F(RegisterProgram, TheButtonRunsTheStepWithTheFieldsAsTheyAre) {
  logic.RegisterButtonPressed();  // empty path: nothing
  EXPECT_TRUE(platform.events.empty());
  window.path = kSource;
  window.name = "act bar.ocx";
  window.toggles = {.yes = true};
  logic.RegisterButtonPressed();
  EXPECT_EQ(platform.events, (Events{std::string("write ") + kBatch, std::string("open ") + kBatch}));
}

TEST(SilentToggles, BehaveAsAnExclusivePairThatMayBeEmpty) {
  using registration::SilentOption;
  using registration::ToggledNo;
  using registration::ToggledYes;
  auto same = [](SilentOption a, SilentOption b) { return a.yes == b.yes && a.no == b.no; };
  EXPECT_TRUE(same(ToggledYes({false, true}), {true, false}));
  EXPECT_TRUE(same(ToggledYes({true, false}), {false, false}));
  EXPECT_TRUE(same(ToggledNo({true, false}), {false, true}));
  EXPECT_TRUE(same(ToggledNo({false, true}), {false, false}));
  EXPECT_TRUE(same(ToggledNo({false, false}), {false, true}));
}

}  // namespace
}  // namespace movarin::register_program
