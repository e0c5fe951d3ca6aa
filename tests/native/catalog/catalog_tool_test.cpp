// movarin-catalog end to end: the real executable, real files, exit statuses and texts.
#include <gtest/gtest.h>

#include <filesystem>

#include <map>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tests/support/temp_folder.h"
#include "tests/native/catalog/catalog_tool_run.h"

namespace movarin::tools {
namespace {

namespace fs = std::filesystem;
using movarin::test::CommandExists;
using movarin::test::CommandResult;
using movarin::test::FolderEntries;
using movarin::test::ShellQuote;
using movarin::test::ReadWholeFile;
using movarin::test::RunShell;
using movarin::test::TempFolder;
using movarin::test::WriteWholeFile;

class CatalogTool : public ::testing::Test {
 protected:
  // A catalogue from CSV rows; the order of the rows is kept.
  std::string BuildFromCsv(const std::string& csv, const std::string& extra = "") {
    const std::string source = (folder_ / "rows.csv");
    const std::string database = (folder_ / "database.mdb");
    WriteWholeFile(source, csv);
    const auto built = Tool("build --from-csv " + ShellQuote(source) + " -o " + ShellQuote(database) + extra);
    EXPECT_EQ(built.exit_code, 0) << built.err;
    return database;
  }
  TempFolder folder_;
};

TEST_F(CatalogTool, BuildsFromAFolderOfLibrariesSortedByNameWithVersions) {
  const fs::path libraries = fs::path(folder_.path()) / "libraries";
  fs::create_directory(libraries);
  fs::copy_file(Seed("pe32_version"), libraries / "Alpha.OCX");
  fs::copy_file(Seed("pe32plus_version"), libraries / "beta.dll");
  WriteWholeFile(libraries / "broken.ocx", "not a library");
  WriteWholeFile(libraries / "notes.txt", "not listed");
  WriteWholeFile(libraries / ".dll", "no name before the extension");
  fs::create_directory(libraries / "folder.dll");
  const std::string database = (folder_ / "database.mdb");

  const auto built = Tool("build " + ShellQuote(libraries.string()) + " -o " + ShellQuote(database));
  ASSERT_EQ(built.exit_code, 0) << built.err;
  EXPECT_EQ(built.out, "wrote 3 files to " + database + "\n");
  EXPECT_NE(built.err.find("broken.ocx: not a Windows executable"), std::string::npos) << built.err;

  // Each file's digest, as Debian's sha256sum computes it, stands in the third column.
  ASSERT_TRUE(CommandExists("sha256sum"));
  std::map<std::string, std::string> sha256;
  for (const char* name : {"Alpha.OCX", "beta.dll", "broken.ocx"}) {
    sha256[name] = RunShell("sha256sum " + ShellQuote((libraries / name).string())).out.substr(0, 64);
  }
  const auto listed = Tool("list " + ShellQuote(database));
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  EXPECT_EQ(listed.out, "Alpha.OCX\t6.1.7601.0\t" + sha256["Alpha.OCX"] + "\nbeta.dll\t6.1.7601.0\t" +
                            sha256["beta.dll"] + "\nbroken.ocx\t\t" + sha256["broken.ocx"] + "\n3\n");

  if (CommandExists("mdb-export")) {
    const auto exported = RunShell("mdb-export " + ShellQuote(database) + " Files");
    EXPECT_EQ(exported.out, "Filename,Version,sha256\n\"Alpha.OCX\",\"6.1.7601.0\",\"" +
                                sha256["Alpha.OCX"] + "\"\n\"beta.dll\",\"6.1.7601.0\",\"" + sha256["beta.dll"] +
                                "\"\n\"broken.ocx\",,\"" + sha256["broken.ocx"] + "\"\n");
  }
}

// The sha256 column round trip: from CSV with and without it, read back by our reader
// (list, export) and by mdbtools; the first two columns stay where they were.
TEST_F(CatalogTool, Sha256ColumnComesFromCsvAndReadsBackEverywhere) {
  const std::string hex = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855";
  const std::string lower = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
  struct Case {
    std::string csv;
    std::string list;
    std::string export_csv;
    bool has_column;
  };
  const Case cases[] = {
      {"b.dll,2," + hex + "\na.dll,1,\n", "a.dll\t1\t\nb.dll\t2\t" + lower + "\n2\n",
       "Filename,Version,sha256\n\"b.dll\",\"2\",\"" + lower + "\"\n\"a.dll\",\"1\",\n", true},
      {"Filename,Version,sha256\na.dll,1,\n", "a.dll\t1\t\n1\n", "Filename,Version,sha256\n\"a.dll\",\"1\",\n",
       true},
      {"b.dll,2\na.dll,1\n", "a.dll\t1\nb.dll\t2\n2\n", "Filename,Version\n\"b.dll\",\"2\"\n\"a.dll\",\"1\"\n",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.csv);
    const std::string database = BuildFromCsv(c.csv);
    EXPECT_EQ(Tool("list " + ShellQuote(database)).out, c.list);
    EXPECT_EQ(Tool("export " + ShellQuote(database) + " Files").out, c.export_csv);
    if (!CommandExists("mdb-export")) continue;
    EXPECT_EQ(RunShell("mdb-export " + ShellQuote(database) + " Files").out, c.export_csv);
    const std::string schema = RunShell("mdb-schema " + ShellQuote(database)).out;
    EXPECT_NE(schema.find("[Filename]"), std::string::npos) << schema;
    EXPECT_LT(schema.find("[Filename]"), schema.find("[Version]")) << schema;
    if (c.has_column) {
      EXPECT_LT(schema.find("[Version]"), schema.find("[sha256]")) << schema;
      EXPECT_NE(schema.find("Text (64)"), std::string::npos) << schema;
    } else {
      EXPECT_EQ(schema.find("sha256"), std::string::npos) << schema;
    }
  }
}

TEST_F(CatalogTool, SearchListsPrefixMatchesInDatabaseOrderThenTheCount) {
  const std::string database = BuildFromCsv(
      "Filename,Version\r\n\"b2.dll\",\"2\"\r\na.dll,1\r\nB1.OCX,\r\n\"it's.dll\",\"3\"\r\n");
  const std::map<std::string, std::string> expected = {
      {"b", "b2.dll\t2\nB1.OCX\t\n2\n"},
      {"%", "b2.dll\t2\na.dll\t1\nB1.OCX\t\nit's.dll\t3\n4\n"},
      {"it's", "it's.dll\t3\n1\n"},
      {"zzz", "0\n"},
      {"", "b2.dll\t2\na.dll\t1\nB1.OCX\t\nit's.dll\t3\n4\n"},
  };
  for (const auto& [text, output] : expected) {
    const auto searched = Tool("search " + ShellQuote(database) + " " + ShellQuote(text));
    EXPECT_EQ(searched.exit_code, 0) << text << ": " << searched.err;
    EXPECT_EQ(searched.out, output) << "search text: " << text;
  }
  const auto listed = Tool("list " + ShellQuote(database));
  EXPECT_EQ(listed.out, "a.dll\t1\nB1.OCX\t\nb2.dll\t2\nit's.dll\t3\n4\n");
}

TEST_F(CatalogTool, ExportPrintsWhatMdbExportPrints) {
  if (!CommandExists("mdb-export")) GTEST_SKIP() << "mdbtools is not installed";
  const std::string database =
      BuildFromCsv("\"a \"\"quoted\"\" name.dll\",\"1,0\"\nplain.ocx,\nŽluť.dll,2\n");
  const auto ours = Tool("export " + ShellQuote(database) + " Files");
  ASSERT_EQ(ours.exit_code, 0) << ours.err;
  EXPECT_EQ(ours.out, RunShell("mdb-export " + ShellQuote(database) + " Files").out);
}

TEST_F(CatalogTool, PasswordOptionWritesAndOpensOtherPasswords) {
  const std::string database = BuildFromCsv("a.dll,1\n", " --password " + ShellQuote("jiné heslo"));
  const auto with_default = Tool("list " + ShellQuote(database));
  EXPECT_EQ(with_default.exit_code, 1);
  EXPECT_NE(with_default.err.find("Not a valid password."), std::string::npos) << with_default.err;
  const auto with_password = Tool("list " + ShellQuote(database) + " --password " + ShellQuote("jiné heslo"));
  EXPECT_EQ(with_password.exit_code, 0) << with_password.err;
  EXPECT_EQ(with_password.out, "a.dll\t1\n1\n");
}

TEST_F(CatalogTool, FailedBuildsLeaveTheOldCatalogueAndNoTemporaryFile) {
  const std::string database = BuildFromCsv("old.dll,1\n");
  const auto old_bytes = ReadWholeFile(database);
  struct Case {
    const char* csv;
    const char* message;
  };
  for (const Case& c : {Case{"a.dll,1\n\"b.dll,2\n", "rows.csv:2: a quoted field is not closed"},
                        Case{"a.dll,1,extra\n", "rows.csv:1: the sha256 is not 64 hexadecimal digits"},
                        Case{"a.dll,1,,x\n", "rows.csv:1: expected Filename,Version,sha256"},
                        Case{"\xff.dll,1\n", "text is not valid UTF-8 (entry 1)"},
                        Case{",1\n", "rows.csv:1: the file name is empty"}}) {
    WriteWholeFile((folder_ / "rows.csv"), c.csv);
    const auto built =
        Tool("build --from-csv " + ShellQuote((folder_ / "rows.csv")) + " -o " + ShellQuote(database));
    EXPECT_EQ(built.exit_code, 1) << c.csv;
    EXPECT_NE(built.err.find(c.message), std::string::npos) << built.err;
    EXPECT_EQ(ReadWholeFile(database), old_bytes) << c.csv;
    EXPECT_EQ(FolderEntries(folder_.path()).size(), 2u) << c.csv;  // rows.csv, database.mdb
  }
}

// Errors: the exit status and a text on standard error. {db} is a valid catalogue,
// {dir} the test's folder.
struct ErrorCase {
  std::string name;
  std::string arguments;
  int exit_code;
  std::string message;
};
void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

class CatalogToolError : public CatalogTool, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CatalogToolError, ExitsWithStatusAndMessage) {
  const std::string database = BuildFromCsv("a.dll,1\n");
  WriteWholeFile((folder_ / "text.mdb"), std::string(5000, 'x'));
  std::string arguments = GetParam().arguments;
  std::string message = GetParam().message;
  for (std::string* text : {&arguments, &message}) {
    for (const auto& [token, value] :
         {std::pair<std::string, std::string>{"{db}", database}, {"{dir}", folder_.path()}}) {
      for (std::size_t at; (at = text->find(token)) != std::string::npos;) text->replace(at, token.size(), value);
    }
  }
  const auto result = Tool(arguments);
  EXPECT_EQ(result.exit_code, GetParam().exit_code) << result.err;
  EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
  EXPECT_TRUE(result.out.empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CatalogToolError,
    ::testing::Values(
        ErrorCase{"missing_file", "list {dir}/missing.mdb", 1,
                  "Could not find file '{dir}/missing.mdb'."},
        ErrorCase{"wrong_password", "search {db} a --password wrong", 1, "Not a valid password."},
        ErrorCase{"not_a_database", "list {dir}/text.mdb", 1,
                  "Unrecognized database format '{dir}/text.mdb'."},
        ErrorCase{"missing_table", "export {db} Nothing", 1, "Error No.:"},
        ErrorCase{"build_into_missing_folder", "build --from-csv {dir}/rows.csv -o {dir}/no/db.mdb",
                  1, "cannot create the file: {dir}/no/db.mdb"},
        ErrorCase{"build_from_missing_folder", "build {dir}/nowhere -o {dir}/x.mdb", 1,
                  "cannot find the folder '{dir}/nowhere'"},
        ErrorCase{"missing_csv", "build --from-csv {dir}/none.csv -o {dir}/x.mdb", 1,
                  "cannot read '{dir}/none.csv'"},
        ErrorCase{"no_arguments", "", 2, "usage:"},
        ErrorCase{"unknown_command", "remove {db}", 2, "unknown command 'remove'"},
        ErrorCase{"search_without_text", "search {db}", 2, "usage:"},
        ErrorCase{"unknown_option", "list {db} --verbose", 2, "usage:"},
        ErrorCase{"option_without_value", "list {db} --password", 2, "usage:"},
        ErrorCase{"build_without_output", "build {dir}", 2, "build needs -o"},
        ErrorCase{"output_for_list", "list {db} -o {dir}/x.mdb", 2, "usage:"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace movarin::tools
