// Building blocks of a Jet 4 file: a table's definition page, its rows, the data pages
// that hold them and the usage maps that list those pages. Pure functions over bytes;
// the catalogue writer (jet_writer.h) arranges them into a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/catalog/writer/jet4_format.h"

namespace movarin::tools::catalog_writer::jet4 {

using Page = std::vector<std::uint8_t>;  // always kPageSize bytes
using Bytes = std::vector<std::uint8_t>;

struct ColumnSpec {
  std::string_view name;  // ASCII
  ColumnType type;
  // Fixed columns: their width. Text and binary: the largest value in bytes. Memo and
  // OLE: 0 (their values live elsewhere).
  std::uint16_t length = 0;
  std::uint8_t extra_flags = 0;
};

struct TableSpec {
  bool system = false;
  std::span<const ColumnSpec> columns;
};

// NULL, an Integer, a Long Integer, a date (days since 1899-12-30) or a text.
using Value = std::variant<std::monostate, std::int16_t, std::int32_t, double, std::u16string>;

// Where each column of a table sits inside a row.
class TableLayout {
 public:
  explicit TableLayout(const TableSpec& spec);

  struct Placement {
    bool fixed = false;
    std::uint16_t fixed_offset = 0;    // fixed columns
    std::uint16_t variable_index = 0;  // variable columns: their slot; fixed: slots before
  };

  const TableSpec& spec() const { return spec_; }
  std::size_t column_count() const { return spec_.columns.size(); }
  std::size_t variable_count() const { return variable_count_; }
  std::size_t fixed_size() const { return fixed_size_; }
  const Placement& placement(std::size_t column) const { return placements_[column]; }
  // The size of the largest row this table can have.
  std::size_t max_row_size() const;

 private:
  TableSpec spec_;
  std::vector<Placement> placements_;
  std::size_t variable_count_ = 0;
  std::size_t fixed_size_ = 0;
};

// One row in Jet 4 layout. Nullopt when the values do not fit the columns (wrong count,
// wrong kind, a text longer than its column).
std::optional<Bytes> EncodeRow(const TableLayout& layout, std::span<const Value> values);

// Row pointers as Jet keeps them: page << 8 | row.
constexpr std::uint32_t RowPointer(std::uint32_t page, std::uint32_t row) {
  return page << 8 | row;
}

struct DefinitionLinks {
  std::uint32_t row_count = 0;
  std::uint32_t used_pages_map = 0;  // row pointers
  std::uint32_t free_pages_map = 0;
  // Memo and OLE columns also name a pair of maps for their long-value pages.
  std::uint32_t long_value_used_map = 0;
  std::uint32_t long_value_free_map = 0;
};

// The table definition page; nullopt when the definition does not fit one page.
std::optional<Page> EncodeTableDefinition(const TableLayout& layout,
                                          const DefinitionLinks& links);

// Rows [first, first + count) of a list, as placed on one data page.
struct PageRows {
  std::size_t first = 0;
  std::size_t count = 0;
  std::size_t free_space = 0;
};

// Splits rows over data pages in order, each page as full as it can be. Every row must be
// smaller than a page (EncodeRow guarantees it for the tables we write).
std::vector<PageRows> PackRows(std::span<const Bytes> rows);

// A data page holding the given rows, packed from the end of the page backwards.
Page EncodeDataPage(std::uint32_t owner, std::span<const Bytes> rows);

// A usage map listing a set of pages: a row to store on a data page and, when the pages
// lie too far apart for an inline bitmap, the bitmap pages the row points to.
struct UsageMap {
  Bytes row;
  std::vector<Page> bitmap_pages;
};
// How many bitmap pages a map of these pages needs (0: it fits inline).
std::size_t BitmapPagesNeeded(std::span<const std::uint32_t> pages);
// first_bitmap_page: where the bitmap pages will be written (unused when none are needed).
UsageMap EncodeUsageMap(std::span<const std::uint32_t> pages, std::uint32_t first_bitmap_page);

}  // namespace movarin::tools::catalog_writer::jet4
