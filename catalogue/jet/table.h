// Decoded tables: column descriptions and every row's values, typed.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/bulk_memory.h"
#include "catalogue/jet/format.h"

namespace movarin::catalogue::jet {

enum class ValueKind : std::uint8_t {
  kNull,
  kBoolean,   // integer 1 or 0
  kInteger,   // byte, int16, int32
  kCurrency,  // integer in units of 1/10000
  kFloat,     // real, single precision stored as double
  kDouble,    // real
  kDate,      // real: days since 1899-12-30, fraction = time of day
  kText,      // text: UTF-8 (text and memo columns)
  kBinary,    // text: raw bytes (binary and OLE columns)
  kGuid,      // text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
  kNumeric,   // text: the decimal number, e.g. "-12.50"
};

// Every non-NULL value also carries in `text` what a record set's field reads as
// (see display_text.h), so queries and the results list work on text alone.

// One value as a table hands it out: its text lies inside the table and stays valid as
// long as the table does.
struct Value {
  ValueKind kind = ValueKind::kNull;
  std::int64_t integer = 0;  // kBoolean, kInteger, kCurrency
  double real = 0;           // kFloat, kDouble, kDate
  std::string_view text;

  bool IsNull() const { return kind == ValueKind::kNull; }
};

struct Column {
  std::string name;
  ColumnType type = ColumnType::kText;
  std::uint16_t number = 0;          // bit in the null mask
  std::uint16_t variable_index = 0;  // entry in the row's variable-offset table
  std::uint16_t fixed_offset = 0;    // position in the fixed area
  std::uint16_t length = 0;          // stored length in bytes
  std::uint8_t flags = 0;
  std::uint8_t precision = 0;        // numeric columns
  std::uint8_t scale = 0;            // numeric columns
  bool IsFixed() const;
};

// The rows are kept compact (a catalogue has hundreds of thousands of cells): per cell its
// kind, its number and where its text lies in one block of text shared by all cells.
class Table {
 public:
  std::string name;
  std::uint32_t definition_page = 0;
  std::vector<Column> columns;       // in column-number order = position order
  std::size_t row_count = 0;         // rows of columns.size() cells each

  Value Cell(std::size_t row, std::size_t column) const {
    const StoredCell& cell = cells_[row * columns.size() + column];
    Value value;
    value.kind = static_cast<ValueKind>(cell.size_and_kind >> kKindShift);
    if (IsReal(value.kind)) {
      value.real = std::bit_cast<double>(cell.number);
    } else {
      value.integer = static_cast<std::int64_t>(cell.number);
    }
    value.text = std::string_view(texts_.data() + cell.text_begin, cell.size_and_kind & kMaxCellText);
    return value;
  }
  // Hints for a reader that visits rows out of order (a sorted listing reads the table all
  // over): bring a row's cells into the cache, or, once they are there, the start of its
  // texts (a row's texts lie back to back). Rows past the end are ignored.
  void PrefetchCells(std::size_t row) const {
    if (row < row_count && !columns.empty()) base::PrefetchForRead(&cells_[row * columns.size()]);
  }
  void PrefetchTexts(std::size_t row) const {
    if (row < row_count && !columns.empty()) {
      base::PrefetchForRead(texts_.data() + cells_[row * columns.size()].text_begin);
    }
  }
  // The index of the column with this name (case-insensitive, ASCII), or npos.
  std::size_t FindColumn(std::string_view column_name) const;
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // Building a table: room for this many cells and bytes of text, so that the cells need
  // not move while they are appended.
  void Reserve(std::size_t cells, std::size_t text_bytes);
  // Appends one cell of the next row (a row is columns.size() cells; row_count is the
  // builder's to set). The text is copied. False, and nothing appended, when the text is
  // longer than kMaxCellText or the table's texts would pass 4 GiB.
  bool AppendCell(const Value& value);
  // Removes the cells from this index on, with their texts (a row that failed to decode).
  void DropCellsFrom(std::size_t first);
  std::size_t CellCount() const { return cells_.size(); }
  std::size_t TextBytes() const { return texts_.size(); }

  // 256 MiB: a value that large could not be shown anyway.
  static constexpr std::uint32_t kMaxCellText = (std::uint32_t{1} << 28) - 1;

 private:
  // 16 bytes: a catalogue's rows are read in sorted order, that is all over the table, and
  // each cell should cost one cache line at most.
  struct StoredCell {
    std::uint64_t number = 0;         // the integer, or the bits of the real
    std::uint32_t text_begin = 0;     // in texts_
    std::uint32_t size_and_kind = 0;  // the text's size, the kind in the top four bits
  };
  static constexpr int kKindShift = 28;
  static_assert(static_cast<int>(ValueKind::kNumeric) < 16);
  static bool IsReal(ValueKind kind) {
    return kind == ValueKind::kFloat || kind == ValueKind::kDouble || kind == ValueKind::kDate;
  }

  base::BulkVector<StoredCell> cells_;  // row-major
  base::BulkVector<char> texts_;        // every cell's text, back to back
};

}  // namespace movarin::catalogue::jet
