// A table's definition, gathered from its definition pages.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue/jet/jet_error.h"
#include "catalogue/jet/page_file.h"
#include "catalogue/jet/table.h"

namespace movarin::catalogue::jet {

struct TableDefinition {
  std::uint32_t page = 0;
  std::uint8_t table_type = 0;
  std::uint32_t stored_row_count = 0;
  std::uint16_t variable_column_count = 0;
  std::uint32_t usage_map = 0;  // stored row pointer of the map of owned pages
  std::vector<Column> columns;  // sorted by column number
};

// A definition may span several pages; it is limited in length and its page chain is
// checked for loops.
inline constexpr std::size_t kMaxDefinitionPages = 64;

base::Result<TableDefinition, Error> ReadTableDefinition(const PageFile& file, std::uint32_t page);

}  // namespace movarin::catalogue::jet
