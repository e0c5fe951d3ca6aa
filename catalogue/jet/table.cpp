#include "catalogue/jet/table.h"

#include "catalogue/jet/names.h"

namespace movarin::catalogue::jet {

bool Column::IsFixed() const { return (flags & tdef::kFixedLength) != 0; }

std::size_t Table::FindColumn(std::string_view column_name) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (NamesEqual(columns[i].name, column_name)) return i;
  }
  return npos;
}

}  // namespace movarin::catalogue::jet
