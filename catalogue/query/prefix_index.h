// The folded texts of one column in sorted order, so that a "text%" search finds its rows
// by binary search instead of reading every row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/jet/table.h"

namespace movarin::catalogue::query {

class PrefixIndex {
 public:
  PrefixIndex() = default;
  // Indexes the display texts of `column`; NULLs are left out (LIKE never matches them).
  PrefixIndex(const jet::Table& table, std::size_t column);

  // The rows whose folded text starts with `folded_prefix`, in database order.
  std::vector<std::uint32_t> RowsWithPrefix(std::string_view folded_prefix) const;

 private:
  std::string_view Key(std::uint32_t entry) const {
    return std::string_view(texts_).substr(offsets_[entry], offsets_[entry + 1] - offsets_[entry]);
  }

  std::string texts_;                   // folded texts, back to back, in row order
  std::vector<std::size_t> offsets_;    // entry i spans [offsets_[i], offsets_[i+1])
  std::vector<std::uint32_t> rows_;     // row number of entry i
  std::vector<std::uint32_t> sorted_;   // entries in order of their folded text
};

}  // namespace movarin::catalogue::query
