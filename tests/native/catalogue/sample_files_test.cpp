// The real Access files: everything our reader exports must equal what mdbtools exports
// from the same file, and the provider's reactions to passwords and bad files hold.
#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "catalogue/export_csv.h"
#include "catalogue/jet/database.h"
#include "catalogue/jet/header.h"
#include "catalogue/jet/page_file.h"
#include "catalogue/jet/table_reader.h"
#include "catalogue/provider_errors.h"
#include "tests/native/catalogue/jet_test_files.h"

namespace movarin::catalogue {
namespace {

using test::SampleDir;

Connection OpenOrFail(const std::filesystem::path& path, std::string_view password) {
  auto opened = Connection::Open(path.string(), password);
  if (!opened) {
    ADD_FAILURE() << path << ": " << opened.error().description;
    throw std::runtime_error("open failed");
  }
  return std::move(*opened);
}

ProviderError OpenError(const std::filesystem::path& path, std::string_view password) {
  auto opened = Connection::Open(path.string(), password);
  if (opened.ok()) {
    ADD_FAILURE() << path << " opened, but should not";
    return {};
  }
  return opened.error();
}

// Every sample: Jet 4 (Access 2000/2003) and Jet 3 (Access 97).
std::vector<std::filesystem::path> Samples() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(*SampleDir())) {
    if (entry.path().extension() == ".mdb") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(SampleFiles, EveryTableExportsExactlyAsMdbExport) {
  MOVARIN_REQUIRE_SAMPLES();
  const auto files = Samples();
  ASSERT_GE(files.size(), 7u);
  std::size_t tables_compared = 0;
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    const Connection connection = OpenOrFail(file, "password");
    EXPECT_EQ(connection.TableNames(), test::MdbTables(file));
    for (const auto& table : connection.TableNames()) {
      SCOPED_TRACE(table);
      auto csv = connection.ExportCsv(table);
      ASSERT_TRUE(csv.ok());
      EXPECT_EQ(*csv, test::MdbExport(file, table));
      ++tables_compared;
    }
  }
  EXPECT_EQ(tables_compared, 21u);
}

// A row that outgrew its place lives in a new slot, and its old slot only points there:
// the reader reads it once, where it lives, in both Jet versions, as mdbtools does. (The
// Access 97 Northwind file above has such rows in its system catalogue.)
TEST(SampleFiles, ARowMovedToAnotherSlotIsReadWhereItLives) {
  MOVARIN_REQUIRE_SAMPLES();
  const test::TempFolder folder("movarin-moved-row");
  for (const std::string name : {"access2000-nopassword.mdb", "access97-types.mdb"}) {
    SCOPED_TRACE(name);
    auto bytes = test::ReadBytes(*SampleDir() / name);
    const auto header = jet::DecodeHeader(bytes);
    ASSERT_TRUE(header);
    const std::size_t page_size = header->layout->page_size;
    const auto database = jet::Database::Open(bytes, u"");
    ASSERT_TRUE(database);
    const jet::TableEntry* table = database->FindTable("Table1");
    ASSERT_TRUE(table && table->table);
    std::uint32_t data_page = 0;
    for (std::uint32_t page = 3; page < bytes.size() / page_size; ++page) {
      const std::size_t base = page * page_size;
      if (bytes[base] == 1 && test::GetU32(bytes, base + 4) == table->definition_page) data_page = page;
    }
    ASSERT_NE(data_page, 0u);
    ASSERT_TRUE(test::MoveRowWithinPage(bytes, page_size, data_page, 0));
    const std::filesystem::path moved = folder / name;
    test::WriteBytes(moved.string(), bytes);

    const Connection connection = OpenOrFail(moved, "");
    auto csv = connection.ExportCsv("Table1");
    ASSERT_TRUE(csv.ok()) << csv.error().description;
    EXPECT_EQ(*csv, test::MdbExport(moved, "Table1"));
    auto rows = connection.Execute("SELECT * FROM Table1");
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(rows->RecordCount(), table->table->row_count);
  }
}

// The system tables hold every kind of row the files have: long rows, OLE and memo long
// values, binary columns, deleted rows. Read through the reader's table API.
TEST(SampleFiles, SystemTablesExportExactlyAsMdbExport) {
  MOVARIN_REQUIRE_SAMPLES();
  std::size_t compared = 0;
  for (const auto& file : Samples()) {
    SCOPED_TRACE(file.filename().string());
    const auto bytes = test::ReadBytes(file);
    const auto header = jet::DecodeHeader(bytes);
    ASSERT_TRUE(header);
    const jet::PageFile pages(bytes, *header->layout);
    jet::DecodeBudget budget(bytes.size());
    const auto catalogue = jet::ReadTable(pages, 2, "MSysObjects", budget);
    ASSERT_TRUE(catalogue) << jet::ErrorText(catalogue.error());
    EXPECT_EQ(ExportCsv(*catalogue), test::MdbExport(file, "MSysObjects"));
    for (std::size_t row = 0; row < catalogue->row_count; ++row) {
      const std::string name(catalogue->Cell(row, catalogue->FindColumn("Name")).text);
      const auto type = catalogue->Cell(row, catalogue->FindColumn("Type")).integer;
      const auto id = catalogue->Cell(row, catalogue->FindColumn("Id")).integer;
      if ((type & 0x7F) != 1 || name.rfind("MSys", 0) != 0 || name == "MSysObjects") continue;
      SCOPED_TRACE(name);
      const auto table = jet::ReadTable(pages, static_cast<std::uint32_t>(id) & 0xFFFFFF, name, budget);
      ASSERT_TRUE(table) << jet::ErrorText(table.error());
      EXPECT_EQ(ExportCsv(*table), test::MdbExport(file, name));
      ++compared;
    }
  }
  EXPECT_GE(compared, 20u);
}

TEST(SampleFiles, EmptyAccessDatabaseHasNoUserTables) {
  MOVARIN_REQUIRE_SAMPLES();
  const Connection connection = OpenOrFail(*SampleDir() / "access2000-empty.mdb", "");
  EXPECT_TRUE(connection.TableNames().empty());
}

TEST(SampleFiles, PasswordIsCheckedOnlyWhereTheFileHasOne) {
  MOVARIN_REQUIRE_SAMPLES();
  for (const char* name : {"access2000-password.mdb", "access2003-password.mdb"}) {
    SCOPED_TRACE(name);
    const auto file = *SampleDir() / name;
    const Connection connection = OpenOrFail(file, "password");
    auto rows = connection.Execute("SELECT * FROM Table1 ORDER BY Data ASC");
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(rows->RecordCount(), 3u);
    // Passwords are exact: case, spaces and the empty password are all wrong.
    for (const char* wrong : {"", "Password", "password ", "passwor", "pelvornastikude"}) {
      const ProviderError error = OpenError(file, wrong);
      EXPECT_EQ(error.number, kErrorNotValidPassword) << wrong;
      EXPECT_EQ(error.description, "Not a valid password.") << wrong;
    }
  }
  for (const char* any : {"", "password", "pelvornastikude", "x"}) {
    OpenOrFail(*SampleDir() / "access2000-nopassword.mdb", any);
    OpenOrFail(*SampleDir() / "access97-types.mdb", any);
  }
}

TEST(SampleFiles, Jet3PasswordIsPlainTextUnderTheHeaderMask) {
  MOVARIN_REQUIRE_SAMPLES();
  auto bytes = test::ReadBytes(*SampleDir() / "access97-types.mdb");
  test::EditHeader(bytes, [](std::vector<std::uint8_t>& block) {
    const std::string password = "Geheim97";
    std::copy(password.begin(), password.end(), block.begin() + 0x42);
  });
  test::TempFolder dir;
  const auto path = std::filesystem::path(dir.path()) / "access97-password.mdb";
  test::WriteBytes(path, bytes);
  const Connection connection = OpenOrFail(path, "Geheim97");
  EXPECT_EQ(connection.TableNames().size(), 4u);
  EXPECT_EQ(OpenError(path, "geheim97").description, "Not a valid password.");
  EXPECT_EQ(OpenError(path, "").description, "Not a valid password.");
}

TEST(SampleFiles, EncryptedPagesAreRefusedClearly) {
  MOVARIN_REQUIRE_SAMPLES();
  test::TempFolder dir;
  for (const char* name : {"access2000-nopassword.mdb", "access2000-password.mdb"}) {
    auto bytes = test::ReadBytes(*SampleDir() / name);
    test::EditHeader(bytes, [](std::vector<std::uint8_t>& block) { test::PutU32(block, 0x3E, 0x1234567); });
    const auto path = std::filesystem::path(dir.path()) / name;
    test::WriteBytes(path, bytes);
    const ProviderError error = OpenError(path, "password");
    EXPECT_EQ(error.number, kErrorUnspecified);
    EXPECT_EQ(error.description, "The database '" + path.string() + "' is encrypted and cannot be opened.");
  }
}

TEST(SampleFiles, FilesThatCannotBeOpenedGetTheProviderMessages) {
  MOVARIN_REQUIRE_SAMPLES();
  test::TempFolder dir;
  const auto missing = std::filesystem::path(dir.path()) / "database.mdb";
  ProviderError error = OpenError(missing, "");
  EXPECT_EQ(error.number, kErrorUnspecified);
  EXPECT_EQ(error.description, "Could not find file '" + missing.string() + "'.");

  auto cannot_open = OpenError(dir.path(), "");
  EXPECT_NE(cannot_open.description.find("cannot open the file"), std::string::npos);

  const std::vector<std::vector<std::uint8_t>> not_jet = {
      {},
      std::vector<std::uint8_t>(5000, 'x'),
  };
  for (const auto& bytes : not_jet) {
    const auto path = std::filesystem::path(dir.path()) / "notjet.mdb";
    test::WriteBytes(path, bytes);
    error = OpenError(path, "");
    EXPECT_EQ(error.description, "Unrecognized database format '" + path.string() + "'.");
  }
  // A version byte of a newer format (ACE) is not ours either.
  auto ace = test::ReadBytes(*SampleDir() / "access2000-nopassword.mdb");
  ace[0x14] = 2;
  test::WriteBytes(std::filesystem::path(dir.path()) / "ace.mdb", ace);
  EXPECT_EQ(OpenError(std::filesystem::path(dir.path()) / "ace.mdb", "").description,
            "Unrecognized database format '" + (std::filesystem::path(dir.path()) / "ace.mdb").string() + "'.");
  // A cut-off download is refused as a damaged database, not read in part.
  auto cut = test::ReadBytes(*SampleDir() / "access2000-nopassword.mdb");
  cut.resize(cut.size() - 1000);
  test::WriteBytes(std::filesystem::path(dir.path()) / "cut.mdb", cut);
  EXPECT_EQ(OpenError(std::filesystem::path(dir.path()) / "cut.mdb", "").description,
            "The database '" + (std::filesystem::path(dir.path()) / "cut.mdb").string() +
                "' needs to be repaired or isn't a database file.");
}

TEST(SampleFiles, OpensThroughNonAsciiPaths) {
  MOVARIN_REQUIRE_SAMPLES();
  test::TempFolder dir;
  const auto folder = std::filesystem::path(dir.path()) / "Katalog \xC3\x84\xC3\x96\xC3\x9C \xE6\x95\xB0\xE6\x8D\xAE";
  std::filesystem::create_directory(folder);
  const auto path = folder / "database.mdb";
  std::filesystem::copy_file(*SampleDir() / "access2000-nopassword.mdb", path);
  const Connection connection = OpenOrFail(path, "");
  EXPECT_EQ(connection.TableNames(), std::vector<std::string>{"Table1"});
}

TEST(SampleFiles, RecordSetFieldsReadAsTheProviderConvertsThem) {
  MOVARIN_REQUIRE_SAMPLES();
  const Connection connection = OpenOrFail(*SampleDir() / "access2000-types.mdb", "");
  auto result = connection.Execute("SELECT * FROM Table1");
  ASSERT_TRUE(result.ok());
  const RecordSet& rows = *result;
  ASSERT_EQ(rows.RecordCount(), 2u);
  ASSERT_EQ(rows.FieldCount(), 9u);
  const std::vector<std::string> expected = {"abcdefg", "hijklmnop", "2",    "222", "333333333",
                                             "444.555", "9/21/1974", "3.5", "True"};
  for (std::size_t c = 0; c < expected.size(); ++c) EXPECT_EQ(rows.Field(0, c), expected[c]) << c;
  EXPECT_EQ(rows.FieldName(6), "G");
  // Out of range reads are empty, never undefined.
  EXPECT_EQ(rows.Field(2, 0), "");
  EXPECT_EQ(rows.Field(0, 9), "");
}

TEST(SampleFiles, QueriesOnARealFile) {
  MOVARIN_REQUIRE_SAMPLES();
  const Connection connection = OpenOrFail(*SampleDir() / "access2000-password.mdb", "password");
  struct Case {
    const char* sql;
    std::vector<std::string> data;
  };
  const Case cases[] = {
      {"SELECT * FROM Table1 ORDER BY Data ASC", {"One", "Three", "Two"}},
      {"select * from [table1] order by [data] desc", {"Two", "Three", "One"}},
      {"SELECT * FROM Table1 WHERE Data Like 't%'", {"Two", "Three"}},
      {"SELECT * FROM Table1 WHERE Data Like '%e'", {"One", "Three"}},
      {"SELECT * FROM Table1 WHERE Data Like '%'", {"One", "Two", "Three"}},
      {"SELECT * FROM Table1 WHERE Data Like 'x%'", {}},
      {"SELECT * FROM Table1 WHERE ID Like '2'", {"Two"}},
      {"SELECT * FROM Table1 ORDER BY ID DESC", {"Three", "Two", "One"}},
  };
  for (const auto& c : cases) {
    auto result = connection.Execute(c.sql);
    ASSERT_TRUE(result.ok()) << c.sql;
    const auto& rows = *result;
    std::vector<std::string> data;
    for (std::size_t r = 0; r < rows.RecordCount(); ++r) data.emplace_back(rows.Field(r, 1));
    EXPECT_EQ(data, c.data) << c.sql;
  }
  auto missing = connection.Execute("SELECT * FROM Files ORDER BY Filename ASC");
  ASSERT_TRUE(!missing.ok());
  EXPECT_EQ(missing.error().number, kErrorNoSuchTable);
  EXPECT_EQ(missing.error().description,
            "The Microsoft Jet database engine cannot find the input table or query 'Files'. "
            "Make sure it exists and that its name is spelled correctly.");
  auto bad_column = connection.Execute("SELECT * FROM Table1 WHERE Filename Like 'a%'");
  ASSERT_TRUE(!bad_column.ok());
  EXPECT_EQ(bad_column.error().number, kErrorMissingParameter);
}

}  // namespace
}  // namespace movarin::catalogue
