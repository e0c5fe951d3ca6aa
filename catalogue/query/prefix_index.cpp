#include "catalogue/query/prefix_index.h"

#include <algorithm>

#include "catalogue/query/text_fold.h"

namespace movarin::catalogue::query {

PrefixIndex::PrefixIndex(const jet::Table& table, std::size_t column) {
  offsets_.reserve(table.row_count + 1);
  rows_.reserve(table.row_count);
  offsets_.push_back(0);
  for (std::size_t row = 0; row < table.row_count; ++row) {
    const jet::Value& value = table.Cell(row, column);
    if (value.IsNull()) continue;
    AppendFolded(value.text, texts_);
    offsets_.push_back(texts_.size());
    rows_.push_back(static_cast<std::uint32_t>(row));
  }
  sorted_.resize(rows_.size());
  for (std::uint32_t i = 0; i < sorted_.size(); ++i) sorted_[i] = i;
  std::sort(sorted_.begin(), sorted_.end(),
            [this](std::uint32_t a, std::uint32_t b) { return Key(a) < Key(b); });
}

std::vector<std::uint32_t> PrefixIndex::RowsWithPrefix(std::string_view folded_prefix) const {
  // Byte order of UTF-8 is code point order, and every text starting with the prefix
  // sorts at or after it: the matches are one run from the lower bound on.
  auto it = std::lower_bound(sorted_.begin(), sorted_.end(), folded_prefix,
                             [this](std::uint32_t entry, std::string_view prefix) {
                               return Key(entry) < prefix;
                             });
  std::vector<std::uint32_t> rows;
  for (; it != sorted_.end() && Key(*it).starts_with(folded_prefix); ++it) {
    rows.push_back(rows_[*it]);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace movarin::catalogue::query
