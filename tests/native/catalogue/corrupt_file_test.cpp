// Damaged files: each structural check of the reader fires with its own error, and no
// damage makes the reader crash, read out of bounds or loop.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>

#include "catalogue/jet/database.h"
#include "tests/native/catalogue/jet_test_files.h"

namespace movarin::catalogue {
namespace {

using jet::Error;

// access2000-nopassword.mdb with the places the cases below damage.
struct Layout {
  std::vector<std::uint8_t> bytes;
  std::uint32_t tdef = 0;       // Table1's definition page
  std::uint32_t data_page = 0;  // Table1's (only) data page
  std::size_t map_row = 0;      // file offset of Table1's usage map row
};

Layout LoadLayout() {
  Layout layout;
  layout.bytes = test::ReadBytes(*test::SampleDir() / "access2000-nopassword.mdb");
  const auto pages = static_cast<std::uint32_t>(layout.bytes.size() / test::kPage);
  layout.tdef = jet::Database::Open(layout.bytes, u"")->FindTable("Table1")->definition_page;
  for (std::uint32_t page = 3; page < pages; ++page) {
    const std::size_t base = std::size_t{page} * test::kPage;
    if (layout.bytes[base] == 1 && test::GetU32(layout.bytes, base + 4) == layout.tdef) layout.data_page = page;
  }
  const std::uint32_t map = test::GetU32(layout.bytes, std::size_t{layout.tdef} * test::kPage + 55);
  layout.map_row = test::RowOf(layout.bytes, map >> 8, map & 0xFF).begin;
  return layout;
}

// The error of opening the file, or else of decoding Table1 (nullopt when both worked).
std::optional<Error> Outcome(const std::vector<std::uint8_t>& bytes) {
  auto database = jet::Database::Open(bytes, u"");
  if (!database) return database.error();
  const jet::TableEntry* table = database->FindTable("Table1");
  if (!table) return Error::kSystemCatalogueMalformed;
  return table->error;
}

std::string Describe(std::optional<Error> error) {
  return error ? std::string(jet::ErrorText(*error)) : "no error";
}

struct DamageCase {
  const char* name;
  std::function<void(Layout&)> damage;
  Error expected;
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.name; }

class DamagedFile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFile, ReportsItsOwnError) {
  MOVARIN_REQUIRE_SAMPLES();
  Layout layout = LoadLayout();
  ASSERT_NE(layout.tdef, 0u);
  ASSERT_NE(layout.data_page, 0u);
  ASSERT_EQ(Outcome(layout.bytes), std::nullopt);
  GetParam().damage(layout);
  EXPECT_EQ(Outcome(layout.bytes), GetParam().expected)
      << "got: " << Describe(Outcome(layout.bytes));
}

std::size_t Page(std::uint32_t page) { return std::size_t{page} * test::kPage; }
std::size_t RowOffsetEntry(const Layout& l, std::size_t row) { return Page(l.data_page) + 14 + 2 * row; }

const DamageCase kDamageCases[] = {
    {"header magic", [](Layout& l) { l.bytes[6] = 'x'; }, Error::kNotJetDatabase},
    {"header version", [](Layout& l) { l.bytes[0x14] = 3; }, Error::kUnsupportedVersion},
    {"shorter than a page", [](Layout& l) { l.bytes.resize(3000); }, Error::kFileTooSmall},
    {"partial last page", [](Layout& l) { l.bytes.resize(l.bytes.size() - 17); }, Error::kFileSizeNotPageMultiple},
    {"catalogue page type", [](Layout& l) { l.bytes[Page(2)] = 1; }, Error::kNotDefinitionPage},
    {"catalogue loses its Name column",
     [](Layout& l) {
       const char name[] = "\x08\x00N\x00" "a\x00m\x00" "e\x00";
       auto at = std::search(l.bytes.begin() + Page(2), l.bytes.begin() + Page(3), name, name + 10,
                             [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
       at[4] = 'o';
     },
     Error::kSystemCatalogueMalformed},
    {"definition page type", [](Layout& l) { l.bytes[Page(l.tdef)] = 4; }, Error::kNotDefinitionPage},
    {"definition continues into itself", [](Layout& l) { test::PutU32(l.bytes, Page(l.tdef) + 4, l.tdef); }, Error::kDefinitionChainLoop},
    {"definition continues beyond the file",
     [](Layout& l) { test::PutU32(l.bytes, Page(l.tdef) + 4, 0x7FFFFFFF); }, Error::kPageOutOfRange},
    {"too many columns", [](Layout& l) { test::PutU16(l.bytes, Page(l.tdef) + 45, 5000); }, Error::kTooManyColumns},
    {"columns run past the definition", [](Layout& l) { test::PutU16(l.bytes, Page(l.tdef) + 45, 400); }, Error::kDefinitionMalformed},
    {"column number out of range", [](Layout& l) { test::PutU16(l.bytes, Page(l.tdef) + 63 + 12 * test::GetU32(l.bytes, Page(l.tdef) + 51) + 5, 0xFFFF); }, Error::kColumnMalformed},
    {"two columns with one number",
     [](Layout& l) {
       const std::size_t blocks = Page(l.tdef) + 63 + 12 * test::GetU32(l.bytes, Page(l.tdef) + 51);
       test::PutU16(l.bytes, blocks + 25 + 5, test::GetU16(l.bytes, blocks + 5));
     },
     Error::kColumnMalformed},
    {"usage map pointer to a definition page", [](Layout& l) { test::PutU32(l.bytes, Page(l.tdef) + 55, l.tdef << 8); }, Error::kNotUsageMapRow},
    {"usage map pointer to a table's data page", [](Layout& l) { test::PutU32(l.bytes, Page(l.tdef) + 55, l.data_page << 8); }, Error::kNotUsageMapRow},
    {"usage map pointer to a missing row", [](Layout& l) { test::PutU32(l.bytes, Page(l.tdef) + 55, test::GetU32(l.bytes, Page(l.tdef) + 55) | 0xF0); }, Error::kRowPointerInvalid},
    {"usage map of unknown type", [](Layout& l) { l.bytes[l.map_row] = 9; }, Error::kUsageMapMalformed},
    {"usage map row too short for its start page",
     [](Layout& l) {
       const std::uint32_t map = test::GetU32(l.bytes, Page(l.tdef) + 55);
       const auto row = test::RowOf(l.bytes, map >> 8, map & 0xFF);
       test::PutU16(l.bytes, Page(map >> 8) + 14 + 2 * (map & 0xFF), static_cast<std::uint16_t>(row.end - 3 - Page(map >> 8)));
       l.bytes[row.end - 3] = 0;
     },
     Error::kUsageMapMalformed},
    {"usage map beyond the file", [](Layout& l) { test::PutU32(l.bytes, l.map_row + 1, 0x00FFFFFF); }, Error::kPageOutOfRange},
    {"usage map page list naming a definition page",
     [](Layout& l) {
       l.bytes[l.map_row] = 1;
       test::PutU32(l.bytes, l.map_row + 1, 2);
     },
     Error::kNotUsageMapPage},
    {"data page type", [](Layout& l) { l.bytes[Page(l.data_page)] = 3; }, Error::kNotDataPage},
    {"data page of another table", [](Layout& l) { test::PutU32(l.bytes, Page(l.data_page) + 4, 2); }, Error::kWrongPageOwner},
    {"long-value page in the usage map", [](Layout& l) { std::memcpy(&l.bytes[Page(l.data_page) + 4], "LVAL", 4); }, Error::kWrongPageOwner},
    {"more rows than offsets fit", [](Layout& l) { test::PutU16(l.bytes, Page(l.data_page) + 12, 5000); }, Error::kRowPointerInvalid},
    {"row starting in the page header", [](Layout& l) { test::PutU16(l.bytes, RowOffsetEntry(l, 0), 5); }, Error::kRowMalformed},
    {"row ending before it starts", [](Layout& l) { test::PutU16(l.bytes, RowOffsetEntry(l, 1), 4000); }, Error::kRowMalformed},
    {"moved row pointing to itself",
     [](Layout& l) {
       const auto row = test::RowOf(l.bytes, l.data_page, 0);
       test::PutU16(l.bytes, RowOffsetEntry(l, 0), test::GetU16(l.bytes, RowOffsetEntry(l, 0)) | 0x4000);
       test::PutU32(l.bytes, row.begin, l.data_page << 8);
     },
     Error::kRowPointerInvalid},
    {"moved row pointing to a row that did not move",
     [](Layout& l) {
       const auto row = test::RowOf(l.bytes, l.data_page, 0);
       test::PutU16(l.bytes, RowOffsetEntry(l, 0), test::GetU16(l.bytes, RowOffsetEntry(l, 0)) | 0x4000);
       test::PutU32(l.bytes, row.begin, l.data_page << 8 | 1);
     },
     Error::kRowPointerInvalid},
    {"row pointing to another table's page",
     [](Layout& l) {
       const auto row = test::RowOf(l.bytes, l.data_page, 0);
       test::PutU16(l.bytes, RowOffsetEntry(l, 0), test::GetU16(l.bytes, RowOffsetEntry(l, 0)) | 0x4000);
       test::PutU32(l.bytes, row.begin, 6 << 8);
     },
     Error::kWrongPageOwner},
    {"variable column count too large",
     [](Layout& l) {
       const auto row = test::RowOf(l.bytes, l.data_page, 0);
       test::PutU16(l.bytes, row.end - 1 - 2, 1000);
     },
     Error::kRowMalformed},
    {"variable data past its end",
     [](Layout& l) {
       const auto row = test::RowOf(l.bytes, l.data_page, 0);
       test::PutU16(l.bytes, row.end - 1 - 4, 0x0FFF);
     },
     Error::kRowMalformed},
};

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFile, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c) {
                             name.push_back(std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_');
                           }
                           return name;
                         });

// A damaged row of the system catalogue costs only the object it names: the database
// still opens, and a table named by the rows that decode is read.
TEST(DamagedFile, ADamagedCatalogueRowLeavesTheOtherTablesReadable) {
  MOVARIN_REQUIRE_SAMPLES();
  Layout layout = LoadLayout();
  // The first catalogue row (the "Tables" container) gets an impossible variable count.
  std::uint32_t catalogue_page = 0;
  for (std::uint32_t page = 3; catalogue_page == 0 && page < layout.bytes.size() / test::kPage; ++page) {
    if (layout.bytes[Page(page)] == 1 && test::GetU32(layout.bytes, Page(page) + 4) == 2) catalogue_page = page;
  }
  ASSERT_NE(catalogue_page, 0u);
  const auto row = test::RowOf(layout.bytes, catalogue_page, 0);
  const std::size_t mask_bytes = (test::GetU16(layout.bytes, row.begin) + 7) / 8;
  test::PutU16(layout.bytes, row.end - mask_bytes - 2, 1000);
  EXPECT_EQ(Outcome(layout.bytes), std::nullopt) << Describe(Outcome(layout.bytes));

  // A damaged data page of the catalogue is passed over the same way.
  layout = LoadLayout();
  test::PutU16(layout.bytes, Page(catalogue_page) + 12, 5000);
  const auto database = jet::Database::Open(layout.bytes, u"");
  ASSERT_TRUE(database) << jet::ErrorText(database.error());
}

// Long values damaged in access2000-numeric.mdb's memo (see value_export_test.cpp).
TEST(DamagedFile, LongValueFaults) {
  MOVARIN_REQUIRE_SAMPLES();
  const auto original = test::ReadBytes(*test::SampleDir() / "access2000-numeric.mdb");
  const std::string stored = "\xFF\xFEsome data";
  const auto it = std::search(original.begin(), original.end(), stored.begin(), stored.end(),
                              [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
  ASSERT_NE(it, original.end());
  const std::size_t memo = static_cast<std::size_t>(it - original.begin()) - 12;

  auto decode = [](const std::vector<std::uint8_t>& bytes) {
    auto database = jet::Database::Open(bytes, u"");
    return database ? database->FindTable("test")->error : std::optional(database.error());
  };
  ASSERT_EQ(decode(original), std::nullopt);
  struct Case {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    Error expected;
  };
  const Case cases[] = {
      {"inline longer than its field", [&](auto& b) { test::PutU32(b, memo, 0x80000000u | 500); }, Error::kLongValueMalformed},
      {"longer than the file", [&](auto& b) { test::PutU32(b, memo, 0x3FFFFFFF); }, Error::kLongValueMalformed},
      {"unknown kind", [&](auto& b) { test::PutU32(b, memo, 0xC0000010u); }, Error::kLongValueMalformed},
      {"single row on a data page",
       [&](auto& b) {
         test::PutU32(b, memo, 0x40000010u);
         test::PutU32(b, memo + 4, 2 << 8);
       },
       Error::kLongValuePageInvalid},
      {"single row shorter than the value",
       [&](auto& b) {
         const auto page = test::AppendDataPage(b, 0, {{1, 2, 3}}, true);
         test::PutU32(b, memo, 0x40000010u);
         test::PutU32(b, memo + 4, page << 8);
       },
       Error::kLongValueMalformed},
      {"chain that loops",
       [&](auto& b) {
         const auto page = static_cast<std::uint32_t>(b.size() / test::kPage);
         std::vector<std::uint8_t> row(4);
         test::PutU32(row, 0, page << 8);  // the row's next part is itself
         row.push_back('x');
         test::AppendDataPage(b, 0, {row}, true);
         test::PutU32(b, memo, 100);
         test::PutU32(b, memo + 4, page << 8);
       },
       Error::kLongValueChainLoop},
      {"chain that ends early",
       [&](auto& b) {
         const auto page = test::AppendDataPage(b, 0, {{0, 0, 0, 0, 'x', 'y'}}, true);
         test::PutU32(b, memo, 100);
         test::PutU32(b, memo + 4, page << 8);
       },
       Error::kLongValueMalformed},
  };
  for (const auto& c : cases) {
    auto bytes = original;
    c.damage(bytes);
    EXPECT_EQ(decode(bytes), c.expected) << c.name << ", got " << Describe(decode(bytes));
  }
}

// Every byte of the pages that matter, overwritten in turn, in a Jet 4 and a Jet 3 file:
// the reader must answer every time (under the sanitizers: without any invalid memory
// access).
TEST(DamagedFile, NoSingleByteDamageCrashes) {
  MOVARIN_REQUIRE_SAMPLES();
  for (const char* name : {"access2000-nopassword.mdb", "access97-types.mdb"}) {
    SCOPED_TRACE(name);
    const auto original = test::ReadBytes(*test::SampleDir() / name);
    const std::size_t page_size = original[0x14] == 0 ? 2048 : 4096;
    auto database = jet::Database::Open(original, u"");
    ASSERT_TRUE(database);
    const std::uint32_t tdef = database->FindTable("Table1")->definition_page;
    const std::size_t tdef_at = std::size_t{tdef} * page_size;
    const std::uint32_t map_page = test::GetU32(original, tdef_at + (page_size == 2048 ? 35 : 55)) >> 8;
    std::vector<std::uint32_t> pages = {2, tdef, map_page};
    for (std::uint32_t page = 3; page < original.size() / page_size; ++page) {
      const std::size_t at = std::size_t{page} * page_size;
      if (original[at] == 1 && test::GetU32(original, at + 4) == tdef) pages.push_back(page);
    }
    std::size_t failures = 0;
    std::size_t runs = 0;
    for (const std::uint32_t page : pages) {
      for (std::size_t offset = 0; offset < page_size; ++offset) {
        // The catalogue and map pages are large and mostly rows of other tables: probe
        // them more sparsely.
        if ((page == 2 || page == map_page) && offset % 7 != 0) continue;
        for (const std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
          auto bytes = original;
          bytes[std::size_t{page} * page_size + offset] = value;
          ++runs;
          auto damaged = jet::Database::Open(bytes, u"");
          if (!damaged || !damaged->FindTable("Table1") || damaged->FindTable("Table1")->error) {
            ++failures;
          }
        }
      }
    }
    EXPECT_GT(failures, 0u);    // the damage is noticed somewhere...
    EXPECT_LT(failures, runs);  // ...and bytes that do not matter are ignored
  }
}

// The row count a definition claims is not trusted: the rows are those its pages hold.
TEST(DamagedFile, StoredRowCountIsNotTrusted) {
  MOVARIN_REQUIRE_SAMPLES();
  Layout layout = LoadLayout();
  test::PutU32(layout.bytes, Page(layout.tdef) + 16, 0xFFFFFFFF);
  auto database = jet::Database::Open(layout.bytes, u"");
  ASSERT_TRUE(database);
  const jet::TableEntry* table = database->FindTable("Table1");
  ASSERT_TRUE(table && table->table);
  EXPECT_EQ(table->table->row_count, 3u);
}

TEST(DamagedFile, EveryTruncationAtAPageBoundaryAnswers) {
  MOVARIN_REQUIRE_SAMPLES();
  const auto bytes = test::ReadBytes(*test::SampleDir() / "access2000-password.mdb");
  for (std::size_t size = 0; size < bytes.size(); size += test::kPage) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    const auto database = jet::Database::Open(cut, u"password");
    if (size < 3 * test::kPage) {
      EXPECT_FALSE(database) << size;
    }
  }
}

}  // namespace
}  // namespace movarin::catalogue
