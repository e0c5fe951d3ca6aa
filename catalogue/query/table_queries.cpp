#include "catalogue/query/table_queries.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "base/bulk_memory.h"
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
      key.number = std::strtold(std::string(value.text).c_str(), nullptr);
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

namespace {

// Sorts by head, keeping the given order among equal heads: a radix sort, one pass per byte
// of the head from the lowest, skipping the bytes all heads share (catalogue names often
// begin alike). On a catalogue it takes a fraction of the time of a comparison sort.
template <typename Entry>
void SortByHead(base::BulkVector<Entry>& entries) {
  constexpr int kBytes = 8;
  std::vector<std::array<std::uint32_t, 256>> counts(kBytes);
  for (const Entry& entry : entries) {
    for (int b = 0; b < kBytes; ++b) ++counts[b][(entry.head >> (8 * b)) & 0xFF];
  }
  base::BulkVector<Entry> other(entries.size());
  for (int b = 0; b < kBytes; ++b) {
    auto& count = counts[b];
    if (std::find(count.begin(), count.end(), entries.size()) != count.end()) continue;
    std::uint32_t next = 0;
    for (auto& c : count) next += std::exchange(c, next);  // counts become start positions
    for (const Entry& entry : entries) other[count[(entry.head >> (8 * b)) & 0xFF]++] = entry;
    entries.swap(other);
  }
}

}  // namespace

// Texts (the catalogue's case): rows are sorted by the first eight bytes of their
// first-level key, taken as one number, which decides almost every comparison; only runs of
// rows whose eight bytes agree are sorted again on their whole keys and later levels.
std::vector<std::uint32_t> TableQueries::TextOrder(std::size_t column) const {
  struct Entry {
    std::uint64_t head;
    std::uint32_t row;
  };
  std::vector<std::uint32_t> order;  // NULLs first, in database order
  base::BulkVector<Entry> entries;
  entries.reserve(table_->row_count);
  for (std::uint32_t row = 0; row < table_->row_count; ++row) {
    const jet::Value value = table_->Cell(row, column);
    if (value.IsNull()) {
      order.push_back(row);
      continue;
    }
    entries.push_back({PrimaryKeyHead(value.text), row});
  }
  SortByHead(entries);

  // Runs of equal heads: whole first-level keys (built for the run alone), then the later
  // levels, then database order.
  struct Tied {
    std::string key;
    std::string_view text;
    std::uint32_t row;
  };
  std::vector<Tied> tied;
  for (std::size_t begin = 0; begin < entries.size();) {
    std::size_t end = begin + 1;
    while (end < entries.size() && entries[end].head == entries[begin].head) ++end;
    if (end - begin > 1) {
      tied.clear();
      for (std::size_t i = begin; i < end; ++i) {
        Tied t{{}, table_->Cell(entries[i].row, column).text, entries[i].row};
        AppendPrimaryKey(t.text, t.key);
        tied.push_back(std::move(t));
      }
      std::sort(tied.begin(), tied.end(), [](const Tied& a, const Tied& b) {
        if (const int primary = a.key.compare(b.key); primary != 0) return primary < 0;
        if (a.text != b.text) return CompareCollated(a.text, b.text) < 0;
        return a.row < b.row;
      });
      for (std::size_t i = begin; i < end; ++i) entries[i].row = tied[i - begin].row;
    }
    begin = end;
  }
  order.reserve(table_->row_count);
  for (const Entry& entry : entries) order.push_back(entry.row);
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
    cache.ascending = TextOrder(column);
    cache.texts_only = true;
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

const std::vector<std::uint32_t>& TableQueries::Ascending(std::size_t column) const {
  ColumnCache& cache = Cache(column);
  std::call_once(cache.order_once, [&] { BuildOrder(column, cache); });
  return cache.ascending;
}

const std::vector<std::uint32_t>& TableQueries::Rank(std::size_t column) const {
  const auto& ascending = Ascending(column);
  ColumnCache& cache = Cache(column);
  std::call_once(cache.rank_once, [&] {
    // Texts: only identical texts (or two NULLs) compare equal.
    if (cache.texts_only) {
      cache.rank = Ranks(ascending, [&](std::uint32_t a, std::uint32_t b) {
        const jet::Value x = table_->Cell(a, column);
        const jet::Value y = table_->Cell(b, column);
        return x.IsNull() == y.IsNull() && x.text == y.text;
      });
    }
  });
  return cache.rank;
}

std::vector<std::uint32_t> TableQueries::SortedRows(std::size_t column, bool descending) const {
  if (!descending) return Ascending(column);
  auto rows = AllRows();
  Sort(rows, column, descending);
  return rows;
}

void TableQueries::Sort(std::vector<std::uint32_t>& rows, std::size_t column, bool descending) const {
  if (!descending && rows.size() == table_->row_count) {
    rows = Ascending(column);  // the whole table ascending is already known
    return;
  }
  const auto& rank = Rank(column);
  std::sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (rank[a] != rank[b]) return descending ? rank[a] > rank[b] : rank[a] < rank[b];
    return a < b;
  });
}

}  // namespace movarin::catalogue::query
