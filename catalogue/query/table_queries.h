// Runs parsed queries on one decoded table. Search indexes and sort orders are built the
// first time a column needs them and kept, since the table never changes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "catalogue/jet/table.h"
#include "catalogue/query/like_pattern.h"
#include "catalogue/query/prefix_index.h"

namespace movarin::catalogue::query {

class TableQueries {
 public:
  explicit TableQueries(std::shared_ptr<const jet::Table> table);

  const std::shared_ptr<const jet::Table>& table() const { return table_; }

  // Rows whose column matches, in database order: through the index for a prefix
  // pattern, by reading every row otherwise.
  std::vector<std::uint32_t> Filter(std::size_t column, const LikePattern& pattern) const;
  // The same by reading every row, whatever the pattern.
  std::vector<std::uint32_t> Scan(std::size_t column, const LikePattern& pattern) const;
  std::vector<std::uint32_t> AllRows() const;
  // Builds the column's prefix index now rather than at its first search.
  void PrepareIndex(std::size_t column) const;

  // Sorts rows by the column; rows that compare equal keep database order.
  void Sort(std::vector<std::uint32_t>& rows, std::size_t column, bool descending) const;
  // Every row, sorted so.
  std::vector<std::uint32_t> SortedRows(std::size_t column, bool descending) const;

 private:
  struct ColumnCache {
    std::once_flag index_once;
    PrefixIndex index;
    std::once_flag order_once;
    std::vector<std::uint32_t> ascending;  // every row in ascending order
    bool texts_only = false;               // the column holds texts and NULLs alone
    // Per row: its group of equal values, ascending. Only sorting some rows, or sorting
    // descending, needs it: for texts it is made at the first such sort.
    std::once_flag rank_once;
    std::vector<std::uint32_t> rank;
  };
  ColumnCache& Cache(std::size_t column) const;
  void BuildOrder(std::size_t column, ColumnCache& cache) const;
  const std::vector<std::uint32_t>& Ascending(std::size_t column) const;
  const std::vector<std::uint32_t>& Rank(std::size_t column) const;
  // The ascending order of a column of texts.
  std::vector<std::uint32_t> TextOrder(std::size_t column) const;

  std::shared_ptr<const jet::Table> table_;
  std::vector<std::unique_ptr<ColumnCache>> caches_;
};

}  // namespace movarin::catalogue::query
