// run.bat's bytes, the unregister command lines and the checks of names that go into
// them.
#include <gtest/gtest.h>

#include <set>

#include "registration/name_check.h"
#include "registration/run_bat.h"
#include "registration/unregister_command_line.h"
#include "tests/native/registration/fake_registration_platform.h"

namespace movarin::registration {
namespace {

struct RunBatCase {
  SilentOption silent;
  const char* expected;
};

class RunBat : public ::testing::TestWithParam<RunBatCase> {};

TEST_P(RunBat, HasTheExactLines) {
  EXPECT_EQ(RunBatText("C:\\WINDOWS\\system32\\mscomctl.ocx", "mscomctl.ocx", GetParam().silent),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    SilentOptions, RunBat,
    ::testing::Values(
        RunBatCase{{.yes = false, .no = true},
                   "copy \"C:\\WINDOWS\\system32\\mscomctl.ocx\" \"c:\\windows\\system32\"\r\n"
                   "regsvr32 \"c:\\windows\\system32\\mscomctl.ocx\"\r\n"},
        RunBatCase{{.yes = true, .no = false},
                   "copy \"C:\\WINDOWS\\system32\\mscomctl.ocx\" \"c:\\windows\\system32\"\r\n"
                   "regsvr32 /s \"c:\\windows\\system32\\mscomctl.ocx\"\r\n"},
        // Neither: the file is copied, not registered.
        RunBatCase{{.yes = false, .no = false},
                   "copy \"C:\\WINDOWS\\system32\\mscomctl.ocx\" \"c:\\windows\\system32\"\r\n"},
        // Both (a stored pair is taken as stored): the visible line first.
        RunBatCase{{.yes = true, .no = true},
                   "copy \"C:\\WINDOWS\\system32\\mscomctl.ocx\" \"c:\\windows\\system32\"\r\n"
                   "regsvr32 \"c:\\windows\\system32\\mscomctl.ocx\"\r\n"
                   "regsvr32 /s \"c:\\windows\\system32\\mscomctl.ocx\"\r\n"}));

TEST(RunBatText, KeepsPathsWithBlanksWholeAndAnEmptyNameEmpty) {
  EXPECT_EQ(RunBatText("D:\\My Downloads\\act bar.ocx", "act bar.ocx", {.no = true}),
            "copy \"D:\\My Downloads\\act bar.ocx\" \"c:\\windows\\system32\"\r\n"
            "regsvr32 \"c:\\windows\\system32\\act bar.ocx\"\r\n");
  // A path typed by hand before any file was chosen: the name is used as it is, empty.
  EXPECT_EQ(RunBatText("C:\\x.dll", "", {.yes = true}),
            "copy \"C:\\x.dll\" \"c:\\windows\\system32\"\r\n"
            "regsvr32 /s \"c:\\windows\\system32\\\"\r\n");
}

struct CommandLineCase {
  bool silent;
  const char* file_text;
  const char* expected;
};

class UnregisterLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(UnregisterLine, IsBuiltAsOneArgument) {
  EXPECT_EQ(UnregisterCommandLine(GetParam().silent, GetParam().file_text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UnregisterLine,
    ::testing::Values(
        CommandLineCase{true, "mscomctl.ocx", "Regsvr32 /s /u mscomctl.ocx"},
        CommandLineCase{false, "mscomctl.ocx", "Regsvr32 /u mscomctl.ocx"},
        CommandLineCase{false, "C:\\WINDOWS\\system32\\comdlg32.ocx", "Regsvr32 /u C:\\WINDOWS\\system32\\comdlg32.ocx"},
        // A blank would split the name into two arguments.
        CommandLineCase{false, "act bar.ocx", "Regsvr32 /u \"act bar.ocx\""},
        CommandLineCase{true, "C:\\Program Files\\a.dll", "Regsvr32 /s /u \"C:\\Program Files\\a.dll\""},
        CommandLineCase{false, "tab\tname.dll", "Regsvr32 /u \"tab\tname.dll\""},
        // Quoted by the user already: left alone.
        CommandLineCase{false, "\"act bar.ocx\"", "Regsvr32 /u \"act bar.ocx\""},
        CommandLineCase{false, "\"plain.ocx\"", "Regsvr32 /u \"plain.ocx\""}));

struct NameCase {
  const char* text;
  std::optional<NameProblem> batch;       // in run.bat
  std::optional<NameProblem> unregister;  // on an unregister command line
};

class NameChecks : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameChecks, RefuseWhatWouldChangeTheCommand) {
  test::FakeRegistrationPlatform latin1;
  EXPECT_EQ(CheckBatchName(GetParam().text, latin1), GetParam().batch);
  EXPECT_EQ(CheckUnregisterName(GetParam().text), GetParam().unregister);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NameChecks,
    ::testing::Values(
        NameCase{"C:\\WINDOWS\\system32\\mscomctl.ocx", std::nullopt, std::nullopt},
        NameCase{"", std::nullopt, std::nullopt},
        NameCase{"C:\\Program Files (x86)\\O'Reilly & Sons\\a^b!.dll", std::nullopt, std::nullopt},
        NameCase{"C:\\Données\\é.ocx", std::nullopt, std::nullopt},
        // cmd expands %...% inside quotes; a process start does not.
        NameCase{"C:\\%TEMP%\\a.dll", NameProblem::kPercentSign, std::nullopt},
        NameCase{"100%.dll", NameProblem::kPercentSign, std::nullopt},
        NameCase{"a\" & del c:\\x & \".dll", NameProblem::kDoubleQuote, NameProblem::kDoubleQuote},
        NameCase{"\"a.dll\"", NameProblem::kDoubleQuote, std::nullopt},
        NameCase{"\"", NameProblem::kDoubleQuote, NameProblem::kDoubleQuote},
        NameCase{"\"a.dll", NameProblem::kDoubleQuote, NameProblem::kDoubleQuote},
        NameCase{"\"a\" \"b.dll\"", NameProblem::kDoubleQuote, NameProblem::kDoubleQuote},
        NameCase{"a.dll\r\ndel x", NameProblem::kControlCharacter, NameProblem::kControlCharacter},
        NameCase{"a.dll\nb", NameProblem::kControlCharacter, NameProblem::kControlCharacter},
        NameCase{"a\tb.dll", NameProblem::kControlCharacter, NameProblem::kControlCharacter},
        // Outside the (fake, Latin-1) code page: only the batch file cares.
        NameCase{"C:\\Папка\\a.dll", NameProblem::kNotInCodePage, std::nullopt},
        NameCase{"\xFF\xFE.dll", NameProblem::kNotInCodePage, std::nullopt}));

TEST(NameProblemText, EachProblemHasItsOwnText) {
  std::set<std::string_view> texts;
  for (auto problem : {NameProblem::kPercentSign, NameProblem::kDoubleQuote,
                       NameProblem::kControlCharacter, NameProblem::kNotInCodePage})
    EXPECT_TRUE(texts.insert(NameProblemText(problem)).second);
}

}  // namespace
}  // namespace movarin::registration
