// The main program's register and unregister commands, both ways, against a recording
// platform: what is shown, written, removed, stored and started, in order.
#include "registration/commands.h"

#include <gtest/gtest.h>

#include "registration/messages.h"
#include "tests/native/registration/fake_registration_platform.h"

namespace movarin::registration {
namespace {

using Events = std::vector<std::string>;
using settings::Key;

constexpr const char* kFolder = "C:\\Movarin";
constexpr const char* kSource = "C:\\WINDOWS\\system32\\mscomctl.ocx";
constexpr const char* kName = "mscomctl.ocx";
constexpr OperatingSystemOption kXp{.windows_xp = true};
constexpr OperatingSystemOption kVista{.windows_vista7 = true};
constexpr OperatingSystemOption kBoth{.windows_xp = true, .windows_vista7 = true};
constexpr OperatingSystemOption kNeither{};

class Commands : public ::testing::Test {
 protected:
  Commands() { platform.AddLibrary(kSource); }
  void Register(OperatingSystemOption system, SilentOption silent, std::string_view path = kSource,
                std::string_view name = kName) {
    commands.RegisterFile({system, silent}, path, name);
  }
  void Unregister(OperatingSystemOption system, SilentOption silent, std::string_view text) {
    commands.UnregisterFile({system, silent}, text);
  }
  std::string Info(std::string_view text) { return "info: " + std::string(text); }

  test::FakeRegistrationPlatform platform;
  test::RecordingStore store{platform.events};
  RegistrationCommands commands{platform, store, kFolder};
};

// ---- RegisterFile ----

TEST_F(Commands, WithoutAnOperatingSystemOnlyAsksForOne) {
  Register(kNeither, {.no = true});
  EXPECT_EQ(platform.events, Events{Info(kSelectOperatingSystem)});
}

TEST_F(Commands, XpWritesRunBatInTheProgramFolderAndOpensIt) {
  Register(kXp, {.yes = true});
  EXPECT_EQ(platform.events, (Events{"write C:\\Movarin\\run.bat", "open C:\\Movarin\\run.bat"}));
  EXPECT_EQ(platform.files["C:\\Movarin\\run.bat"],
            "copy \"C:\\WINDOWS\\system32\\mscomctl.ocx\" \"c:\\windows\\system32\"\r\n"
            "regsvr32 /s \"c:\\windows\\system32\\mscomctl.ocx\"\r\n");
  EXPECT_TRUE(store.values.empty());
}

TEST_F(Commands, RunBatIsWrittenInTheCodePage) {
  const std::string source = "C:\\Données\\é.ocx";  // UTF-8 here, Latin-1 in the file
  platform.AddLibrary(source);
  Register(kXp, {}, source, "é.ocx");
  EXPECT_EQ(platform.files["C:\\Movarin\\run.bat"],
            "copy \"C:\\Donn\xE9" "es\\\xE9.ocx\" \"c:\\windows\\system32\"\r\n");
}

TEST_F(Commands, AnEmptyPathIsReportedOncePerWay) {
  Register(kXp, {.no = true}, "", kName);
  EXPECT_EQ(platform.events, Events{Info(kNoFileSelected)});
  platform.events.clear();
  Register(kVista, {.no = true}, "", kName);
  EXPECT_EQ(platform.events, Events{Info(kNoFileSelected)});
  platform.events.clear();
  // Both marks on: the "Windows XP" way reports and the "Windows Vista/7" way is still tried.
  Register(kBoth, {.no = true}, "", kName);
  EXPECT_EQ(platform.events, (Events{Info(kNoFileSelected), Info(kNoFileSelected)}));
}

TEST_F(Commands, AnEmptyNameIsNotTested) {
  Register(kXp, {.no = true}, kSource, "");
  EXPECT_EQ(platform.events, (Events{"write C:\\Movarin\\run.bat", "open C:\\Movarin\\run.bat"}));
}

TEST_F(Commands, VistaRemovesTheOldBatchWritesTheKeysInOrderAndStartsRegister) {
  Register(kVista, {.yes = false, .no = true});
  EXPECT_EQ(platform.events, (Events{
                                 "remove C:\\Movarin\\Adds\\run.bat",
                                 "store YesMovarinFiles1=False",
                                 "store NoMovarinFiles1=True",
                                 std::string("store registerlink=") + kSource,
                                 std::string("store registername=") + kName,
                                 "open C:\\Movarin\\Adds\\Register.exe",
                             }));
  EXPECT_FALSE(platform.files.count("C:\\Movarin\\run.bat"));
}

TEST_F(Commands, VistaHandsTheTogglesOverAsTheyAre) {
  for (SilentOption silent : {SilentOption{true, false}, SilentOption{false, false}, SilentOption{true, true}}) {
    Register(kVista, silent);
    EXPECT_EQ(store.values[Key::kYesMovarinFiles1], silent.yes ? "True" : "False");
    EXPECT_EQ(store.values[Key::kNoMovarinFiles1], silent.no ? "True" : "False");
  }
}

TEST_F(Commands, BothWaysRunOneAfterTheOther) {
  Register(kBoth, {.no = true});
  ASSERT_EQ(platform.events.size(), 8u);
  EXPECT_EQ(platform.events[1], "open C:\\Movarin\\run.bat");
  EXPECT_EQ(platform.events[7], "open C:\\Movarin\\Adds\\Register.exe");
}

TEST_F(Commands, AHalfWrittenHandOverStartsNothing) {
  store.refused.insert(Key::kRegisterLink);
  Register(kVista, {.no = true});
  ASSERT_FALSE(platform.events.empty());
  EXPECT_EQ(platform.events.back(), std::string("store registerlink=") + kSource);
}

TEST_F(Commands, ABatchFileThatCannotBeWrittenIsNotStarted) {
  platform.unwritable.insert("C:\\Movarin\\run.bat");
  Register(kXp, {.no = true});
  EXPECT_EQ(platform.events, Events{"write C:\\Movarin\\run.bat"});
}

enum class Source { kLibrary, kMissing, kErrorPage };

struct Refusal {
  const char* name;
  std::string path;
  std::string file_name;
  Source source;
  std::string message;
};

class RefusedFile : public Commands, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedFile, NothingIsWrittenOrStartedEitherWay) {
  const Refusal& refusal = GetParam();
  if (refusal.source == Source::kLibrary) platform.AddLibrary(refusal.path);
  if (refusal.source == Source::kErrorPage)
    platform.files[refusal.path] = "<html><body>404 File Not Found</body></html>";
  for (OperatingSystemOption system : {kXp, kVista, kBoth}) {
    platform.events.clear();
    Register(system, {.no = true}, refusal.path, refusal.file_name);
    EXPECT_EQ(platform.events, Events{Info(refusal.message)}) << refusal.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFile,
    ::testing::Values(
        Refusal{"error page saved as a library", "C:\\dl\\mscomctl.ocx", "mscomctl.ocx", Source::kErrorPage,
                NotALibraryText("C:\\dl\\mscomctl.ocx")},
        Refusal{"missing file", "C:\\missing.ocx", "missing.ocx", Source::kMissing,
                CannotReadText("C:\\missing.ocx")},
        Refusal{"percent in the path", "C:\\%windir%\\a.ocx", "a.ocx", Source::kLibrary,
                CannotRegisterNameText("C:\\%windir%\\a.ocx", NameProblem::kPercentSign)},
        Refusal{"quote in the name", "C:\\dl\\a.ocx", "a\" & x \".ocx", Source::kLibrary,
                CannotRegisterNameText("a\" & x \".ocx", NameProblem::kDoubleQuote)},
        Refusal{"line break in the name", "C:\\dl\\a.ocx", "a.ocx\r\ndel x", Source::kLibrary,
                CannotRegisterNameText("a.ocx\r\ndel x", NameProblem::kControlCharacter)},
        Refusal{"outside the code page", "C:\\Папка\\a.ocx", "a.ocx", Source::kLibrary,
                CannotRegisterNameText("C:\\Папка\\a.ocx", NameProblem::kNotInCodePage)}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST_F(Commands, ACutOffLibraryIsRefused) {
  std::string& bytes = platform.files[kSource];
  bytes.resize(bytes.size() - 1);
  Register(kXp, {.no = true});
  EXPECT_EQ(platform.events, Events{Info(NotALibraryText(kSource))});
}

// ---- UnregisterFile ----

TEST_F(Commands, UnregisterAsksForAnOperatingSystemThenForAName) {
  Unregister(kNeither, {.no = true}, "");
  Unregister(kXp, {.no = true}, "");
  EXPECT_EQ(platform.events, (Events{Info(kSelectOperatingSystem), Info(kUnregisterFieldEmpty)}));
}

struct XpUnregisterCase {
  SilentOption silent;
  Events expected;
};

class XpUnregister : public Commands, public ::testing::WithParamInterface<XpUnregisterCase> {};

TEST_P(XpUnregister, StartsRegsvr32ForEachToggleThatIsOn) {
  Unregister(kXp, GetParam().silent, "act bar.ocx");
  EXPECT_EQ(platform.events, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Toggles, XpUnregister,
    ::testing::Values(
        XpUnregisterCase{{.yes = true}, {"start Regsvr32 /s /u \"act bar.ocx\""}},
        XpUnregisterCase{{.no = true}, {"start Regsvr32 /u \"act bar.ocx\""}},
        XpUnregisterCase{{}, {}},
        XpUnregisterCase{{.yes = true, .no = true},
                         {"start Regsvr32 /s /u \"act bar.ocx\"", "start Regsvr32 /u \"act bar.ocx\""}}));

TEST_F(Commands, VistaUnregisterWritesThreeKeysThenStartsUnregister) {
  Unregister(kVista, {.yes = true}, "mscomctl.ocx");
  EXPECT_EQ(platform.events, (Events{
                                 "store YesMovarinFiles1=True",
                                 "store NoMovarinFiles1=False",
                                 "store Unregistermovarin=mscomctl.ocx",
                                 "open C:\\Movarin\\Adds\\Unregister.exe",
                             }));
}

TEST_F(Commands, UnregisterRefusesQuotesAndLineBreaksButNotPercentSigns) {
  Unregister(kBoth, {.no = true}, "a.ocx\" \"c:\\windows\\system32\\b.dll");
  Unregister(kBoth, {.no = true}, "a.ocx\nb");
  EXPECT_EQ(platform.events,
            (Events{Info(CannotUnregisterNameText("a.ocx\" \"c:\\windows\\system32\\b.dll",
                                                  NameProblem::kDoubleQuote)),
                    Info(CannotUnregisterNameText("a.ocx\nb", NameProblem::kControlCharacter))}));
  platform.events.clear();
  Unregister(kXp, {.no = true}, "100%.ocx");
  EXPECT_EQ(platform.events, Events{"start Regsvr32 /u 100%.ocx"});
}

}  // namespace
}  // namespace movarin::registration
