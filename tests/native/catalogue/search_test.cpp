// Searches and sorting on generated catalogues: the prefix index must find exactly what
// reading every row finds, and both what a plain independent filter finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "catalogue/query/collation.h"
#include "catalogue/query/table_queries.h"

namespace movarin::catalogue::query {
namespace {

// A text value viewing `text`, which must outlive it (a table copies what it is given).
jet::Value Text(std::string_view text) {
  jet::Value value;
  value.kind = jet::ValueKind::kText;
  value.text = text;
  return value;
}

// Names built from few pieces, so that prefixes are shared by many rows.
std::vector<std::string> GeneratedNames(std::size_t count, unsigned seed, bool ascii_only) {
  const std::vector<std::string> heads = {"ms", "MS", "Ms", "act", "ACT", "com", "co-", "o'", "O'",
                                          "vb", "x", "1", "10", "_", " ", "\xC3\xA4", "\xC3\x84"};
  const std::vector<std::string> tails = {"ctl", "CTL", "dlg", "bar", "32", "-", "'", "a", "z", ""};
  std::mt19937 random(seed);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) {
    std::string name;
    const int pieces = 1 + static_cast<int>(random() % 3);
    for (int p = 0; p < pieces; ++p) {
      std::string head = heads[random() % heads.size()];
      if (ascii_only && static_cast<unsigned char>(head[0]) >= 0x80) head = "e";
      name += head;
      name += tails[random() % tails.size()];
    }
    name += (random() % 2) ? ".ocx" : ".dll";
    names.push_back(name);
  }
  return names;
}

std::shared_ptr<jet::Table> MakeTable(const std::vector<std::string>& names) {
  auto table = std::make_shared<jet::Table>();
  table->name = "Files";
  table->columns.resize(2);
  table->columns[0].name = "Filename";
  table->columns[1].name = "Version";
  for (std::size_t i = 0; i < names.size(); ++i) {
    // Every 50th name is NULL: LIKE never matches NULL, whatever the pattern.
    EXPECT_TRUE(table->AppendCell(i % 50 == 49 ? jet::Value{} : Text(names[i])));
    const std::string version = std::to_string(i);
    EXPECT_TRUE(table->AppendCell(Text(version)));
  }
  table->row_count = names.size();
  return table;
}

std::string AsciiLower(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

TEST(Search, PrefixIndexFindsWhatAFullScanFinds) {
  const auto names = GeneratedNames(20000, 1, false);
  const TableQueries queries(MakeTable(names));
  std::mt19937 random(2);
  std::size_t total = 0;
  std::size_t indexable = 0;
  for (int i = 0; i < 400; ++i) {
    // Prefixes of existing names in changed case, cut anywhere (also inside a UTF-8
    // sequence), plus a few that exist nowhere.
    std::string prefix = names[random() % names.size()].substr(0, random() % 6);
    if (i % 3 == 0) prefix = AsciiLower(prefix);
    if (i % 40 == 0) prefix = "qqq";
    const auto pattern = LikePattern::Compile(prefix + "%");
    ASSERT_TRUE(pattern);
    // A typed "_" is a wildcard: such patterns are scanned, the rest looked up.
    if (pattern->FoldedPrefix()) ++indexable;
    const auto indexed = queries.Filter(0, *pattern);
    EXPECT_EQ(indexed, queries.Scan(0, *pattern)) << prefix;
    total += indexed.size();
  }
  EXPECT_GT(total, 1000u);
  EXPECT_GT(indexable, 300u);
}

TEST(Search, ScanAgreesWithAPlainAsciiFilter) {
  const auto names = GeneratedNames(5000, 3, true);
  const TableQueries queries(MakeTable(names));
  for (const std::string prefix : {"ms", "MSCTL", "act", "co-", "o'", "10", "1", "[_]", " ", "x.", "e"}) {
    std::vector<std::uint32_t> expected;
    for (std::uint32_t row = 0; row < names.size(); ++row) {
      const std::string literal = prefix == "[_]" ? "_" : prefix;
      if (row % 50 != 49 && AsciiLower(names[row]).rfind(AsciiLower(literal), 0) == 0) expected.push_back(row);
    }
    EXPECT_EQ(queries.Filter(0, *LikePattern::Compile(prefix + "%")), expected) << prefix;
    EXPECT_FALSE(expected.empty()) << prefix;
  }
  // "%" alone: every row with a name.
  EXPECT_EQ(queries.Filter(0, *LikePattern::Compile("%")).size(), names.size() - names.size() / 50);
}

TEST(Search, SortIsOrderedAndStableBothWays) {
  auto names = GeneratedNames(3000, 5, false);
  names.push_back(names[10]);  // exact duplicates tie: database order decides
  names.push_back(names[10]);
  const auto table = MakeTable(names);
  const TableQueries queries(table);
  for (const bool descending : {false, true}) {
    auto rows = queries.AllRows();
    queries.Sort(rows, 0, descending);
    ASSERT_EQ(rows.size(), names.size());
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const jet::Value& a = table->Cell(rows[i - 1], 0);
      const jet::Value& b = table->Cell(rows[i], 0);
      if (a.IsNull() || b.IsNull()) {
        // NULL sorts first ascending, last descending.
        EXPECT_TRUE(descending ? b.IsNull() : a.IsNull());
        if (a.IsNull() && b.IsNull()) {
          EXPECT_LT(rows[i - 1], rows[i]);
        }
        continue;
      }
      const int order = CompareCollated(a.text, b.text);
      EXPECT_TRUE(descending ? order >= 0 : order <= 0) << a.text << " / " << b.text;
      if (order == 0) {
        EXPECT_LT(rows[i - 1], rows[i]) << "ties keep database order";
      }
    }
  }
  // Sorting a subset (a search's rows) gives the same relative order as the whole table.
  auto all = queries.AllRows();
  queries.Sort(all, 0, false);
  std::vector<std::uint32_t> subset;
  for (std::uint32_t row = 0; row < names.size(); row += 3) subset.push_back(row);
  queries.Sort(subset, 0, false);
  std::vector<std::uint32_t> expected;
  for (auto row : all) {
    if (row % 3 == 0) expected.push_back(row);
  }
  EXPECT_EQ(subset, expected);
}

}  // namespace
}  // namespace movarin::catalogue::query
