// Differential tests: values written into copies of real files, then exported by our
// reader and by mdb-export; the two outputs must be identical.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "catalogue/catalogue.h"
#include "tests/native/catalogue/jet_test_files.h"

namespace movarin::catalogue {
namespace {

using Edit = std::function<void(std::vector<std::uint8_t>&)>;

std::string OurExport(const std::filesystem::path& path, const std::string& table) {
  auto opened = Connection::Open(path.string(), "");
  if (!opened) return "open failed: " + opened.error().description;
  auto csv = opened->ExportCsv(table);
  if (!csv) return "export failed: " + csv.error().description;
  return *csv;
}

void ExpectSameExport(const std::vector<std::uint8_t>& bytes, const std::string& table,
                      const std::string& what) {
  test::TempFolder dir;
  const auto path = std::filesystem::path(dir.path()) / "edited.mdb";
  test::WriteBytes(path, bytes);
  EXPECT_EQ(OurExport(path, table), test::MdbExport(path, table)) << what;
}

// Table1 of access2000-types.mdb, first row: ...,F double, G date, H currency,... in the
// fixed area one after the other; the double 444.555 is unique in the file.
struct TypesFile {
  std::vector<std::uint8_t> bytes;
  std::size_t double_at = 0;
  std::size_t column_blocks_at = 0;  // Table1's column blocks (A..I in order)
};

TypesFile LoadTypesFile() {
  TypesFile file;
  file.bytes = test::ReadBytes(*test::SampleDir() / "access2000-types.mdb");
  std::uint8_t pattern[8];
  const double value = 444.555;
  std::memcpy(pattern, &value, 8);
  const auto it = std::search(file.bytes.begin(), file.bytes.end(), pattern, pattern + 8);
  file.double_at = static_cast<std::size_t>(it - file.bytes.begin());
  const std::uint32_t tdef = test::GetU32(file.bytes, file.double_at / test::kPage * test::kPage + 4);
  const std::size_t base = std::size_t{tdef} * test::kPage;
  file.column_blocks_at = base + 63 + 12 * test::GetU32(file.bytes, base + 51);
  return file;
}

TEST(ValueExport, DoublesFloatsDatesAndCurrencyPrintAsMdbExportPrintsThem) {
  MOVARIN_REQUIRE_SAMPLES();
  const TypesFile file = LoadTypesFile();
  const std::size_t d = file.double_at;
  const std::size_t date = d + 8;
  const std::size_t currency = d + 16;
  const std::size_t f_block = file.column_blocks_at + 5 * 25;

  struct Case {
    std::string what;
    Edit edit;
  };
  std::vector<Case> cases;
  for (double v : {0.0, 1.0, -2.5, 0.1, 1.0 / 3, 123456789.123456789, 1e15, 1e16, 1e20, 1e-5,
                   1.5e-10, 5e-324, 1e300, -0.0, std::numeric_limits<double>::infinity()}) {
    cases.push_back({"double " + std::to_string(v), [=](auto& b) { test::PutF64(b, d, v); }});
  }
  for (float v : {1.0f, 0.1f, 1.0f / 3, 123456.789f, 1e20f, 3.4e38f, 1e-5f, 16777217.0f}) {
    cases.push_back({"float " + std::to_string(v), [=](auto& b) {
                       b[f_block] = 6;  // the column becomes single precision
                       std::uint32_t raw;
                       std::memcpy(&raw, &v, 4);
                       test::PutU32(b, d, raw);
                     }});
  }
  for (double v : {0.0, 1.5, 1e-9, 0.99999999, 36526.999999, 45000.123456, 25569.0 + 0.5 / 86400,
                   25569.0 + 0.49 / 86400, 60.0, 61.0, 36585.0, 73051.0, 1e6, 1e6 + 1e-3, -1.25,
                   -1e-9, 2958465.0}) {
    cases.push_back({"date " + std::to_string(v), [=](auto& b) { test::PutF64(b, date, v); }});
  }
  for (std::int64_t v : {std::int64_t{0}, std::int64_t{-1}, std::int64_t{5}, std::int64_t{-35000},
                         std::int64_t{123456789}, std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::int64_t>::max()}) {
    cases.push_back({"currency " + std::to_string(v), [=](auto& b) {
                       test::PutU32(b, currency, static_cast<std::uint32_t>(v));
                       test::PutU32(b, currency + 4, static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) >> 32));
                     }});
  }
  for (const auto& c : cases) {
    auto bytes = file.bytes;
    c.edit(bytes);
    ExpectSameExport(bytes, "Table1", c.what);
  }
}

TEST(ValueExport, TextQuotingAndGuidsPrintAsMdbExportPrintsThem) {
  MOVARIN_REQUIRE_SAMPLES();
  const TypesFile file = LoadTypesFile();
  // Column A's text "abcdefg" (7 characters, stored compressed or as UTF-16).
  auto find_text = [&](const std::vector<std::uint8_t>& bytes) {
    const std::string compressed = "\xFF\xFE" "abcdefg";
    auto it = std::search(bytes.begin(), bytes.end(), compressed.begin(), compressed.end(),
                          [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    return static_cast<std::size_t>(it - bytes.begin());
  };
  const std::size_t text_at = find_text(file.bytes);
  ASSERT_LT(text_at, file.bytes.size());
  struct Case {
    std::string what;
    std::string stored;  // 9 bytes replacing FF FE "abcdefg"
    std::uint8_t type = 10;
  };
  const Case cases[] = {
      {"quotes doubled", std::string("\xFF\xFE" "a\"b\"\"cd", 9)},
      {"commas and newlines kept", std::string("\xFF\xFE" "a,b\ncd\r", 9)},
      {"compressed switching to UTF-16", std::string("\xFF\xFE" "a\0\xE9\x00\xAC\x20", 8) + "\0"},
      // A NUL character ends the text, as in mdb-export.
      {"plain UTF-16 with a NUL", std::string("A\0\xE4\0\x3B\x04\x00", 7) + std::string("\0\0", 2)},
  };
  for (const auto& c : cases) {
    auto bytes = file.bytes;
    std::copy(c.stored.begin(), c.stored.end(), bytes.begin() + static_cast<std::ptrdiff_t>(text_at));
    bytes[file.column_blocks_at] = c.type;
    ExpectSameExport(bytes, "Table1", c.what);
  }
  // Column F retyped as a GUID: its 16 bytes are F's double and G's date.
  auto bytes = file.bytes;
  bytes[file.column_blocks_at + 5 * 25] = 15;
  ExpectSameExport(bytes, "Table1", "GUID");
}

// access2000-numeric.mdb: table test (col1 memo, col2..col7 numeric(18,0)), one row.
struct NumericFile {
  std::vector<std::uint8_t> bytes;
  std::uint32_t tdef = 0;
  std::size_t row_at = 0;
  std::size_t memo_at = 0;    // the memo's 12-byte field
};

NumericFile LoadNumericFile() {
  NumericFile file;
  file.bytes = test::ReadBytes(*test::SampleDir() / "access2000-numeric.mdb");
  for (std::uint32_t page = 3; page < file.bytes.size() / test::kPage; ++page) {
    const std::size_t base = std::size_t{page} * test::kPage;
    if (file.bytes[base] == 2 && file.bytes[base + 40] == 0x4E) file.tdef = page;
  }
  for (std::uint32_t page = 3; page < file.bytes.size() / test::kPage; ++page) {
    const std::size_t base = std::size_t{page} * test::kPage;
    if (file.bytes[base] == 1 && test::GetU32(file.bytes, base + 4) == file.tdef) {
      file.row_at = test::RowOf(file.bytes, page, 0).begin;
    }
  }
  // Six numeric columns of 17 bytes fill the fixed area; the memo follows.
  file.memo_at = file.row_at + 2 + 6 * 17;
  return file;
}

TEST(ValueExport, NumericValuesWithScalesAndSigns) {
  MOVARIN_REQUIRE_SAMPLES();
  const NumericFile file = LoadNumericFile();
  ASSERT_NE(file.tdef, 0u);
  const std::size_t col2_block = std::size_t{file.tdef} * test::kPage + 63 +
                                 12 * test::GetU32(file.bytes, file.tdef * test::kPage + 51) + 25;
  struct Case {
    std::uint8_t scale;
    std::uint8_t sign;
    std::array<std::uint32_t, 4> words;  // most significant first
  };
  const Case cases[] = {
      {2, 0, {0, 0, 0, 1}},          {2, 0x80, {0, 0, 0, 12345}},  {0, 0, {0, 0, 256, 5}},
      {0, 0, {0, 1, 0, 1}},          {3, 0x80, {0, 0, 0, 0}},      {0, 0, {3, 0, 0, 7}},
      {28, 0, {0, 0, 0, 1}},         {10, 0, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
  };
  for (const auto& c : cases) {
    auto bytes = file.bytes;
    bytes[col2_block + 12] = c.scale;
    bytes[file.row_at + 2] = c.sign;
    for (int w = 0; w < 4; ++w) test::PutU32(bytes, file.row_at + 3 + 4 * w, c.words[w]);
    ExpectSameExport(bytes, "test", "numeric scale " + std::to_string(c.scale));
  }
}

std::vector<std::uint8_t> Utf16(const std::u16string& text) {
  std::vector<std::uint8_t> out;
  for (char16_t c : text) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return out;
}

std::vector<std::uint8_t> LongValueRow(std::uint32_t next, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> row(4);
  test::PutU32(row, 0, next);
  row.insert(row.end(), data.begin(), data.end());
  return row;
}

TEST(ValueExport, MemosOnLongValuePagesSingleRowAndChain) {
  MOVARIN_REQUIRE_SAMPLES();
  const NumericFile file = LoadNumericFile();
  std::u16string long_text;
  for (int i = 0; i < 900; ++i) long_text += u"Mem\u00F6 \u041A\u0438\u0457\u0432 ";
  const auto stored = Utf16(long_text);  // 16200 bytes: needs several pages
  {
    // One long-value row holding a shorter value.
    auto bytes = file.bytes;
    const std::vector<std::uint8_t> part(stored.begin(), stored.begin() + 3000);
    const std::uint32_t page = test::AppendDataPage(bytes, 0, {part}, true);
    test::PutU32(bytes, file.memo_at, 3000 | 0x40000000u);
    test::PutU32(bytes, file.memo_at + 4, page << 8);
    ExpectSameExport(bytes, "test", "single long-value row");
  }
  {
    // A chain across five pages, the parts in reverse page order.
    auto bytes = file.bytes;
    const std::size_t part_size = 4000;
    std::vector<std::vector<std::uint8_t>> parts;
    for (std::size_t at = 0; at < stored.size(); at += part_size) {
      parts.emplace_back(stored.begin() + at, stored.begin() + std::min(stored.size(), at + part_size));
    }
    std::uint32_t next = 0;
    for (std::size_t i = parts.size(); i-- > 0;) {
      next = test::AppendDataPage(bytes, 0, {LongValueRow(next, parts[i])}, true) << 8;
    }
    test::PutU32(bytes, file.memo_at, static_cast<std::uint32_t>(stored.size()));
    test::PutU32(bytes, file.memo_at + 4, next);
    ExpectSameExport(bytes, "test", "chain of long-value rows");
  }
}

// Jet 3 rows longer than 256 bytes carry a jump table for their one-byte offsets. The
// Access 97 sample has none, so its second row is rebuilt with a long text in column B.
TEST(ValueExport, Jet3LongRowsWithJumpTables) {
  MOVARIN_REQUIRE_SAMPLES();
  const auto original = test::ReadBytes(*test::SampleDir() / "access97-types.mdb");
  constexpr std::size_t kJet3Page = 2048;
  constexpr std::uint32_t kTable1Data = 31;  // Table1's data page in that file
  const std::size_t base = kTable1Data * kJet3Page;
  const std::size_t row0 = test::GetU16(original, base + 10) & 0x1FFF;
  const std::size_t row1 = test::GetU16(original, base + 12) & 0x1FFF;
  const std::vector<std::uint8_t> old_row(original.begin() + base + row1, original.begin() + base + row0);
  ASSERT_EQ(old_row[0], 9);  // nine columns: the fixed area is bytes 1..31, then A and B

  for (const std::size_t b_length : {300u, 600u, 1200u}) {
    std::vector<std::uint8_t> row(old_row.begin(), old_row.begin() + 32);
    const std::string a = "abcdefg";
    row.insert(row.end(), a.begin(), a.end());
    for (std::size_t i = 0; i < b_length; ++i) row.push_back(static_cast<std::uint8_t>('a' + i % 26));
    const std::vector<std::size_t> offsets = {32, 32 + a.size(), row.size()};  // A, B, end
    std::vector<std::uint8_t> jumps;  // for each 256-byte boundary, the first offset past it
    for (std::size_t boundary = 256; boundary <= offsets.back(); boundary += 256) {
      for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] >= boundary) {
          jumps.push_back(static_cast<std::uint8_t>(i));
          break;
        }
      }
    }
    for (std::size_t i = offsets.size(); i-- > 0;) row.push_back(static_cast<std::uint8_t>(offsets[i] & 0xFF));
    for (std::size_t j = jumps.size(); j-- > 0;) row.push_back(jumps[j]);
    row.push_back(2);  // variable columns
    row.insert(row.end(), old_row.end() - 2, old_row.end());  // null mask
    ASSERT_EQ((row.size() - 1) / 256, jumps.size());

    auto bytes = original;
    const std::size_t start = row0 - row.size();
    std::copy(row.begin(), row.end(), bytes.begin() + static_cast<std::ptrdiff_t>(base + start));
    test::PutU16(bytes, base + 12, static_cast<std::uint16_t>(start));
    ExpectSameExport(bytes, "Table1", "B of " + std::to_string(b_length) + " bytes");
  }
}

}  // namespace
}  // namespace movarin::catalogue
