#include "catalogue/jet/table.h"

#include <limits>

#include "catalogue/jet/names.h"

namespace movarin::catalogue::jet {

bool IsKnownColumnType(ColumnType type) {
  switch (type) {
    case ColumnType::kBoolean:
    case ColumnType::kByte:
    case ColumnType::kInt16:
    case ColumnType::kInt32:
    case ColumnType::kCurrency:
    case ColumnType::kFloat:
    case ColumnType::kDouble:
    case ColumnType::kDate:
    case ColumnType::kBinary:
    case ColumnType::kText:
    case ColumnType::kOle:
    case ColumnType::kMemo:
    case ColumnType::kGuid:
    case ColumnType::kNumeric:
      return true;
  }
  return false;
}

bool Column::IsFixed() const { return (flags & tdef::kFixedLength) != 0; }

std::size_t Table::FindColumn(std::string_view column_name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (NamesEqual(columns[i].name, column_name)) return i;
  }
  return npos;
}

void Table::Reserve(std::size_t cells, std::size_t text_bytes) {
  cells_.reserve(cells);
  texts_.reserve(text_bytes);
}

bool Table::AppendCell(const Value& value) {
  constexpr std::size_t kMaxTextBytes = std::numeric_limits<std::uint32_t>::max();
  if (value.text.size() > kMaxCellText || value.text.size() > kMaxTextBytes - texts_.size()) {
    return false;
  }
  StoredCell cell;
  cell.number = IsReal(value.kind) ? std::bit_cast<std::uint64_t>(value.real)
                                   : static_cast<std::uint64_t>(value.integer);
  cell.text_begin = static_cast<std::uint32_t>(texts_.size());
  cell.size_and_kind = static_cast<std::uint32_t>(value.text.size()) |
                       (static_cast<std::uint32_t>(value.kind) << kKindShift);
  texts_.insert(texts_.end(), value.text.begin(), value.text.end());
  cells_.push_back(cell);
  return true;
}

void Table::DropCellsFrom(std::size_t first) {
  if (first >= cells_.size()) return;
  texts_.resize(cells_[first].text_begin);
  cells_.resize(first);
}

}  // namespace movarin::catalogue::jet
