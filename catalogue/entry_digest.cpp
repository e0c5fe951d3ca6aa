#include "catalogue/entry_digest.h"

#include "catalogue/jet/names.h"

namespace movarin::catalogue {

std::size_t Sha256Column(const RecordSet& records) {
  for (std::size_t column = 2; column < records.FieldCount(); ++column) {
    if (jet::NamesEqual(records.FieldName(column), kSha256ColumnName)) return column;
  }
  return kNoColumn;
}

std::string_view EntrySha256Text(const RecordSet& records, std::size_t row) {
  const std::size_t column = Sha256Column(records);
  return column == kNoColumn ? std::string_view() : records.Field(row, column);
}

}  // namespace movarin::catalogue
