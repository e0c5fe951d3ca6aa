// movarin-cli's decisions: its arguments, the steps taken for each name against a real
// catalogue (written by our writer) and a recording platform, the lines and exit codes.
#include <gtest/gtest.h>

#include <map>

#include "base/sha256.h"
#include "download/download_messages.h"
#include "programs/cli/cli_logic.h"
#include "tests/native/pe/pe_test_image.h"
#include "tools/catalog/writer/jet_writer.h"

namespace movarin::cli {
namespace {

namespace writer = tools::catalog_writer;

std::vector<std::string> Args(std::initializer_list<const char*> list) {
  return {list.begin(), list.end()};
}

TEST(CliArguments, CommandsAndTheirNames) {
  auto get = ParseArguments(Args({"get", "a.ocx", "--to", "D:\\dl", "b.dll"}));
  ASSERT_TRUE(get);
  EXPECT_EQ(get->command, Command::kGet);
  EXPECT_EQ(get->names, Args({"a.ocx", "b.dll"}));
  EXPECT_EQ(get->to_folder, "D:\\dl");

  auto search = ParseArguments(Args({"search", "%"}));
  ASSERT_TRUE(search);
  EXPECT_EQ(search->command, Command::kSearch);
  auto help = ParseArguments(Args({"--help"}));
  ASSERT_TRUE(help);
  EXPECT_EQ(help->command, Command::kHelp);
}

TEST(CliArguments, BadUsageIsRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"fetch", "a.ocx"},
      {"get"},
      {"install"},
      {"uninstall"},
      {"search"},
      {"search", ""},
      {"search", "a", "b"},
      {"get", "a.ocx", "--to"},
      {"get", "a.ocx", "--to", ""},
      {"get", "a.ocx", "--to", "x", "--to", "y"},
      {"install", "a.ocx", "--to", "x"},
      {"install", "--force", "a.ocx"},
      {"--help", "get"},
  };
  for (const auto& args : bad) {
    auto parsed = ParseArguments(args);
    ASSERT_FALSE(parsed) << ::testing::PrintToString(args);
    EXPECT_FALSE(parsed.error().message.empty());
  }
}

TEST(CliOutcomes, TextsAndExitCode) {
  EXPECT_EQ(OutcomeText(Command::kInstall, {}), "registered");
  EXPECT_EQ(OutcomeText(Command::kUninstall, {}), "unregistered");
  EXPECT_EQ(OutcomeText(Command::kGet, {}), "downloaded");
  EXPECT_EQ(OutcomeText(Command::kInstall, MakeOutcome(OutcomeKind::kNotInCatalogue)), "not in the catalogue");
  EXPECT_EQ(OutcomeText(Command::kInstall, MakeOutcome(OutcomeKind::kDownloadFailed, "reset")),
            "download failed: reset");
  EXPECT_EQ(OutcomeText(Command::kInstall, MakeOutcome(OutcomeKind::kNotALibrary)), "not a library");
  EXPECT_EQ(OutcomeText(Command::kInstall, MakeOutcome(OutcomeKind::kRegsvr32Failed, {}, 5)),
            "regsvr32 failed (code 5)");
  const std::vector<Outcome> done(2);
  EXPECT_EQ(ExitCode(done), kExitAllDone);
  const std::vector<Outcome> mixed = {{}, MakeOutcome(OutcomeKind::kNotALibrary)};
  EXPECT_EQ(ExitCode(mixed), kExitSomeFailed);
}

// The system as far as the command line sees it: files by path, a server by address.
class FakePlatform final : public CliPlatform {
 public:
  std::vector<std::string> lines;
  std::vector<std::string> in_place;
  std::map<std::string, std::vector<std::uint8_t>> server;  // address -> body
  std::map<std::string, std::vector<std::uint8_t>> files;   // path -> content
  std::vector<std::string> regsvr32_runs;
  std::vector<std::string> downloads;
  std::vector<download::ExpectedDigest> digests;
  std::int64_t regsvr32_code = 0;
  bool system_writable = true;
  int scratch_folders = 0;
  std::vector<std::string> removed_folders;

  void PrintLine(std::string_view text) override { lines.emplace_back(text); }
  void PrintInPlace(std::string_view text) override { in_place.emplace_back(text); }
  base::Result<void, std::string> Download(const std::string& url, const std::string& destination,
                                           const download::ExpectedDigest& digest,
                                           const std::function<void(int)>& progress) override {
    downloads.push_back(url + " -> " + destination);
    digests.push_back(digest);
    auto found = server.find(url);
    if (found == server.end()) return std::string("The file, \"" + url + "\" was not found!");
    progress(50);
    progress(100);
    // The engine's check, whose own tests prove it: a body that does not match is not kept.
    const base::Sha256Digest actual = base::Sha256::Of(found->second);
    if (digest.digest() && *digest.digest() != actual) {
      return download::messages::DigestMismatch(base::Sha256ToHex(*digest.digest()), base::Sha256ToHex(actual));
    }
    files[destination] = found->second;
    return {};
  }
  base::Result<registration::FileStart, base::FileReadError> ReadFileStart(
      const std::string& path, std::size_t max_bytes) override {
    auto found = files.find(path);
    if (found == files.end()) return base::FileReadError::kNotFound;
    registration::FileStart start;
    start.size = found->second.size();
    start.bytes.assign(found->second.begin(),
                       found->second.begin() + std::min(max_bytes, found->second.size()));
    return start;
  }
  std::string SystemFolder() override { return "C:\\windows\\system32"; }
  bool CanWriteSystemFolder() override { return system_writable; }
  std::optional<std::string> MakeScratchFolder() override {
    return "C:\\temp\\scratch" + std::to_string(++scratch_folders);
  }
  void RemoveFolder(const std::string& folder) override { removed_folders.push_back(folder); }
  base::Result<void, base::Failure> CopyOver(const std::string& source,
                                             const std::string& destination) override {
    auto found = files.find(source);
    if (found == files.end()) return base::Failure{2, "The system cannot find the file specified."};
    files[destination] = found->second;
    return {};
  }
  base::Result<std::int64_t, base::Failure> RunRegsvr32(const std::string& arguments) override {
    regsvr32_runs.push_back(arguments);
    return regsvr32_code;
  }
};

constexpr char kBase[] = "http://127.0.0.1:8080/";

class CliRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseCatalogue({{"ACTSKIN4.OCX", "4.3.0.0"}, {"actbar.ocx", "1.0"}, {"comdlg32.ocx", "6.1"},
                  {"..\\evil.dll", "1"}, {"Page.dll", ""}});
    platform_.server[std::string(kBase) + "files/ACTSKIN4.OCX"] = pe::test::BuildImage().bytes;
    platform_.server[std::string(kBase) + "files/Page.dll"] = {'<', 'h', 't', 'm', 'l', '>'};
  }
  void UseCatalogue(const std::vector<writer::CatalogueEntry>& entries) {
    auto image = writer::BuildCatalogueImage(entries, writer::CatalogueOptions{});
    ASSERT_TRUE(image);
    auto opened = catalogue::Connection::OpenBytes(std::move(*image), catalogue::kCataloguePassword,
                                                   "database.mdb");
    ASSERT_TRUE(opened);
    connection_.emplace(std::move(*opened));
  }
  int Run(std::initializer_list<const char*> args) {
    auto parsed = ParseArguments(Args(args));
    EXPECT_TRUE(parsed);
    CliRunner runner(platform_, &*connection_, kBase, "D:\\Downloads");
    return runner.Run(*parsed);
  }

  FakePlatform platform_;
  std::optional<catalogue::Connection> connection_;
};

TEST_F(CliRunnerTest, SearchListsNameAndVersionByTheMainWindowsRule) {
  EXPECT_EQ(Run({"search", "act"}), kExitAllDone);
  EXPECT_EQ(platform_.lines, Args({"ACTSKIN4.OCX\t4.3.0.0", "actbar.ocx\t1.0"}));
  platform_.lines.clear();
  EXPECT_EQ(Run({"search", "zz"}), kExitAllDone);
  EXPECT_TRUE(platform_.lines.empty());
  EXPECT_EQ(Run({"search", "%"}), kExitAllDone);
  EXPECT_EQ(platform_.lines.size(), 5u);
}

TEST_F(CliRunnerTest, GetDownloadsTheCatalogueSpellingIntoTheFolderWithProgress) {
  EXPECT_EQ(Run({"get", "actskin4.ocx", "--to", "E:\\x"}), kExitAllDone);
  EXPECT_EQ(platform_.downloads,
            Args({"http://127.0.0.1:8080/files/ACTSKIN4.OCX -> E:\\x\\ACTSKIN4.OCX"}));
  EXPECT_EQ(platform_.in_place, Args({"ACTSKIN4.OCX: 50%", "ACTSKIN4.OCX: 100%"}));
  EXPECT_EQ(platform_.lines, Args({"actskin4.ocx: downloaded"}));
  platform_.downloads.clear();
  EXPECT_EQ(Run({"get", "ACTSKIN4.OCX"}), kExitAllDone);
  EXPECT_EQ(platform_.downloads.back(),
            "http://127.0.0.1:8080/files/ACTSKIN4.OCX -> D:\\Downloads\\ACTSKIN4.OCX");
}

TEST_F(CliRunnerTest, InstallChecksCopiesAndRegistersEachName) {
  EXPECT_EQ(Run({"install", "ACTSKIN4.OCX"}), kExitAllDone);
  EXPECT_EQ(platform_.lines, Args({"ACTSKIN4.OCX: registered"}));
  // Downloaded into a folder of its own, never straight into the system folder.
  EXPECT_EQ(platform_.downloads,
            Args({"http://127.0.0.1:8080/files/ACTSKIN4.OCX -> C:\\temp\\scratch1\\ACTSKIN4.OCX"}));
  EXPECT_TRUE(platform_.files.count("C:\\windows\\system32\\ACTSKIN4.OCX"));
  EXPECT_EQ(platform_.regsvr32_runs, Args({"/s \"C:\\windows\\system32\\ACTSKIN4.OCX\""}));
  EXPECT_EQ(platform_.removed_folders, Args({"C:\\temp\\scratch1"}));
}

TEST_F(CliRunnerTest, EachFailingNameHasItsLineAndTheRestGoOn) {
  // Listed but missing on the server, a page instead of a library, not listed at all,
  // and a catalogue name that would lead out of the folder.
  EXPECT_EQ(Run({"install", "actbar.ocx", "Page.dll", "nothere.dll", "..\\evil.dll", "ACTSKIN4.OCX"}),
            kExitSomeFailed);
  ASSERT_EQ(platform_.lines.size(), 5u);
  EXPECT_EQ(platform_.lines[0],
            "actbar.ocx: download failed: The file, \"http://127.0.0.1:8080/files/actbar.ocx\" was "
            "not found!");
  EXPECT_EQ(platform_.lines[1], "Page.dll: not a library");
  EXPECT_EQ(platform_.lines[2], "nothere.dll: not in the catalogue");
  EXPECT_EQ(platform_.lines[3].rfind("..\\evil.dll: refused", 0), 0u);
  EXPECT_EQ(platform_.lines[4], "ACTSKIN4.OCX: registered");
  EXPECT_FALSE(platform_.files.count("C:\\windows\\system32\\Page.dll"));
  EXPECT_EQ(platform_.regsvr32_runs.size(), 1u);
}

TEST_F(CliRunnerTest, Regsvr32ExitCodeIsReported) {
  platform_.regsvr32_code = 5;
  EXPECT_EQ(Run({"install", "ACTSKIN4.OCX"}), kExitSomeFailed);
  EXPECT_EQ(platform_.lines, Args({"ACTSKIN4.OCX: regsvr32 failed (code 5)"}));
  platform_.lines.clear();
  EXPECT_EQ(Run({"uninstall", "ACTSKIN4.OCX"}), kExitSomeFailed);
  EXPECT_EQ(platform_.lines, Args({"ACTSKIN4.OCX: regsvr32 failed (code 5)"}));
}

TEST_F(CliRunnerTest, UninstallUnregistersTheSystemFoldersCopy) {
  EXPECT_EQ(Run({"uninstall", "actskin4.ocx"}), kExitAllDone);
  EXPECT_EQ(platform_.regsvr32_runs, Args({"/s /u \"C:\\windows\\system32\\ACTSKIN4.OCX\""}));
  EXPECT_EQ(platform_.lines, Args({"actskin4.ocx: unregistered"}));
}

TEST_F(CliRunnerTest, WithoutRightsToTheSystemFolderNothingIsTouched) {
  platform_.system_writable = false;
  for (const auto command : {"install", "uninstall"}) {
    platform_.lines.clear();
    auto parsed = ParseArguments(Args({command, "ACTSKIN4.OCX"}));
    ASSERT_TRUE(parsed);
    CliRunner runner(platform_, &*connection_, kBase, "D:\\Downloads");
    EXPECT_EQ(runner.Run(*parsed), kExitSomeFailed);
    EXPECT_EQ(platform_.lines, Args({std::string(CliRunner::kNoRightsMessage).c_str()}));
  }
  EXPECT_TRUE(platform_.downloads.empty());
  EXPECT_TRUE(platform_.regsvr32_runs.empty());
  EXPECT_EQ(platform_.scratch_folders, 0);
}

TEST(CliRunnerWithoutCatalogue, SaysSoAndFails) {
  FakePlatform platform;
  CliRunner runner(platform, nullptr, kBase, "D:\\Downloads");
  auto parsed = ParseArguments(Args({"get", "a.ocx"}));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(runner.Run(*parsed), kExitSomeFailed);
  EXPECT_EQ(platform.lines, Args({std::string(CliRunner::kNoCatalogueMessage).c_str()}));
  EXPECT_TRUE(platform.downloads.empty());
}

// Each entry's digest goes with its download; a file that changed on the server is
// named as such, with both digests, and is neither copied nor registered.
TEST_F(CliRunnerTest, CatalogueDigestsGoWithTheDownloadsAndAMismatchIsNamed) {
  const std::string good = base::Sha256ToHex(base::Sha256::Of(pe::test::BuildImage().bytes));
  const std::string stale(64, '0');
  UseCatalogue({{"ACTSKIN4.OCX", "4.3.0.0", good}, {"Page.dll", "", ""}, {"comdlg32.ocx", "6.1", stale}});
  platform_.server[std::string(kBase) + "files/comdlg32.ocx"] = pe::test::BuildImage().bytes;

  EXPECT_EQ(Run({"install", "actskin4.ocx", "comdlg32.ocx"}), kExitSomeFailed);
  ASSERT_EQ(platform_.digests.size(), 2u);
  EXPECT_EQ(platform_.digests[0], download::ExpectedDigest::FromCatalogueText(good));
  ASSERT_EQ(platform_.lines.size(), 2u);
  EXPECT_EQ(platform_.lines[0], "actskin4.ocx: registered");
  EXPECT_EQ(platform_.lines[1], "comdlg32.ocx: download failed: The downloaded file does not match the "
                                "catalogue: SHA-256 expected " + stale + ", received " + good +
                                ". The file was not kept.");
  EXPECT_FALSE(platform_.files.count("C:\\windows\\system32\\comdlg32.ocx"));
  EXPECT_EQ(platform_.regsvr32_runs.size(), 1u);

  // An entry without a digest downloads unchecked.
  EXPECT_EQ(Run({"get", "Page.dll"}), kExitAllDone);
  EXPECT_TRUE(platform_.digests.back().IsNone());
}

}  // namespace
}  // namespace movarin::cli
