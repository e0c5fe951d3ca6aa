// Registering and unregistering through Movarin's own windows under Wine: a search hit
// downloaded from the test server and registered by itself, a library chosen on disk, the
// unregister dialog, both ways each (run.bat or regsvr32 started by Movarin; the hand-over
// keys and the helper programs), with the prefix's real cmd, copy and regsvr32 and the
// test COM library's registry key as the proof. Every message box is read with its icon.
#include <thread>

#include "base/sha256.h"
#include "platform/win32/text.h"
#include "programs/main/download_dialog/download_dialog_layout.h"
#include "programs/main/os_choice_window/os_choice_window_layout.h"
#include "programs/main/unregister_dialog/unregister_dialog_layout.h"
#include "registration/messages.h"
#include "settings/win32/registry_settings_store.h"
#include "tests/e2e/main/movarin_fixture.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/registry_snapshot.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"
#include "tests/wine/registration/registration_helpers.h"
#include "tools/test_com_dll/test_com_ids.h"

namespace movarin::e2e {
namespace {

using main_program::MainControl;
using main_program::MenuItem;
using registration::NameProblem;
using registration::wine_test::CountProcesses;
using registration::wine_test::Registered;
using registration::wine_test::RegisteredServerPath;
using registration::wine_test::RemoveRegistration;
using registration::wine_test::SamePath;
using registration::wine_test::SystemFolder;
using registration::wine_test::SystemFolderFile;
using registration::wine_test::WaitForProcessesGone;
using settings::Key;
using test::FileExists;
using test::ReadWholeFile;
namespace ud = main_program::unregister_dialog;
namespace dd = main_program::download_dialog;

// The catalogue's name of the test library, as the server serves it.
constexpr char kLibrary[] = "movarin_test_com.dll";
// The same library on disk under a name with a blank: every path must stay whole.
constexpr char kSpacedLibrary[] = "Movarin Test Com.dll";
constexpr milliseconds kRegistrationTimeout{30000};
// The file-type list of the open-file dialog (cmb1 of the common dialogs).
constexpr int kFileTypeList = 0x470;

// The options Movarin starts with. A silent pair with neither item is given "No" when
// the main window loads: a test that wants neither asks for it through the menu.
struct Options {
  bool xp = false, vista = false;
  bool silent_yes = false, silent_no = false;
  bool auto_download = true, auto_register = true;
};

std::string ExpectedRunBat(const std::string& source, const char* regsvr32, const std::string& name) {
  std::string text = "copy \"" + source + "\" \"c:\\windows\\system32\"\r\n";
  if (regsvr32) text += std::string(regsvr32) + " \"c:\\windows\\system32\\" + name + "\"\r\n";
  return text;
}

bool WaitRegistered(bool registered) {
  return WaitUntil([registered] { return Registered() == registered; }, kRegistrationTimeout);
}

// Without /s regsvr32 reports its result itself: Windows' in a box, Wine 8's on its
// console. A box, if one comes, is pressed so that regsvr32 can end.
void AnswerRegsvr32sBox() {
  if (auto box = WaitForMessageBox(0, milliseconds(3000))) PressMessageBoxButton(box->window, "OK");
}

class RegistrationE2eTest : public MovarinTest {
 protected:
  void SetUp() override {
    // The fixture empties the options key, and Movarin writes into it: all of it comes
    // back as it was at the end.
    options_.emplace(HKEY_CURRENT_USER, win32::Widen(kOptionsKey));
    MovarinTest::SetUp();
    ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe", L"Register.exe", L"Unregister.exe"}))
        << "an earlier batch file or helper is still running";
    RemoveRegistration();
    for (const char* name : {kLibrary, kSpacedLibrary}) {
      system_files_.emplace_back(std::make_unique<SystemFolderFile>(name));
      ASSERT_FALSE(FileExists(system_files_.back()->path())) << "left over from an earlier run";
    }
    auto library = ReadWholeFile(BuildPath(std::string("testdata\\") + test_com::kFileName));
    ASSERT_TRUE(library.has_value()) << "the test COM library is not built";
    library_ = std::move(*library);

    // The program folder: the helper programs in Adds.
    ASSERT_TRUE(CreateDirectoryA((*folder_ / "Adds").c_str(), nullptr));
    for (const char* helper : {"Register.exe", "Unregister.exe"}) {
      auto program = ReadWholeFile(BuildPath(std::string("app\\Adds\\") + helper));
      ASSERT_TRUE(program.has_value()) << helper;
      ASSERT_TRUE(test::WriteWholeFile(*folder_ / "Adds" + "\\" + helper, *program));
    }
    catalogue_.push_back({kLibrary, "1.0.0.0"});

    downloads_ = *folder_ / "downloads";
    ASSERT_TRUE(CreateDirectoryA(downloads_.c_str(), nullptr));
    ASSERT_TRUE(test::ResetServer());
    auto root = test::EnvVar("MOVARIN_TEST_SERVER_ROOT");
    ASSERT_TRUE(root.has_value()) << "run with the test server";
    server_files_ = test::WindowsPath(*root) + "\\files";
    Serve(kLibrary, library_);
  }

  void TearDown() override {
    MovarinTest::TearDown();
    WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe", L"Register.exe", L"Unregister.exe"});
    RemoveRegistration();
    system_files_.clear();
    options_.reset();
  }

  void Serve(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(test::WriteWholeFile(server_files_ + "\\" + name, bytes));
  }

  // Writes the options where Movarin reads them at start, then starts it.
  void StartWith(const Options& o) {
    settings::RegistrySettingsStore store;
    const std::pair<Key, bool> switches[] = {
        {Key::kMovarinFilesWindowsXP, o.xp},        {Key::kMovarinFilesWindowsVista7, o.vista},
        {Key::kYesMovarinFiles1, o.silent_yes},     {Key::kNoMovarinFiles1, o.silent_no},
        {Key::kYesMovarinFiles2, o.auto_download},  {Key::kNoMovarinFiles2, !o.auto_download},
        {Key::kYesMovarinFiles3, o.auto_register},  {Key::kNoMovarinFiles3, !o.auto_register},
    };
    for (const auto& [key, on] : switches) ASSERT_TRUE(store.WriteSwitch(key, on));
    ASSERT_TRUE(store.Write(Key::kDownloadPath, downloads_));
    preset_windows_xp_ = false;  // the marks as written above
    ASSERT_NO_FATAL_FAILURE(Start());
    if (o.xp == o.vista) {
      // Not exactly one system stored: the program asks first. Vista/7 adds its mark to
      // a stored XP one; with none stored, the XP answer is taken off again below.
      HWND choice = WaitForWindow({.class_name = "MovarinOsChoiceWindow", .process_id = app_->id()});
      ASSERT_NE(choice, nullptr) << "the operating-system question";
      Click(GetDlgItem(choice, o.xp ? os_choice::kWindowsVista7Button : os_choice::kWindowsXpButton));
    }
    ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
    if (!o.xp && !o.vista) ClickMenuItem(MenuItem::kWindowsXp);  // neither system checked
  }

  // A copy of the test library at this path (its folder is made).
  std::string LibraryAt(const std::string& folder, const std::string& name) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(test::WriteWholeFile(path, library_));
    return path;
  }

  std::string SystemPath(const std::string& name) const { return SystemFolder() + "\\" + name; }
  std::optional<std::string> RunBat() const { return ReadWholeFile(*folder_ / "run.bat"); }

  // The one box the program shows now: an information box titled "Movarin" with this
  // text and an OK button, pressed; and no second box after it.
  void ExpectInformation(const std::string& text) {
    auto box = WaitForMessageBox(app_->id());
    ASSERT_TRUE(box.has_value()) << "no box for: " << text;
    EXPECT_EQ(box->title, "Movarin");
    EXPECT_EQ(box->text, text);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_STREQ(IconName(ReadMessageBoxIcon(box->window)), "information") << text;
    ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
    ASSERT_TRUE(WaitForWindowGone(box->window));
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_FALSE(FindMessageBox(app_->id()).has_value()) << "a second box after: " << text;
  }

  // The open-file dialog the browse buttons show: its title and filter, then the file.
  void ChooseInOpenFileDialog(const std::string& path) {
    HWND dialog = WaitForWindow({.title = "Select OCX or DLL", .class_name = "#32770", .process_id = app_->id()});
    ASSERT_NE(dialog, nullptr) << "no open-file dialog";
    EXPECT_EQ(GetText(GetDlgItem(dialog, kFileTypeList)), "OCX or DLL") << DescribeWindow(dialog);
    HWND name_box = WaitForChild(dialog, {.class_name = "Edit", .visible_only = true});
    ASSERT_NE(name_box, nullptr) << DescribeWindow(dialog);
    ASSERT_TRUE(SetText(name_box, path));
    ASSERT_TRUE(PressMessageBoxButton(dialog, "Open")) << DescribeWindow(dialog);
    ASSERT_TRUE(WaitForWindowGone(dialog));
  }

  HWND OpenUnregisterDialog() {
    ClickMenuItem(MenuItem::kUnregisterFile);
    return WaitForWindow({.class_name = "MovarinUnregisterDialog", .process_id = app_->id()});
  }

  std::string Downloaded(const std::string& name) const { return downloads_ + "\\" + name; }

  std::optional<test::RegistrySnapshot> options_;
  std::vector<std::unique_ptr<SystemFolderFile>> system_files_;
  std::string library_;
  std::string downloads_;
  std::string server_files_;
};

// ---- After a search hit: download, then registration by itself ----

TEST_F(RegistrationE2eTest, ASearchHitIsDownloadedAndRegisteredSilently) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_yes = true}));
  SearchFor("movarin");
  ASSERT_NE(WaitForWindow({.class_name = "MovarinDownloadDialog", .process_id = app_->id()}), nullptr);
  ASSERT_TRUE(WaitRegistered(true)) << "the downloaded library was not registered";
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  // Once run.bat's cmd has finished: the copy in the system folder, registered there.
  EXPECT_EQ(ReadWholeFile(SystemPath(kLibrary)), library_);
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), SystemPath(kLibrary))) << *RegisteredServerPath();
  EXPECT_EQ(RunBat(), ExpectedRunBat(Downloaded(kLibrary), "regsvr32 /s", kLibrary));
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
  Screenshot(main_, "registration-after-download");
}

TEST_F(RegistrationE2eTest, NotSilentRegsvr32ReportsItselfAndWithNeitherTheFileIsOnlyCopied) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_no = true}));
  SearchFor("movarin");
  ASSERT_TRUE(WaitRegistered(true));
  EXPECT_EQ(RunBat(), ExpectedRunBat(Downloaded(kLibrary), "regsvr32", kLibrary));
  AnswerRegsvr32sBox();
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));

  RemoveRegistration();
  ASSERT_TRUE(DeleteFileA(SystemPath(kLibrary).c_str()));
  ClickMenuItem(MenuItem::kSilentNo);  // "No" was checked: now neither
  SearchFor("movarin");
  ASSERT_TRUE(WaitUntil([&] { return FileExists(SystemPath(kLibrary)); }, kRegistrationTimeout));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe"}));
  EXPECT_EQ(RunBat(), ExpectedRunBat(Downloaded(kLibrary), nullptr, kLibrary));
  EXPECT_EQ(ReadWholeFile(SystemPath(kLibrary)), library_);
  EXPECT_FALSE(Registered()) << "copied, not registered";
}

TEST_F(RegistrationE2eTest, WindowsVista7HandsOverToTheRegisterProgram) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.vista = true, .silent_yes = true}));
  SearchFor("movarin");
  ASSERT_TRUE(WaitRegistered(true)) << "Register.exe did not register the library";
  EXPECT_EQ(Option("YesMovarinFiles1"), "True");
  EXPECT_EQ(Option("NoMovarinFiles1"), "False");
  EXPECT_EQ(Option("registerlink"), Downloaded(kLibrary));
  EXPECT_EQ(Option("registername"), kLibrary);
  EXPECT_TRUE(WaitForProcessesGone({L"Register.exe"})) << "Register.exe did not end by itself";
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  EXPECT_FALSE(RunBat().has_value()) << "the main program wrote no batch file";
  EXPECT_EQ(ReadWholeFile(*folder_ / "Adds\\run.bat"), ExpectedRunBat(Downloaded(kLibrary), "regsvr32 /s", kLibrary));
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), SystemPath(kLibrary)));
}

// ---- A library on disk: the browse button, or a path typed by hand ----

TEST_F(RegistrationE2eTest, RegistersAFileChosenWithTheBrowseButtonOrTypedByHand) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_yes = true, .auto_download = false}));
  const std::string chosen = LibraryAt(*folder_ / "chosen", kSpacedLibrary);
  Click(Control(MainControl::kBrowseButton));
  ASSERT_NO_FATAL_FAILURE(ChooseInOpenFileDialog(chosen));
  HWND path_box = Control(MainControl::kPathBox);
  ASSERT_TRUE(WaitUntil([&] { return SamePath(GetText(path_box), chosen); })) << GetText(path_box);
  Click(Control(MainControl::kRegisterButton));
  ASSERT_TRUE(WaitRegistered(true));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), SystemPath(kSpacedLibrary)));
  EXPECT_EQ(RunBat(), ExpectedRunBat(GetText(path_box), "regsvr32 /s", kSpacedLibrary));

  // Typed over the dialog's choice: the typed file is copied and that same file registered.
  RemoveRegistration();
  SystemFolderFile typed_copy("movarin typed.dll");
  const std::string typed = LibraryAt(*folder_ / "typed", "movarin typed.dll");
  ASSERT_TRUE(SetText(path_box, typed));
  Click(Control(MainControl::kRegisterButton));
  ASSERT_TRUE(WaitRegistered(true));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), typed_copy.path())) << *RegisteredServerPath();
  EXPECT_EQ(RunBat(), ExpectedRunBat(typed, "regsvr32 /s", "movarin typed.dll"));
  RemoveRegistration();
}

// Both operating-system marks (the choice window may leave both checked): the command runs
// both ways, run.bat of its own and the hand-over to Register.exe, and either registers.
TEST_F(RegistrationE2eTest, BothOperatingSystemMarksRunBothWays) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .vista = true, .silent_yes = true, .auto_download = false}));
  const std::string library = LibraryAt(*folder_ / "both ways", kSpacedLibrary);
  ASSERT_TRUE(SetText(Control(MainControl::kPathBox), library));
  Click(Control(MainControl::kRegisterButton));
  ASSERT_TRUE(WaitRegistered(true));
  EXPECT_TRUE(WaitForProcessesGone({L"Register.exe"})) << "Register.exe did not end by itself";
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  const std::string expected = ExpectedRunBat(library, "regsvr32 /s", kSpacedLibrary);
  EXPECT_EQ(RunBat(), expected);
  EXPECT_EQ(ReadWholeFile(*folder_ / "Adds\\run.bat"), expected);
  EXPECT_EQ(Option("registerlink"), library);
  EXPECT_EQ(Option("registername"), kSpacedLibrary);
  EXPECT_EQ(ReadWholeFile(SystemPath(kSpacedLibrary)), library_);
  EXPECT_TRUE(SamePath(RegisteredServerPath().value_or(""), SystemPath(kSpacedLibrary)));
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
}

// ---- The unregister dialog ----

TEST_F(RegistrationE2eTest, UnregisterDialogUnregistersBothWays) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_yes = true, .auto_download = false}));
  ASSERT_TRUE(SetText(Control(MainControl::kPathBox), LibraryAt(*folder_ / "disk", kSpacedLibrary)));
  Click(Control(MainControl::kRegisterButton));
  ASSERT_TRUE(WaitRegistered(true));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));

  HWND dialog = OpenUnregisterDialog();
  ASSERT_NE(dialog, nullptr) << "the menu item did not open the unregister dialog";
  EXPECT_EQ(OpenUnregisterDialog(), dialog) << "opening it again brings the same window up";
  EXPECT_EQ(FindTopWindows({.class_name = "MovarinUnregisterDialog", .process_id = app_->id()}).size(), 1u);
  HWND file_box = GetDlgItem(dialog, ud::kFileBox);
  // In the skinned look: the skin, and the two buttons styled.
  HWND skin = WaitForChild(dialog, {.class_name = "MovarinWindowSkin"});
  ASSERT_NE(skin, nullptr) << DescribeWindow(dialog);
  EXPECT_EQ(ClassName(GetDlgItem(dialog, ud::kUnregisterButton)), "MovarinStyledButton");
  EXPECT_EQ(ClassName(GetDlgItem(dialog, ud::kBrowseButton)), "MovarinStyledButton");
  Screenshot(dialog, "unregister-dialog");

  // "Windows Vista/7": the bare name from the dialog, handed over to Unregister.exe.
  Click(GetDlgItem(dialog, ud::kBrowseButton));
  ASSERT_NO_FATAL_FAILURE(ChooseInOpenFileDialog(SystemPath(kSpacedLibrary)));
  ASSERT_TRUE(WaitUntil([&] { return GetText(file_box) == kSpacedLibrary; })) << GetText(file_box);
  ClickMenuItem(MenuItem::kWindowsVista7);
  Click(GetDlgItem(dialog, ud::kUnregisterButton));
  EXPECT_TRUE(WaitRegistered(false)) << "Unregister.exe did not unregister the library";
  EXPECT_EQ(Option("Unregistermovarin"), kSpacedLibrary);
  EXPECT_EQ(Option("YesMovarinFiles1"), "True");
  EXPECT_EQ(Option("NoMovarinFiles1"), "False");
  EXPECT_TRUE(WaitForProcessesGone({L"Unregister.exe"})) << "Unregister.exe did not end by itself";
  ASSERT_TRUE(WaitForProcessesGone({L"regsvr32.exe"}));

  // "Windows XP", not silent: regsvr32 /u started by the dialog itself.
  ClickMenuItem(MenuItem::kWindowsXp);
  Click(Control(MainControl::kRegisterButton));
  ASSERT_TRUE(WaitRegistered(true));
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  ClickMenuItem(MenuItem::kSilentNo);
  Click(GetDlgItem(dialog, ud::kUnregisterButton));
  EXPECT_TRUE(WaitRegistered(false));
  AnswerRegsvr32sBox();
  EXPECT_TRUE(WaitForProcessesGone({L"regsvr32.exe"}));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";

  // Its close glyph closes it alone; the menu opens a new one.
  BringToFront(dialog);
  const SkinCaption caption = MeasureSkinCaption(skin);
  SystemClickAt(skin, caption.CloseMiddle().x, caption.CloseMiddle().y);
  ASSERT_TRUE(WaitForWindowGone(dialog)) << "the close glyph left the dialog open";
  EXPECT_TRUE(IsWindow(main_));
  HWND again = OpenUnregisterDialog();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(GetText(GetDlgItem(again, ud::kFileBox)), "");
}

// ---- Messages, each once, with its icon ----

TEST_F(RegistrationE2eTest, EveryMessageComesOnceWithTheInformationIcon) {
  ASSERT_NO_FATAL_FAILURE(StartWith({.auto_download = false}));
  HWND path_box = Control(MainControl::kPathBox);
  HWND register_button = Control(MainControl::kRegisterButton);
  const std::string library = LibraryAt(*folder_ / "disk", kSpacedLibrary);

  // The register command.
  ASSERT_TRUE(SetText(path_box, library));
  Click(register_button);
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(std::string(registration::kSelectOperatingSystem)));
  ClickMenuItem(MenuItem::kWindowsXp);
  ASSERT_TRUE(SetText(path_box, ""));
  Click(register_button);
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(std::string(registration::kNoFileSelected)));

  // What is refused before anything is written: a file that cannot be read, and paths
  // and names that would change the command run.bat runs.
  const std::string missing = *folder_ / "disk\\missing.dll";
  ASSERT_TRUE(SetText(path_box, missing));
  Click(register_button);
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(registration::CannotReadText(missing)));
  const std::string percent = LibraryAt(*folder_ / "disk", "50%.dll");
  ASSERT_TRUE(SetText(path_box, percent));
  Click(register_button);
  ASSERT_NO_FATAL_FAILURE(
      ExpectInformation(registration::CannotRegisterNameText(percent, NameProblem::kPercentSign)));
  const std::string quoted = *folder_ / "disk\\a\" & echo injected & \".dll";
  ASSERT_TRUE(SetText(path_box, quoted));
  Click(register_button);
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(registration::CannotRegisterNameText(quoted, NameProblem::kDoubleQuote)));
  // A name with a line break, handed over as the download dialog does.
  const std::string broken = "x.dll\r\necho injected > c:\\injected.txt";
  ASSERT_TRUE(SetText(Control(MainControl::kDownloadedNameField), broken));
  ASSERT_EQ(GetText(Control(MainControl::kDownloadedNameField)), broken) << "the field keeps the line break";
  ASSERT_TRUE(SetText(Control(MainControl::kDownloadedPathField), library));
  SetText(Control(MainControl::kSignalField), "1", milliseconds(300));
  ASSERT_NO_FATAL_FAILURE(
      ExpectInformation(registration::CannotRegisterNameText(broken, NameProblem::kControlCharacter)));
  EXPECT_FALSE(RunBat().has_value()) << "nothing was written";
  EXPECT_EQ(CountProcesses(L"cmd.exe"), 0);

  // The unregister command.
  HWND dialog = OpenUnregisterDialog();
  ASSERT_NE(dialog, nullptr);
  HWND file_box = GetDlgItem(dialog, ud::kFileBox);
  HWND unregister_button = GetDlgItem(dialog, ud::kUnregisterButton);
  ClickMenuItem(MenuItem::kWindowsXp);  // checked: now neither
  ASSERT_TRUE(SetText(file_box, kSpacedLibrary));
  Click(unregister_button);
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(std::string(registration::kSelectOperatingSystem)));
  ClickMenuItem(MenuItem::kWindowsXp);
  ASSERT_TRUE(SetText(file_box, ""));
  Click(unregister_button);
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(std::string(registration::kUnregisterFieldEmpty)));
  const std::string second = "x.ocx\" \"c:\\windows\\system32\\ole32.dll";
  ASSERT_TRUE(SetText(file_box, second));
  Click(unregister_button);
  ASSERT_NO_FATAL_FAILURE(
      ExpectInformation(registration::CannotUnregisterNameText(second, NameProblem::kDoubleQuote)));
  EXPECT_EQ(CountProcesses(L"regsvr32.exe"), 0);
}

// ---- An error page served under a library's name ----

TEST_F(RegistrationE2eTest, AnHtmlPageServedAsALibraryNeverReachesTheSystemFolder) {
  SystemFolderFile system_copy("mscomctl.ocx");
  if (!FileExists(system_copy.path())) {
    // A working library of that name, as on a machine that has one.
    ASSERT_TRUE(test::WriteWholeFile(system_copy.path(), library_));
  }
  const auto before = ReadWholeFile(system_copy.path());
  Serve("mscomctl.ocx", "<html><body><h1>File Not Found</h1></body></html>\r\n");
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_no = true}));
  const std::string page = Downloaded("mscomctl.ocx");
  SearchFor("msc");
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(registration::NotALibraryText(page)));
  ClickMenuItem(MenuItem::kWindowsVista7);
  SearchFor("msc");
  ASSERT_NO_FATAL_FAILURE(ExpectInformation(registration::NotALibraryText(page)));
  EXPECT_FALSE(RunBat().has_value());
  EXPECT_FALSE(FileExists(*folder_ / "Adds\\run.bat"));
  EXPECT_EQ(CountProcesses(L"cmd.exe"), 0);
  EXPECT_EQ(CountProcesses(L"Register.exe"), 0);
  EXPECT_EQ(ReadWholeFile(system_copy.path()), before);
}

// ---- The catalogue's digest of each file ----

std::string Sha256Hex(const std::string& bytes) {
  base::Sha256 hash;
  hash.Update(bytes);
  return base::Sha256ToHex(hash.Finish());
}

TEST_F(RegistrationE2eTest, AHitWhoseFileMatchesItsDigestIsDownloadedAndRegistered) {
  catalogue_.back().sha256 = Sha256Hex(library_);
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_yes = true}));
  SearchFor("movarin");
  ASSERT_TRUE(WaitRegistered(true)) << "the matching library was not registered";
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  EXPECT_EQ(ReadWholeFile(Downloaded(kLibrary)), library_);
  EXPECT_EQ(ReadWholeFile(SystemPath(kLibrary)), library_);
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
}

// The file changed on the server after the catalogue was built: the usual failure box,
// an older download of that name stays as it was, nothing new is left, nothing is
// copied or registered; then the same search again fails the same way.
TEST_F(RegistrationE2eTest, AFileChangedOnTheServerIsRefusedAndNothingIsRegistered) {
  catalogue_.back().sha256 = Sha256Hex(library_);
  std::string changed = library_;
  changed[changed.size() / 2] = static_cast<char>(changed[changed.size() / 2] ^ 0x5A);
  Serve(kLibrary, changed);
  ASSERT_TRUE(test::WriteWholeFile(Downloaded(kLibrary), "an older download"));
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_yes = true}));
  for (int attempt = 0; attempt < 2; ++attempt) {
    SearchFor("movarin");
    auto box = WaitForMessageBox(app_->id());
    ASSERT_TRUE(box.has_value()) << "no failure box";
    EXPECT_EQ(box->title, "Not downloaded");
    EXPECT_EQ(box->text, "Connection error");
    EXPECT_STREQ(IconName(ReadMessageBoxIcon(box->window)), "error");
    EXPECT_EQ(test::FolderEntries(downloads_), std::vector<std::string>{kLibrary})
        << "nothing of the refused file is left while the box shows";
    HWND dialog = WaitForWindow({.class_name = "MovarinDownloadDialog", .process_id = app_->id()});
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
    ASSERT_TRUE(WaitForWindowGone(box->window));
    // Wine's message-box loop returns at the next message after its button ended it (a
    // user's pointer always brings one): the download then ends and the dialog is idle.
    PostMessageW(dialog, WM_NULL, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, dd::kDownloadButton)) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return test::FolderEntries(downloads_).size() == 1; }))
        << "the new file is gone once the download has ended";
  }
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value());
  EXPECT_EQ(ReadWholeFile(Downloaded(kLibrary)), "an older download");
  EXPECT_EQ(test::FolderEntries(downloads_), std::vector<std::string>{kLibrary}) << "no temporary file is left";
  EXPECT_FALSE(RunBat().has_value());
  EXPECT_EQ(CountProcesses(L"cmd.exe"), 0);
  EXPECT_FALSE(FileExists(SystemPath(kLibrary)));
  EXPECT_FALSE(Registered());
  EXPECT_NE(test::ServerLog().find("GET /files/" + std::string(kLibrary) + " "), std::string::npos);
}

// In a catalogue that carries digests, an entry without one downloads as before.
TEST_F(RegistrationE2eTest, AnEntryWithoutADigestStillDownloadsAndRegisters) {
  catalogue_.front().sha256 = std::string(64, 'a');
  ASSERT_TRUE(catalogue_.back().sha256.empty());
  ASSERT_NO_FATAL_FAILURE(StartWith({.xp = true, .silent_yes = true}));
  SearchFor("movarin");
  ASSERT_TRUE(WaitRegistered(true)) << "the library without a digest was not registered";
  ASSERT_TRUE(WaitForProcessesGone({L"cmd.exe", L"regsvr32.exe"}));
  EXPECT_EQ(ReadWholeFile(SystemPath(kLibrary)), library_);
}

}  // namespace
}  // namespace movarin::e2e
