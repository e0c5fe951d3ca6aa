// Rows for a new catalogue: the CSV reader and the name rules of the folder scan.
#include <gtest/gtest.h>

#include "tools/catalog/writer/catalogue_sources.h"

namespace movarin::tools::catalog_writer {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows AsRows(const std::vector<CatalogueEntry>& entries) {
  Rows rows;
  for (const auto& e : entries) rows.emplace_back(e.filename, e.version);
  return rows;
}

struct CsvCase {
  std::string name;
  std::string text;
  Rows rows;
};
void PrintTo(const CsvCase& c, std::ostream* out) { *out << c.name; }

class CsvRows : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvRows, ReadsEveryRow) {
  auto parsed = ParseCatalogueCsv(GetParam().text);
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(AsRows(parsed->entries), GetParam().rows);
  EXPECT_FALSE(parsed->has_sha256);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvRows,
    ::testing::Values(
        CsvCase{"plain", "a.dll,1.0\nb.ocx,2.0\n", {{"a.dll", "1.0"}, {"b.ocx", "2.0"}}},
        CsvCase{"no_final_line_end", "a.dll,1.0", {{"a.dll", "1.0"}}},
        CsvCase{"crlf_and_empty_lines", "\r\na.dll,1\r\n\r\nb.dll,2\r\n", {{"a.dll", "1"}, {"b.dll", "2"}}},
        CsvCase{"header_as_mdb_export_prints_it", "Filename,Version\n\"a.dll\",\"1\"\n", {{"a.dll", "1"}}},
        CsvCase{"header_only_skipped_first", "a.dll,1\nFilename,Version\n",
                {{"a.dll", "1"}, {"Filename", "Version"}}},
        CsvCase{"byte_order_mark", "\xEF\xBB\xBF" "a.dll,1\n", {{"a.dll", "1"}}},
        CsvCase{"version_missing_or_empty", "a.dll\nb.dll,\n\"c.dll\",\"\"\n",
                {{"a.dll", ""}, {"b.dll", ""}, {"c.dll", ""}}},
        CsvCase{"quotes_commas_and_line_ends_inside_quotes",
                "\"a \"\"b\"\", c.dll\",\"1,2\"\n\"two\nlines.dll\",x\n",
                {{"a \"b\", c.dll", "1,2"}, {"two\nlines.dll", "x"}}},
        CsvCase{"spaces_are_kept", " a.dll , 1 \n", {{" a.dll ", " 1 "}}},
        CsvCase{"utf8", "Žluť.dll,верс\n", {{"Žluť.dll", "верс"}}},
        CsvCase{"empty_text", "", {}}),
    [](const auto& info) { return info.param.name; });

struct CsvErrorCase {
  std::string name;
  std::string text;
  std::size_t line;
  std::string message;
};
void PrintTo(const CsvErrorCase& c, std::ostream* out) { *out << c.name; }

class CsvErrors : public ::testing::TestWithParam<CsvErrorCase> {};

TEST_P(CsvErrors, NameTheLineAndTheFault) {
  auto parsed = ParseCatalogueCsv(GetParam().text);
  ASSERT_FALSE(parsed);
  EXPECT_EQ(parsed.error().line, GetParam().line);
  EXPECT_EQ(parsed.error().message.rfind(GetParam().message, 0), 0u) << parsed.error().message;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvErrors,
    ::testing::Values(
        CsvErrorCase{"unclosed_quote", "a.dll,1\n\"b.dll,2\nc.dll,3\n", 2, "a quoted field is not closed"},
        CsvErrorCase{"text_after_quote", "\"a.dll\"x,1\n", 1, "text after a closing quote"},
        CsvErrorCase{"four_fields", "a.dll,1\n\nb.dll,2,,3\n", 3, "expected Filename,Version,sha256"},
        CsvErrorCase{"short_sha256", "a.dll,1,abc\n", 1, "the sha256 is not 64 hexadecimal digits"},
        CsvErrorCase{"sha256_with_blank",
                     "a.dll,1, e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n", 1,
                     "the sha256 is not 64 hexadecimal digits"},
        CsvErrorCase{"line_count_after_quoted_line_end", "\"a\nb.dll\",1\n,2\n", 3, "the file name is empty"}),
    [](const auto& info) { return info.param.name; });

// A third column carries each file's digest; an empty field is an entry without one.
TEST(CsvSha256, ThirdFieldIsTheDigestOrNothing) {
  const std::string hex(64, 'A');
  auto parsed = ParseCatalogueCsv("Filename,Version,sha256\na.dll,1," + hex + "\nb.dll,2,\nc.dll\n");
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_TRUE(parsed->has_sha256);
  ASSERT_EQ(parsed->entries.size(), 3u);
  EXPECT_EQ(parsed->entries[0].sha256, hex);
  EXPECT_EQ(parsed->entries[1].sha256, "");
  EXPECT_EQ(parsed->entries[2].sha256, "");
  EXPECT_EQ(parsed->entries[2].version, "");
}

TEST(CatalogueFileNames, OnlyDllAndOcxInAnyCase) {
  for (const char* name : {"a.dll", "A.DLL", "x.Ocx", "name with spaces.ocx", "é.dll"}) {
    EXPECT_TRUE(IsCatalogueFileName(name)) << name;
  }
  for (const char* name : {"a.exe", "dll", ".dll", "a.dll.txt", "a.ocx ", "adll", ""}) {
    EXPECT_FALSE(IsCatalogueFileName(name)) << name;
  }
}

// Letters compare as lower case, so "_" (between the upper and lower case letters) comes
// before every letter.
TEST(CatalogueOrder, SortsByNameIgnoringAsciiCaseAndIsTotal) {
  std::vector<CatalogueEntry> entries = {
      {"b.dll", ""}, {"A.ocx", ""}, {"a.ocx", ""}, {"B.DLL", ""}, {"_x.dll", ""}, {"ä.dll", ""}, {"1.dll", ""}};
  SortByFileName(entries);
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.filename);
  EXPECT_EQ(names, (std::vector<std::string>{"1.dll", "_x.dll", "A.ocx", "a.ocx", "B.DLL", "b.dll", "ä.dll"}));
}

}  // namespace
}  // namespace movarin::tools::catalog_writer
