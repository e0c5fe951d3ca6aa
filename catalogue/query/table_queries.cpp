#include "catalogue/query/table_queries.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "catalogue/query/collation.h"

namespace movarin::catalogue::query {
namespace {

using jet::ValueKind;

// What ORDER BY compares for one value: NULLs first, then numbers by value, texts by
// collation, bytes by byte.
struct SortKey {
  int group = 0;  // 0 NULL, 1 number, 2 text, 3 bytes
  long double number = 0;
  std::u32string text;
  std::string bytes;
};

SortKey MakeSortKey(const jet::Value& value) {
  SortKey key;
  switch (value.kind) {
    case ValueKind::kNull:
      break;
    case ValueKind::kBoolean:
      // Jet stores True as -1, so True sorts before False.
      key.group = 1;
      key.number = value.integer != 0 ? -1 : 0;
      break;
    case ValueKind::kInteger:
      key.group = 1;
      key.number = static_cast<long double>(value.integer);
      break;
    case ValueKind::kCurrency:
      key.group = 1;
      key.number = static_cast<long double>(value.integer) / 10000;
      break;
    case ValueKind::kFloat:
    case ValueKind::kDouble:
    case ValueKind::kDate:
      key.group = 1;
      key.number = value.real;
      break;
    case ValueKind::kNumeric:
      key.group = 1;
      key.number = std::strtold(value.text.c_str(), nullptr);
      break;
    case ValueKind::kText:
      key.group = 2;
      key.text = CollationKey(value.text);
      break;
    case ValueKind::kBinary:
    case ValueKind::kGuid:
      key.group = 3;
      key.bytes = value.text;
      break;
  }
  return key;
}

int Compare(const SortKey& a, const SortKey& b) {
  if (a.group != b.group) return a.group < b.group ? -1 : 1;
  switch (a.group) {
    case 1:
      // NaN compares as equal to everything else numeric would break the ordering;
      // order it after every number.
      if (a.number != a.number || b.number != b.number) {
        return (a.number != a.number) - (b.number != b.number);
      }
      return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    case 2:
      return a.text.compare(b.text) < 0 ? -1 : (a.text == b.text ? 0 : 1);
    case 3:
      return a.bytes.compare(b.bytes) < 0 ? -1 : (a.bytes == b.bytes ? 0 : 1);
    default:
      return 0;
  }
}

}  // namespace

TableQueries::TableQueries(std::shared_ptr<const jet::Table> table) : table_(std::move(table)) {
  caches_.reserve(table_->columns.size());
  for (std::size_t i = 0; i < table_->columns.size(); ++i) {
    caches_.push_back(std::make_unique<ColumnCache>());
  }
}

TableQueries::ColumnCache& TableQueries::Cache(std::size_t column) const { return *caches_[column]; }

std::vector<std::uint32_t> TableQueries::AllRows() const {
  std::vector<std::uint32_t> rows(table_->row_count);
  for (std::uint32_t i = 0; i < rows.size(); ++i) rows[i] = i;
  return rows;
}

std::vector<std::uint32_t> TableQueries::Scan(std::size_t column, const LikePattern& pattern) const {
  std::vector<std::uint32_t> rows;
  for (std::size_t row = 0; row < table_->row_count; ++row) {
    const jet::Value& value = table_->Cell(row, column);
    if (!value.IsNull() && pattern.Matches(value.text)) rows.push_back(static_cast<std::uint32_t>(row));
  }
  return rows;
}

std::vector<std::uint32_t> TableQueries::Filter(std::size_t column, const LikePattern& pattern) const {
  if (!pattern.FoldedPrefix()) return Scan(column, pattern);
  ColumnCache& cache = Cache(column);
  std::call_once(cache.index_once, [&] { cache.index = PrefixIndex(*table_, column); });
  return cache.index.RowsWithPrefix(*pattern.FoldedPrefix());
}

void TableQueries::BuildOrder(std::size_t column, ColumnCache& cache) const {
  const std::size_t count = table_->row_count;
  std::vector<SortKey> keys;
  keys.reserve(count);
  for (std::size_t row = 0; row < count; ++row) keys.push_back(MakeSortKey(table_->Cell(row, column)));
  cache.ascending.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) cache.ascending[i] = i;
  std::stable_sort(cache.ascending.begin(), cache.ascending.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return Compare(keys[a], keys[b]) < 0; });
  cache.rank.assign(count, 0);
  std::uint32_t group = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && Compare(keys[cache.ascending[i - 1]], keys[cache.ascending[i]]) != 0) ++group;
    cache.rank[cache.ascending[i]] = group;
  }
}

void TableQueries::Sort(std::vector<std::uint32_t>& rows, std::size_t column, bool descending) const {
  ColumnCache& cache = Cache(column);
  std::call_once(cache.order_once, [&] { BuildOrder(column, cache); });
  if (!descending && rows.size() == table_->row_count) {
    rows = cache.ascending;  // the whole table ascending is already known
    return;
  }
  const auto& rank = cache.rank;
  std::sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (rank[a] != rank[b]) return descending ? rank[a] > rank[b] : rank[a] < rank[b];
    return a < b;
  });
}

}  // namespace movarin::catalogue::query
