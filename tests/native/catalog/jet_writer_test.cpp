// The catalogue writer's files, read back by independent readers (mdbtools, the npm
// package mdb-reader) and by our own reader; and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet4_table.h"
#include "tools/catalog/writer/jet_writer.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tests/support/temp_folder.h"

namespace movarin::tools::catalog_writer {
namespace {

namespace fs = std::filesystem;
using catalogue::Connection;
using catalogue::kCataloguePassword;
using catalogue::ProviderError;
using catalogue::RecordSet;

using movarin::test::CommandExists;
using movarin::test::FolderEntries;
using movarin::test::ShellQuote;
using movarin::test::ReadWholeFile;
using movarin::test::RunShell;
using movarin::test::TempFolder;
using movarin::test::WriteWholeFile;

struct CatalogueCase {
  std::string name;
  std::vector<CatalogueEntry> entries;
  std::string password = "pelvornastikude";
};

std::vector<CatalogueEntry> ManyEntries(std::size_t count) {
  std::vector<CatalogueEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    // Names of varying length, so rows straddle page ends in every way.
    entries.push_back({"component" + std::string(i % 23, 'x') + std::to_string(i) +
                           (i % 2 ? ".ocx" : ".dll"),
                       i % 7 == 0 ? "" : "1." + std::to_string(i % 10) + ".0." + std::to_string(i)});
  }
  return entries;
}

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string text;
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::vector<CatalogueCase> Cases() {
  return {
      {"ascii", {{"comctl32.ocx", "6.0.81.5"}, {"MSVBVM60.DLL", "6.0.98.2"}, {"zlib1.dll", ""}}},
      {"non_ascii",
       {{"Žluťoučký kůň.ocx", "1.0"},
        {"日本語ライブラリ.dll", "2.0.0.1"},
        {"Библиотека.dll", "верс 3"},
        {"straße.ocx", "ß"},
        {"emoji😀.dll", "🚀"}}},
      {"quotes_and_commas", {{"a\"b.dll", "1,2"}, {"c,d.ocx", "\"x\""}, {"it's.dll", "'"}}},
      {"empty", {}},
      {"longest_texts",
       {{Repeat("n", 251) + ".dll", Repeat("9", 255)},
        {Repeat("😀", 125) + "é.dll", Repeat("ж", 255)}}},
      {"no_password", {{"a.dll", "1"}, {"b.dll", "2"}}, ""},
      {"longest_password", {{"a.dll", "1"}}, "pässwörd-of-20-chars"},
      {"many_rows", ManyEntries(100000)},
  };
}

// mdb-export's default output: a header, then each text quoted with quotes doubled; an
// empty text prints as nothing. mdbtools converts text as UCS-2, so it prints each half
// of a surrogate pair (a character beyond U+FFFF) as "?".
std::string ExpectedExport(const std::vector<CatalogueEntry>& entries) {
  auto quoted = [](const std::string& text) {
    if (text.empty()) return std::string();
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto ch = static_cast<unsigned char>(text[i]);
      if (ch == '"') {
        out += "\"\"";
      } else if (ch >= 0xF0) {
        out += "??";
        i += 3;
      } else {
        out += text[i];
      }
    }
    return out + "\"";
  };
  std::string csv = "Filename,Version\n";
  for (const auto& e : entries) csv += quoted(e.filename) + "," + quoted(e.version) + "\n";
  return csv;
}

// A JSON string as JSON.stringify writes it (non-ASCII stays as UTF-8).
std::string Json(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    if (ch == '"' || ch == '\\') out += '\\', out += ch;
    else if (static_cast<unsigned char>(ch) < 0x20) out += "\\u00" + std::string(1, "0123456789abcdef"[ch >> 4]) + "0123456789abcdef"[ch & 15];
    else out += ch;
  }
  return out + "\"";
}

void PrintTo(const CatalogueCase& c, std::ostream* out) { *out << c.name; }

class WrittenCatalogue : public ::testing::TestWithParam<CatalogueCase> {
 protected:
  void SetUp() override {
    path_ = (folder_ / "database.mdb");
    CatalogueOptions options;
    options.password = GetParam().password;
    const auto written = WriteCatalogueFile(path_, GetParam().entries, options);
    ASSERT_TRUE(written) << written.error().Message();
  }
  TempFolder folder_;
  std::string path_;
};

TEST_P(WrittenCatalogue, MdbtoolsListsTheTableAndExportsExactlyTheRows) {
  if (!CommandExists("mdb-export")) GTEST_SKIP() << "mdbtools is not installed";
  const auto tables = RunShell("mdb-tables -1 " + ShellQuote(path_));
  ASSERT_EQ(tables.exit_code, 0) << tables.err;
  EXPECT_EQ(tables.out, "Files\n");
  const auto exported = RunShell("mdb-export " + ShellQuote(path_) + " Files");
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  EXPECT_EQ(exported.out, ExpectedExport(GetParam().entries));
}

TEST_P(WrittenCatalogue, MdbReaderReadsTheRowsAndThePassword) {
  const auto modules = fs::path(*movarin::test::BuildDir()) / ".." / "node" / "node_modules";
  if (!CommandExists("node") || modules.empty() || !std::filesystem::exists(modules / "mdb-reader")) {
    GTEST_SKIP() << "node or the npm package mdb-reader is not installed (scripts/setup.sh)";
  }
  const auto script = fs::path(*movarin::test::SourceDir()) / "tests/native/catalog/mdb_reader_dump.mjs";
  const auto dump = RunShell("NODE_PATH=" + ShellQuote(modules.string()) + " node " + ShellQuote(script.string()) +
                        " " + ShellQuote(path_) + " Files " + ShellQuote(GetParam().password));
  ASSERT_EQ(dump.exit_code, 0) << dump.err;
  const std::string password =
      GetParam().password.empty() ? "null" : Json(GetParam().password);
  std::string expected = "{\"password\":" + password + ",\"tables\":[\"Files\"]}\n";
  expected += "[\"Filename\",\"Version\"]\n";
  for (const auto& e : GetParam().entries) {
    expected += "[" + Json(e.filename) + "," + Json(e.version) + "]\n";
  }
  EXPECT_EQ(dump.out, expected);
}

TEST_P(WrittenCatalogue, OurReaderReadsTheRowsInWrittenOrderAndChecksThePassword) {
  auto opened = Connection::Open(path_, GetParam().password);
  ASSERT_TRUE(opened.ok())
      << opened.error().description;
  const auto& connection = *opened;
  EXPECT_EQ(connection.TableNames(), std::vector<std::string>{"Files"});
  auto result = connection.Execute("SELECT * FROM Files");
  ASSERT_TRUE(result.ok())
      << result.error().description;
  const auto& rows = *result;
  const auto& entries = GetParam().entries;
  ASSERT_EQ(rows.RecordCount(), entries.size());
  ASSERT_EQ(rows.FieldCount(), 2u);
  EXPECT_EQ(rows.FieldName(0), "Filename");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ASSERT_EQ(rows.Field(i, 0), entries[i].filename) << "row " << i;
    ASSERT_EQ(rows.Field(i, 1), entries[i].version) << "row " << i;
  }
  // A wrong password is refused only when the file has one.
  auto wrong = Connection::Open(path_, "not the password");
  if (GetParam().password.empty()) {
    EXPECT_TRUE(wrong.ok());
  } else {
    ASSERT_TRUE(!wrong.ok());
    EXPECT_EQ(wrong.error().description, "Not a valid password.");
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogues, WrittenCatalogue, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

// Entries and options the writer must refuse, with the entry it names.
struct RefusedCase {
  std::string name;
  std::vector<CatalogueEntry> entries;
  std::string password;
  WriteError error;
  std::size_t row;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class RefusedCatalogue : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedCatalogue, LeavesTheOldCatalogueAndNoTemporaryFile) {
  TempFolder folder;
  const std::string path = (folder / "database.mdb");
  WriteWholeFile(path, "the old catalogue");
  CatalogueOptions options;
  options.password = GetParam().password;
  const auto written = WriteCatalogueFile(path, GetParam().entries, options);
  ASSERT_FALSE(written);
  const WriteFailure& status = written.error();
  EXPECT_EQ(status.error, GetParam().error) << status.Message();
  EXPECT_EQ(status.row, GetParam().row);
  EXPECT_EQ(ReadWholeFile(path), "the old catalogue");
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"database.mdb"});
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RefusedCatalogue,
    ::testing::Values(
        RefusedCase{"invalid_utf8_name", {{"ok.dll", ""}, {"bad\xff.dll", ""}}, "p",
                    WriteError::kTextNotUtf8, 2},
        RefusedCase{"surrogate_in_version", {{"a.dll", "\xed\xa0\x80"}}, "p",
                    WriteError::kTextNotUtf8, 1},
        RefusedCase{"overlong_utf8", {{"\xc0\xaf.dll", ""}}, "p", WriteError::kTextNotUtf8, 1},
        RefusedCase{"name_of_256_units", {{std::string(252, 'a') + ".dll", ""}}, "p",
                    WriteError::kTextTooLong, 1},
        RefusedCase{"version_of_256_units", {{"a.dll", Repeat("😀", 128)}}, "p",
                    WriteError::kTextTooLong, 1},
        RefusedCase{"leading_byte_order_mark", {{"\xef\xbb\xbf" "a.dll", ""}}, "p",
                    WriteError::kTextStartsWithByteOrderMark, 1},
        RefusedCase{"password_of_21_units", {{"a.dll", ""}}, std::string(21, 'p'),
                    WriteError::kPasswordTooLong, 0},
        RefusedCase{"password_not_utf8", {{"a.dll", ""}}, "\xfe", WriteError::kPasswordNotUtf8, 0}),
    [](const auto& info) { return info.param.name; });

TEST(WriterFailure, MissingDestinationFolderCreatesNothing) {
  TempFolder folder;
  const std::string path = (fs::path(folder.path()) / "missing" / "database.mdb").string();
  const auto written = WriteCatalogueFile(path, std::vector<CatalogueEntry>{{"a.dll", "1"}}, {});
  ASSERT_FALSE(written);
  const WriteFailure& status = written.error();
  EXPECT_EQ(status.error, WriteError::kCannotCreate);
  EXPECT_NE(status.Message().find(path), std::string::npos) << status.Message();
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
}

TEST(WriterFailure, DestinationThatCannotBeReplacedKeepsItAndRemovesTheTemporaryFile) {
  TempFolder folder;
  const auto destination = fs::path(folder.path()) / "database.mdb";
  std::filesystem::create_directory(destination);  // a folder cannot be replaced by a file
  WriteWholeFile(destination / "inside.txt", "kept");
  const auto written =
      WriteCatalogueFile(destination.string(), std::vector<CatalogueEntry>{{"a.dll", "1"}}, {});
  ASSERT_FALSE(written);
  const WriteFailure& status = written.error();
  EXPECT_EQ(status.error, WriteError::kCannotReplace) << status.Message();
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"database.mdb"});
  EXPECT_EQ(ReadWholeFile(destination / "inside.txt"), "kept");
}

TEST(WriterSuccess, ReplacesAnOlderCatalogue) {
  TempFolder folder;
  const std::string path = (folder / "database.mdb");
  ASSERT_TRUE(WriteCatalogueFile(path, std::vector<CatalogueEntry>{{"old.dll", "1"}}, {}));
  ASSERT_TRUE(WriteCatalogueFile(path, std::vector<CatalogueEntry>{{"new.dll", "2"}}, {}));
  EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{"database.mdb"});
  auto opened = Connection::Open(path, kCataloguePassword);
  ASSERT_TRUE(opened.ok());
  auto rows = opened->Execute("SELECT * FROM Files");
  ASSERT_TRUE(rows.ok());
  ASSERT_EQ(rows->RecordCount(), 1u);
  EXPECT_EQ(rows->Field(0, 0), "new.dll");
}

// Usage maps: inline for pages below 512, otherwise bitmap pages of 32736 pages each;
// readers that trust the map read exactly the pages listed.
TEST(UsageMap, ListsExactlyTheGivenPagesInlineOrThroughBitmapPages) {
  using namespace jet4;
  auto listed = [](const UsageMap& map) {
    std::vector<std::uint32_t> pages;
    if (map.row[0] == usage_map::kInline) {
      for (std::uint32_t bit = 0; bit < (map.row.size() - 5) * 8; ++bit) {
        if (map.row[5 + bit / 8] >> (bit % 8) & 1) pages.push_back(bit);
      }
      return pages;
    }
    for (std::size_t i = 0; i < map.bitmap_pages.size(); ++i) {
      const Page& page = map.bitmap_pages[i];
      EXPECT_EQ(page[0], 0x05);
      for (std::uint32_t bit = 0; bit < (page.size() - 4) * 8; ++bit) {
        if (page[4 + bit / 8] >> (bit % 8) & 1) {
          pages.push_back(static_cast<std::uint32_t>(i * usage_map::kPagesPerBitmapPage + bit));
        }
      }
    }
    return pages;
  };
  const std::vector<std::uint32_t> small = {6, 7, 100, 511};
  const UsageMap inline_map = EncodeUsageMap(small, 0);
  EXPECT_EQ(inline_map.row[0], usage_map::kInline);
  EXPECT_TRUE(inline_map.bitmap_pages.empty());
  EXPECT_EQ(listed(inline_map), small);

  const std::vector<std::uint32_t> large = {6, 512, 32735, 32736, 40000};
  const UsageMap indirect = EncodeUsageMap(large, 900);
  EXPECT_EQ(indirect.row[0], usage_map::kIndirect);
  ASSERT_EQ(indirect.bitmap_pages.size(), 2u);
  EXPECT_EQ(indirect.row.size(), 1u + 4 * 2);
  EXPECT_EQ(indirect.row[1], 900 & 0xFF);
  EXPECT_EQ(indirect.row[5], 901 & 0xFF);
  EXPECT_EQ(listed(indirect), large);
}

}  // namespace
}  // namespace movarin::tools::catalog_writer
