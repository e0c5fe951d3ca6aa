// Registering and unregistering for real under Wine: run.bat written by the register
// command and opened through the shell, the prefix's cmd, copy and regsvr32, the Register
// and Unregister helper programs started through the shell, and the test COM library's
// registry key as the proof.
#include <gtest/gtest.h>

#include "registration/messages.h"
#include "platform/win32/text.h"
#include "programs/register/register_window_layout.h"
#include "programs/unregister/unregister_window_layout.h"
#include "registration/win32/ansi_code_page.h"
#include "tests/wine/registration/registration_fixture.h"
#include "tests/support/files.h"
#include "tools/test_com_dll/test_com_ids.h"

namespace movarin::registration::wine_test {
namespace {

using movarin::test::FileExists;
using movarin::test::ReadWholeFile;
using settings::Key;

constexpr OperatingSystemOption kXp{.windows_xp = true};
constexpr OperatingSystemOption kVista{.windows_vista7 = true};
const std::string kCopiedFile = std::string("c:\\windows\\system32\\") + kLibraryName;

std::string ExpectedRunBat(const std::string& source, const char* regsvr32_line) {
  std::string text = "copy \"" + source + "\" \"c:\\windows\\system32\"\r\n";
  if (regsvr32_line) text += std::string(regsvr32_line) + " \"" + kCopiedFile + "\"\r\n";
  return text;
}

// Without /s, regsvr32 reports its result itself. Windows' regsvr32 does so in a box,
// which is read and pressed here; Wine 8's writes a line to its console instead, and then
// there is no box to press. A box left open would keep regsvr32 from ending, which the
// callers check.
void AnswerRegsvr32sBox() {
  if (auto box = e2e::WaitForMessageBox(0, e2e::milliseconds(3000))) {
    EXPECT_NE(box->text.find(kLibraryName), std::string::npos) << box->text;
    e2e::PressMessageBoxButton(box->window, "OK");
  }
}

// While a helper program's box is up, its window (hidden during a run) is shown beside
// the box and checked: the skin draws its frame with the minimise and close buttons, and
// its buttons are styled buttons. A screenshot goes to out/.
void ExpectSkinnedHelperWindow(const e2e::MessageBoxInfo& box, const std::string& window_class,
                               std::initializer_list<int> button_ids, const std::string& screenshot) {
  HWND window = e2e::FindTopWindow(
      {.class_name = window_class, .process_id = e2e::ProcessOf(box.window), .visible_only = false});
  ASSERT_NE(window, nullptr) << window_class;
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, 0) << "the skin draws the frame";
  HWND skin = e2e::FindChild(window, {.class_name = "MovarinWindowSkin"});
  ASSERT_NE(skin, nullptr) << e2e::DescribeWindow(window);
  for (int id : button_ids) EXPECT_EQ(e2e::ClassName(GetDlgItem(window, id)), "MovarinStyledButton") << id;
  // Clear of the box, which stands in the middle of the screen.
  SetWindowPos(window, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  const e2e::SkinCaption caption = e2e::MeasureSkinCaption(skin, /*with_icon=*/false);
  const POINT glyph = e2e::ScreenPoint(skin, caption.CloseGlyph().x, caption.CloseGlyph().y);
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ScreenPixel(glyph) == e2e::kSkinGlyphColour; }))
      << "no close glyph: " << std::hex << e2e::ScreenPixel(glyph);
  // The minimise glyph's lower stroke, one button to the left.
  const POINT minimise = e2e::ScreenPoint(skin, caption.close_left - 21 + 5, caption.button_top + 13);
  EXPECT_EQ(e2e::ScreenPixel(minimise), e2e::kSkinGlyphColour) << std::hex << e2e::ScreenPixel(minimise);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_TRUE(e2e::SaveScreenRegion(r, screenshot).has_value());
}

TEST(AnsiCodePage, ConvertsExactlyOrRefuses) {
  EXPECT_EQ(win32::ToAnsiCodePage("copy \"C:\\a b\\x.dll\""), "copy \"C:\\a b\\x.dll\"");
  EXPECT_EQ(win32::ToAnsiCodePage(""), "");
  EXPECT_EQ(win32::ToAnsiCodePage("\xFF\xFE"), std::nullopt) << "not UTF-8";
  switch (GetACP()) {
    case 1252:
      EXPECT_EQ(win32::ToAnsiCodePage("Donn\xC3\xA9" "es"), "Donn\xE9" "es");
      // Cyrillic has no form in 1252; best fit must not turn "ā" into "a" either.
      EXPECT_EQ(win32::ToAnsiCodePage("\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0"), std::nullopt);
      EXPECT_EQ(win32::ToAnsiCodePage("\xC4\x81.dll"), std::nullopt);
      break;
    case CP_UTF8:
      EXPECT_EQ(win32::ToAnsiCodePage("\xD0\x9F"), "\xD0\x9F");
      break;
    default:
      // Any single-byte code page lacks most of CJK.
      EXPECT_EQ(win32::ToAnsiCodePage("\xE6\xBC\xA2\xE5\xAD\x97\xF0\x9F\x98\x80"), std::nullopt) << GetACP();
  }
}

// ---- "Windows XP": run.bat in the program folder, opened through the shell ----

TEST_F(RegistrationTest, XpSilentCopiesAndRegisters) {
  RegisterFile(kXp, {.yes = true}, source_, kLibraryName);
  EXPECT_EQ(ReadWholeFile(*program_folder_ / "run.bat"), ExpectedRunBat(source_, "regsvr32 /s"));
  ASSERT_TRUE(e2e::WaitUntil([] { return RegisteredServerPath().has_value(); }, e2e::milliseconds(30000)))
      << "regsvr32 did not register the copy";
  EXPECT_TRUE(SamePath(*RegisteredServerPath(), copy_->path())) << *RegisteredServerPath();
  EXPECT_EQ(ReadWholeFile(copy_->path()), ReadWholeFile(source_));
  // Silent: no box of regsvr32's.
  EXPECT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
}

TEST_F(RegistrationTest, XpNotSilentRegistersAndLeavesTheResultToRegsvr32) {
  RegisterFile(kXp, {.no = true}, source_, kLibraryName);
  EXPECT_EQ(ReadWholeFile(*program_folder_ / "run.bat"), ExpectedRunBat(source_, "regsvr32"));
  // The server path is written after the class key: wait for the path itself.
  ASSERT_TRUE(e2e::WaitUntil([] { return RegisteredServerPath().has_value(); }, e2e::milliseconds(30000)));
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), copy_->path()));
  AnswerRegsvr32sBox();
  EXPECT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
}

TEST_F(RegistrationTest, XpWithNeitherSilentToggleOnlyCopies) {
  RegisterFile(kXp, {}, source_, kLibraryName);
  EXPECT_EQ(ReadWholeFile(*program_folder_ / "run.bat"), ExpectedRunBat(source_, nullptr));
  ASSERT_TRUE(e2e::WaitUntil([&] { return FileExists(copy_->path()); }, e2e::milliseconds(30000)));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe"}));
  EXPECT_FALSE(Registered());
}

// ---- "Windows Vista/7": the hand-over keys and the helper programs ----

TEST_F(RegistrationTest, RegisterHelperRegistersAndEndsByItself) {
  // A batch file of an earlier hand-over must not survive.
  ASSERT_TRUE(movarin::test::WriteWholeFile(*program_folder_ / "Adds\\run.bat", "echo stale\r\n"));
  RegisterFile(kVista, {.yes = true}, source_, kLibraryName);
  EXPECT_FALSE(FileExists(*program_folder_ / "run.bat")) << "the main program wrote no batch file";
  EXPECT_EQ(store_.ReadRaw(Key::kYesMovarinFiles1), "True");
  EXPECT_EQ(store_.ReadRaw(Key::kNoMovarinFiles1), "False");
  EXPECT_EQ(store_.ReadRaw(Key::kRegisterLink), source_);
  EXPECT_EQ(store_.ReadRaw(Key::kRegisterName), kLibraryName);

  ASSERT_TRUE(e2e::WaitUntil([] { return Registered(); }, e2e::milliseconds(30000)))
      << "Register.exe did not register the library";
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), copy_->path()));
  EXPECT_EQ(ReadWholeFile(*program_folder_ / "Adds\\run.bat"), ExpectedRunBat(source_, "regsvr32 /s"));
  EXPECT_TRUE(WaitForProcessesGone({L"Register.exe"})) << "Register.exe did not end by itself";
  // It only read the keys: they keep the hand-over.
  EXPECT_EQ(store_.ReadRaw(Key::kRegisterLink), source_);
}

TEST_F(RegistrationTest, UnregisterBothWays) {
  RegisterFile(kXp, {.yes = true}, source_, kLibraryName);
  ASSERT_TRUE(e2e::WaitUntil([] { return Registered(); }, e2e::milliseconds(30000)));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));

  // "Windows Vista/7": Unregister.exe runs "Regsvr32 /s /u" on the bare name, found on the
  // system search path; the blank in it is quoted.
  UnregisterFile(kVista, {.yes = true}, kLibraryName);
  EXPECT_EQ(store_.ReadRaw(Key::kUnregisterMovarin), kLibraryName);
  EXPECT_TRUE(e2e::WaitUntil([] { return !Registered(); }, e2e::milliseconds(30000)))
      << "Unregister.exe did not unregister the library";
  EXPECT_TRUE(WaitForProcessesGone({L"Unregister.exe"})) << "Unregister.exe did not end by itself";

  // "Windows XP", not silent: regsvr32 /u started by the command shows its own box.
  RegisterFile(kXp, {.yes = true}, source_, kLibraryName);
  ASSERT_TRUE(e2e::WaitUntil([] { return Registered(); }, e2e::milliseconds(30000)));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  UnregisterFile(kXp, {.no = true}, kLibraryName);
  EXPECT_TRUE(e2e::WaitUntil([] { return !Registered(); }, e2e::milliseconds(30000)));
  AnswerRegsvr32sBox();
  EXPECT_TRUE(WaitForProcessesGone({L"regsvr32.exe"}));
}

// ---- Refusals: nothing is written or started ----

TEST_F(RegistrationTest, AnErrorPageNamedLikeALibraryNeverReachesTheSystemFolder) {
  SystemFolderFile system_copy("mscomctl.ocx");
  if (!FileExists(system_copy.path())) {
    // A working library of that name, as on a machine that has one.
    ASSERT_TRUE(CopyFileW(movarin::win32::Widen(source_).c_str(), movarin::win32::Widen(system_copy.path()).c_str(), TRUE));
  }
  const auto before = ReadWholeFile(system_copy.path());
  const std::string page = *downloads_ / "mscomctl.ocx";
  ASSERT_TRUE(movarin::test::WriteWholeFile(page, "<html><body><h1>File Not Found</h1></body></html>\r\n"));

  // The main program, both ways.
  for (OperatingSystemOption system : {kXp, kVista}) {
    auto box = RunAnsweringBox([&] { RegisterFile(system, {.no = true}, page, "mscomctl.ocx"); });
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->title, "Movarin");
    EXPECT_EQ(box->text, NotALibraryText(page));
  }
  EXPECT_FALSE(FileExists(*program_folder_ / "run.bat"));
  EXPECT_EQ(CountProcesses(L"Register.exe"), 0);

  // The Register program, handed the page by an older main program.
  store_.WriteSwitch(Key::kYesMovarinFiles1, true);
  store_.WriteSwitch(Key::kNoMovarinFiles1, false);
  store_.Write(Key::kRegisterLink, page);
  store_.Write(Key::kRegisterName, "mscomctl.ocx");
  platform_.OpenThroughShell(*program_folder_ / "Adds\\Register.exe");
  auto box = e2e::WaitForMessageBox(0, e2e::milliseconds(30000));
  ASSERT_TRUE(box.has_value()) << "Register.exe did not refuse the page";
  EXPECT_EQ(box->text, NotALibraryText(page));
  ExpectSkinnedHelperWindow(*box, "MovarinRegisterWindow",
                            {register_program::kRegisterButton, register_program::kShowButton}, "register-window");
  e2e::PressMessageBoxButton(box->window, "OK");
  EXPECT_TRUE(WaitForProcessesGone({L"Register.exe"}));
  EXPECT_FALSE(FileExists(*program_folder_ / "Adds\\run.bat"));

  EXPECT_TRUE(WaitForProcessesGone({L"cmd.exe"}));
  EXPECT_EQ(ReadWholeFile(system_copy.path()), before);
}

TEST_F(RegistrationTest, WhatCannotBeReadIsNotRegistered) {
  // A missing file, a folder, and a device whose read would wait for input.
  for (const std::string& path : {*downloads_ / "missing.dll", downloads_->path(), std::string("CON")}) {
    auto box = RunAnsweringBox([&] { RegisterFile(kXp, {.no = true}, path, "x.dll"); });
    ASSERT_TRUE(box.has_value()) << path;
    EXPECT_EQ(box->text, CannotReadText(path));
  }
  EXPECT_FALSE(FileExists(*program_folder_ / "run.bat"));
}

TEST_F(RegistrationTest, NamesThatWouldChangeTheCommandAreRefused) {
  ASSERT_EQ(GetACP(), 1252u) << "the cases below assume the prefix's code page";
  struct Case {
    std::string path, name;
    NameProblem problem;
  };
  const std::string folder = downloads_->path();
  const Case cases[] = {
      {folder + "\\%SystemRoot%.dll", "%SystemRoot%.dll", NameProblem::kPercentSign},
      {source_, "x.dll\" & echo injected > c:\\injected.txt & \"", NameProblem::kDoubleQuote},
      {source_, "x.dll\r\necho injected > c:\\injected.txt", NameProblem::kControlCharacter},
      // Cyrillic has no form in code page 1252, the prefix's.
      {folder + "\\\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0.dll", "a.dll", NameProblem::kNotInCodePage},
  };
  for (const Case& c : cases) {
    for (OperatingSystemOption system : {kXp, kVista}) {
      auto box = RunAnsweringBox([&] { RegisterFile(system, {.no = true}, c.path, c.name); });
      ASSERT_TRUE(box.has_value());
      const bool path_refused = c.problem == NameProblem::kPercentSign || c.problem == NameProblem::kNotInCodePage;
      const std::string refused = path_refused ? c.path : c.name;
      EXPECT_EQ(box->text, CannotRegisterNameText(refused, c.problem));
    }
  }
  EXPECT_FALSE(FileExists(*program_folder_ / "run.bat"));
  EXPECT_EQ(CountProcesses(L"Register.exe"), 0);

  // The Unregister program, handed a name that would unregister a second library.
  const std::string injected = "x.ocx\" \"c:\\windows\\system32\\ole32.dll";
  store_.Write(Key::kUnregisterMovarin, injected);
  platform_.OpenThroughShell(*program_folder_ / "Adds\\Unregister.exe");
  auto box = e2e::WaitForMessageBox(0, e2e::milliseconds(30000));
  ASSERT_TRUE(box.has_value()) << "Unregister.exe did not refuse the name";
  EXPECT_EQ(box->text, CannotUnregisterNameText(injected, NameProblem::kDoubleQuote));
  ExpectSkinnedHelperWindow(*box, "MovarinUnregisterWindow",
                            {unregister_program::kUnregisterButton, unregister_program::kShowButton},
                            "unregister-window");
  e2e::PressMessageBoxButton(box->window, "OK");
  EXPECT_TRUE(WaitForProcessesGone({L"Unregister.exe"}));
  EXPECT_EQ(CountProcesses(L"regsvr32.exe"), 0);
}

}  // namespace
}  // namespace movarin::registration::wine_test
