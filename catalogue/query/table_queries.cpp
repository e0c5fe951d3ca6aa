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
  std::string text;
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
      key.text = value.text;
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
      return CompareCollated(a.text, b.text);
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

void TableQueries::PrepareIndex(std::size_t column) const {
  ColumnCache& cache = Cache(column);
  std::call_once(cache.index_once, [&] { cache.index = PrefixIndex(*table_, column); });
}

std::vector<std::uint32_t> TableQueries::Filter(std::size_t column, const LikePattern& pattern) const {
  if (!pattern.FoldedPrefix()) return Scan(column, pattern);
  PrepareIndex(column);
  return Cache(column).index.RowsWithPrefix(*pattern.FoldedPrefix());
}

// Texts (the catalogue's case): each row's first-level key in one buffer, with its first
// eight bytes as a number for quick comparisons; the later levels only where keys tie.
std::vector<std::uint32_t> TableQueries::TextOrder(std::size_t column,
                                                  std::vector<std::uint32_t>& rank) const {
  struct Entry {
    std::uint64_t head;
    std::uint32_t begin;
    std::uint32_t length;
    std::uint32_t row;
  };
  std::string keys;
  std::vector<Entry> entries;
  std::vector<std::uint32_t> nulls;
  entries.reserve(table_->row_count);
  keys.reserve(table_->row_count * 32);
  for (std::uint32_t row = 0; row < table_->row_count; ++row) {
    const jet::Value& value = table_->Cell(row, column);
    if (value.IsNull()) {
      nulls.push_back(row);
      continue;
    }
    const std::size_t begin = keys.size();
    AppendPrimaryKey(value.text, keys);
    Entry entry{0, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(keys.size() - begin), row};
    for (std::size_t i = 0; i < 8; ++i) {
      const std::uint64_t byte = i < entry.length ? static_cast<unsigned char>(keys[begin + i]) : 0;
      entry.head |= byte << (56 - 8 * i);
    }
    entries.push_back(entry);
  }
  const std::string_view all(keys);
  auto compare = [&](const Entry& a, const Entry& b) {
    if (a.head != b.head) return a.head < b.head ? -1 : 1;
    const int primary = all.substr(a.begin, a.length).compare(all.substr(b.begin, b.length));
    if (primary != 0) return primary;
    return CompareCollated(table_->Cell(a.row, column).text, table_->Cell(b.row, column).text);
  };
  std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    const int order = compare(a, b);
    return order != 0 ? order < 0 : a.row < b.row;
  });
  // NULL first (one rank), then the texts; only identical texts share a rank, and only
  // texts with equal first-level keys can be identical.
  std::vector<std::uint32_t> order = std::move(nulls);
  rank.assign(table_->row_count, 0);
  std::uint32_t group = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 || !order.empty()) {
      bool same = false;
      if (i > 0) {
        const Entry& a = entries[i - 1];
        const Entry& b = entries[i];
        same = a.head == b.head && all.substr(a.begin, a.length) == all.substr(b.begin, b.length) &&
               table_->Cell(a.row, column).text == table_->Cell(b.row, column).text;
      }
      if (!same) ++group;
    }
    rank[entries[i].row] = group;
  }
  for (const auto& entry : entries) order.push_back(entry.row);
  return order;
}

namespace {

// Rows that compare equal share a rank; ranks rise along the ascending order.
template <typename Equal>
std::vector<std::uint32_t> Ranks(const std::vector<std::uint32_t>& ascending, Equal equal) {
  std::vector<std::uint32_t> rank(ascending.size(), 0);
  std::uint32_t group = 0;
  for (std::size_t i = 0; i < ascending.size(); ++i) {
    if (i > 0 && !equal(ascending[i - 1], ascending[i])) ++group;
    rank[ascending[i]] = group;
  }
  return rank;
}

}  // namespace

void TableQueries::BuildOrder(std::size_t column, ColumnCache& cache) const {
  const std::size_t count = table_->row_count;
  bool all_text = true;
  for (std::size_t row = 0; row < count && all_text; ++row) {
    const auto kind = table_->Cell(row, column).kind;
    all_text = kind == ValueKind::kText || kind == ValueKind::kNull;
  }
  if (all_text) {
    cache.ascending = TextOrder(column, cache.rank);
    return;
  }
  std::vector<SortKey> keys;
  keys.reserve(count);
  for (std::size_t row = 0; row < count; ++row) keys.push_back(MakeSortKey(table_->Cell(row, column)));
  cache.ascending.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) cache.ascending[i] = i;
  std::sort(cache.ascending.begin(), cache.ascending.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int order = Compare(keys[a], keys[b]);
    return order != 0 ? order < 0 : a < b;
  });
  cache.rank = Ranks(cache.ascending,
                     [&](std::uint32_t a, std::uint32_t b) { return Compare(keys[a], keys[b]) == 0; });
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
