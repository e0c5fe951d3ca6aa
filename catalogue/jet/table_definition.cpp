#include "catalogue/jet/table_definition.h"

#include <algorithm>
#include <vector>

#include "catalogue/jet/text_decoding.h"

namespace movarin::catalogue::jet {
namespace {

// The definition's bytes: the first page whole, then each continuation page after its
// own small header, so that offsets count from the start of the first page.
base::Result<std::vector<std::uint8_t>, Error> GatherDefinition(const PageFile& file, std::uint32_t first) {
  const Layout& layout = file.layout();
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint32_t> visited;
  std::uint32_t number = first;
  while (number != 0) {
    if (std::find(visited.begin(), visited.end(), number) != visited.end()) {
      return Error::kDefinitionChainLoop;
    }
    if (visited.size() >= kMaxDefinitionPages) return Error::kDefinitionTooLong;
    visited.push_back(number);
    auto page = file.TypedPage(number, PageType::kTableDefinition, Error::kNotDefinitionPage);
    if (!page) return page.error();
    const auto from = bytes.empty() ? 0 : layout.tdef_continuation_header;
    const auto content = page->bytes().subspan(from);
    bytes.insert(bytes.end(), content.begin(), content.end());
    number = *page->U32(layout.tdef_next_page_offset);
  }
  return bytes;
}

}  // namespace

base::Result<TableDefinition, Error> ReadTableDefinition(const PageFile& file, std::uint32_t page) {
  auto gathered = GatherDefinition(file, page);
  if (!gathered) return gathered.error();
  const base::ByteReader def(*gathered);
  const Layout& layout = file.layout();

  TableDefinition result;
  result.page = page;
  const auto rows = def.U32(layout.tdef_row_count_offset);
  const auto type = def.U8(layout.tdef_table_type_offset);
  const auto variable_columns = def.U16(layout.tdef_variable_columns_offset);
  const auto column_count = def.U16(layout.tdef_column_count_offset);
  const auto real_indexes = def.U32(layout.tdef_real_index_count_offset);
  const auto usage_map = def.U32(layout.tdef_usage_map_offset);
  if (!rows || !type || !variable_columns || !column_count || !real_indexes || !usage_map) {
    return Error::kDefinitionMalformed;
  }
  if (*column_count > tdef::kMaxColumns) return Error::kTooManyColumns;
  result.stored_row_count = *rows;
  result.table_type = *type;
  result.variable_column_count = *variable_columns;
  result.usage_map = *usage_map;

  // Real-index entries precede the column blocks; their count is bounded by what fits.
  const std::size_t index_bytes = std::size_t{*real_indexes} * layout.tdef_real_index_entry_size;
  if (*real_indexes > def.size() || !def.Covers(layout.tdef_header_size, index_bytes)) {
    return Error::kDefinitionMalformed;
  }
  std::size_t offset = layout.tdef_header_size + index_bytes;
  if (!def.Covers(offset, std::size_t{*column_count} * layout.column_block_size)) {
    return Error::kDefinitionMalformed;
  }
  result.columns.resize(*column_count);
  for (auto& column : result.columns) {
    const auto block = *def.Sub(offset, layout.column_block_size);
    // Types this reader does not know stay in the definition; their values read as NULL.
    column.type = static_cast<ColumnType>(*block.U8(layout.column_type_offset));
    column.number = *block.U16(layout.column_number_offset);
    column.variable_index = *block.U16(layout.column_variable_index_offset);
    column.precision = *block.U8(layout.column_misc_offset);
    column.scale = *block.U8(layout.column_misc_offset + 1);
    column.flags = *block.U8(layout.column_flags_offset);
    column.fixed_offset = *block.U16(layout.column_fixed_offset_offset);
    column.length = *block.U16(layout.column_length_offset);
    if (column.number >= tdef::kMaxColumns) return Error::kColumnMalformed;
    offset += layout.column_block_size;
  }
  for (auto& column : result.columns) {
    std::size_t name_length = 0;
    if (layout.column_name_length_size == 2) {
      const auto length = def.U16(offset);
      if (!length) return Error::kDefinitionMalformed;
      name_length = *length;
    } else {
      const auto length = def.U8(offset);
      if (!length) return Error::kDefinitionMalformed;
      name_length = *length;
    }
    offset += layout.column_name_length_size;
    const auto name = def.Sub(offset, name_length);
    if (!name) return Error::kDefinitionMalformed;
    column.name = layout.version == JetVersion::kJet4 ? DecodeJet4Text(name->bytes())
                                                      : DecodeCodePage1252(name->bytes());
    offset += name_length;
  }
  std::stable_sort(result.columns.begin(), result.columns.end(),
                   [](const Column& a, const Column& b) { return a.number < b.number; });
  for (std::size_t i = 1; i < result.columns.size(); ++i) {
    if (result.columns[i].number == result.columns[i - 1].number) return Error::kColumnMalformed;
  }
  return result;
}

}  // namespace movarin::catalogue::jet
