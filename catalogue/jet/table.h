// Decoded tables: column descriptions and every row's values, typed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

struct Value {
  ValueKind kind = ValueKind::kNull;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;

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

class Table {
 public:
  std::string name;
  std::uint32_t definition_page = 0;
  std::vector<Column> columns;       // in column-number order = position order
  std::size_t row_count = 0;
  std::vector<Value> cells;          // row-major, columns.size() per row

  const Value& Cell(std::size_t row, std::size_t column) const {
    return cells[row * columns.size() + column];
  }
  // The index of the column with this name (case-insensitive, ASCII), or npos.
  std::size_t FindColumn(std::string_view column_name) const;
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

}  // namespace movarin::catalogue::jet
