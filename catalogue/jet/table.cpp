#include "catalogue/jet/table.h"

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

}  // namespace movarin::catalogue::jet
