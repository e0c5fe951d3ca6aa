#include "tools/catalog/writer/jet4_table.h"

#include <algorithm>

#include "tools/catalog/writer/byte_writer.h"

namespace movarin::tools::catalog_writer::jet4 {
namespace {

bool IsFixed(ColumnType type) {
  switch (type) {
    case ColumnType::kInt16:
    case ColumnType::kInt32:
    case ColumnType::kDateTime:
      return true;
    case ColumnType::kBinary:
    case ColumnType::kText:
    case ColumnType::kOle:
    case ColumnType::kMemo:
      return false;
  }
  return false;
}

bool IsLongValue(ColumnType type) { return type == ColumnType::kOle || type == ColumnType::kMemo; }

std::size_t NullMaskBytes(std::size_t columns) { return (columns + 7) / 8; }

// Writes a fixed column's value into the row's fixed area; false when the kind is wrong.
bool PutFixed(ColumnType type, const Value& value, std::span<std::uint8_t> at) {
  if (std::holds_alternative<std::monostate>(value)) return true;
  switch (type) {
    case ColumnType::kInt16:
      if (auto* v = std::get_if<std::int16_t>(&value)) {
        Store16(at, 0, static_cast<std::uint16_t>(*v));
        return true;
      }
      return false;
    case ColumnType::kInt32:
      if (auto* v = std::get_if<std::int32_t>(&value)) {
        Store32(at, 0, static_cast<std::uint32_t>(*v));
        return true;
      }
      return false;
    case ColumnType::kDateTime:
      if (auto* v = std::get_if<double>(&value)) {
        Store64(at, 0, std::bit_cast<std::uint64_t>(*v));
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace

TableLayout::TableLayout(const TableSpec& spec) : spec_(spec) {
  placements_.reserve(spec.columns.size());
  for (const ColumnSpec& column : spec.columns) {
    Placement p;
    p.fixed = IsFixed(column.type);
    if (p.fixed) {
      p.fixed_offset = static_cast<std::uint16_t>(fixed_size_);
      p.variable_index = static_cast<std::uint16_t>(variable_count_);
      fixed_size_ += column.length;
    } else {
      p.variable_index = static_cast<std::uint16_t>(variable_count_++);
    }
    placements_.push_back(p);
  }
}

std::size_t TableLayout::max_row_size() const {
  std::size_t size = 2 + fixed_size_ + 2 + 2 * variable_count_ + 2 + NullMaskBytes(column_count());
  for (const ColumnSpec& column : spec_.columns) {
    if (!IsFixed(column.type)) size += column.length;
  }
  return size;
}

std::optional<Bytes> EncodeRow(const TableLayout& layout, std::span<const Value> values) {
  const auto& columns = layout.spec().columns;
  if (values.size() != columns.size()) return std::nullopt;

  Bytes row;
  row.reserve(64);
  ByteAppender out(row);
  out.U16(static_cast<std::uint16_t>(columns.size()));
  out.Zeros(layout.fixed_size());

  std::vector<std::uint8_t> null_mask(NullMaskBytes(columns.size()), 0);
  std::vector<std::uint16_t> variable_offsets;
  variable_offsets.reserve(layout.variable_count());

  for (std::size_t c = 0; c < columns.size(); ++c) {
    const Value& value = values[c];
    const bool is_null = std::holds_alternative<std::monostate>(value);
    if (!is_null) null_mask[c / 8] |= static_cast<std::uint8_t>(1u << (c % 8));
    const auto& place = layout.placement(c);
    if (place.fixed) {
      auto at = std::span(row).subspan(2 + place.fixed_offset, columns[c].length);
      if (!PutFixed(columns[c].type, value, at)) return std::nullopt;
      continue;
    }
    variable_offsets.push_back(static_cast<std::uint16_t>(row.size()));
    if (is_null) continue;
    // Only text values are ever written into variable columns; binary, memo and OLE
    // columns stay NULL.
    const auto* text = std::get_if<std::u16string>(&value);
    if (text == nullptr || columns[c].type != ColumnType::kText) return std::nullopt;
    if (text->size() * 2 > columns[c].length) return std::nullopt;
    out.Utf16(*text);
  }

  out.U16(static_cast<std::uint16_t>(row.size()));  // end of the variable data
  for (auto it = variable_offsets.rbegin(); it != variable_offsets.rend(); ++it) out.U16(*it);
  out.U16(static_cast<std::uint16_t>(variable_offsets.size()));
  row.insert(row.end(), null_mask.begin(), null_mask.end());
  return row;
}

std::optional<Page> EncodeTableDefinition(const TableLayout& layout,
                                          const DefinitionLinks& links) {
  namespace td = table_definition;
  namespace cb = column_block;
  const auto& columns = layout.spec().columns;

  Bytes body;
  ByteAppender out(body);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const ColumnSpec& column = columns[c];
    const auto& place = layout.placement(c);
    const std::size_t start = body.size();
    out.Zeros(td::kColumnBlock);
    auto block = std::span(body).subspan(start, td::kColumnBlock);
    block[cb::kType] = static_cast<std::uint8_t>(column.type);
    Store32(block, cb::kMarker, td::kAccessMarker);
    Store16(block, cb::kNumber, static_cast<std::uint16_t>(c));
    Store16(block, cb::kVariableIndex, place.variable_index);
    Store16(block, cb::kNumberAgain, static_cast<std::uint16_t>(c));
    Store16(block, cb::kSortOrder, kSortOrderGeneral);
    block[cb::kFlags] = static_cast<std::uint8_t>(
        column_flag::kNullable | column.extra_flags | (place.fixed ? column_flag::kFixedLength : 0));
    // Text is stored as plain UTF-16LE, never in the compressed form.
    block[cb::kCompressedUnicode] = 0;
    Store16(block, cb::kFixedOffset, place.fixed ? place.fixed_offset : 0);
    Store16(block, cb::kLength, column.length);
  }
  for (const ColumnSpec& column : columns) {
    out.U16(static_cast<std::uint16_t>(column.name.size() * 2));
    for (char ch : column.name) out.U16(static_cast<std::uint8_t>(ch));
  }
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (!IsLongValue(columns[c].type)) continue;
    out.U16(static_cast<std::uint16_t>(c));
    out.U32(links.long_value_used_map);
    out.U32(links.long_value_free_map);
  }
  out.U16(td::kEndOfLongValueList);

  const std::size_t length = td::kColumns + body.size();
  if (length + 8 > kPageSize) return std::nullopt;

  Page page(kPageSize, 0);
  page[0] = static_cast<std::uint8_t>(PageType::kTableDefinition);
  page[1] = 0x01;
  Store16(page, td::kFreeSpace, static_cast<std::uint16_t>(kPageSize - 8 - length));
  Store32(page, td::kNextPage, 0);
  Store32(page, td::kLength, static_cast<std::uint32_t>(length));
  Store32(page, td::kMarker, td::kAccessMarker);
  Store32(page, td::kRowCount, links.row_count);
  Store32(page, td::kAutonumber, 0);
  Store32(page, td::kAutonumberIncrement, 1);
  page[td::kTableType] = layout.spec().system ? td::kSystemTable : td::kUserTable;
  Store16(page, td::kMaxColumns, static_cast<std::uint16_t>(columns.size()));
  Store16(page, td::kVariableColumns, static_cast<std::uint16_t>(layout.variable_count()));
  Store16(page, td::kColumnCount, static_cast<std::uint16_t>(columns.size()));
  Store32(page, td::kIndexCount, 0);
  Store32(page, td::kRealIndexCount, 0);
  Store32(page, td::kUsedPagesMap, links.used_pages_map);
  Store32(page, td::kFreePagesMap, links.free_pages_map);
  std::copy(body.begin(), body.end(), page.begin() + td::kColumns);
  return page;
}

std::vector<PageRows> PackRows(std::span<const Bytes> rows) {
  std::vector<PageRows> pages;
  PageRows current;
  std::size_t used = data_page::kRowOffsets;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t need = rows[i].size() + 2;
    if (current.count > 0 && (used + need > kPageSize || current.count == kMaxRowsPerPage)) {
      current.free_space = kPageSize - used;
      pages.push_back(current);
      current = PageRows{i, 0, 0};
      used = data_page::kRowOffsets;
    }
    used += need;
    ++current.count;
  }
  if (current.count > 0) {
    current.free_space = kPageSize - used;
    pages.push_back(current);
  }
  return pages;
}

Page EncodeDataPage(std::uint32_t owner, std::span<const Bytes> rows) {
  Page page(kPageSize, 0);
  page[0] = static_cast<std::uint8_t>(PageType::kData);
  page[1] = 0x01;
  Store32(page, data_page::kOwner, owner);
  Store16(page, data_page::kRowCount, static_cast<std::uint16_t>(rows.size()));
  std::size_t end = kPageSize;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    end -= rows[i].size();
    std::copy(rows[i].begin(), rows[i].end(), page.begin() + static_cast<std::ptrdiff_t>(end));
    Store16(page, data_page::kRowOffsets + 2 * i, static_cast<std::uint16_t>(end));
  }
  const std::size_t free_space = end - data_page::kRowOffsets - 2 * rows.size();
  Store16(page, data_page::kFreeSpace, static_cast<std::uint16_t>(free_space));
  return page;
}

std::size_t BitmapPagesNeeded(std::span<const std::uint32_t> pages) {
  if (pages.empty()) return 0;
  const std::uint32_t last = *std::max_element(pages.begin(), pages.end());
  if (last < usage_map::kInlinePages) return 0;
  return last / usage_map::kPagesPerBitmapPage + 1;
}

UsageMap EncodeUsageMap(std::span<const std::uint32_t> pages, std::uint32_t first_bitmap_page) {
  UsageMap map;
  ByteAppender out(map.row);
  const std::size_t bitmap_pages = BitmapPagesNeeded(pages);
  if (bitmap_pages == 0) {
    out.U8(usage_map::kInline);
    out.U32(0);  // the bitmap starts at page 0
    std::vector<std::uint8_t> bitmap(usage_map::kInlineBitmapBytes, 0);
    for (std::uint32_t p : pages) bitmap[p / 8] |= static_cast<std::uint8_t>(1u << (p % 8));
    map.row.insert(map.row.end(), bitmap.begin(), bitmap.end());
    return map;
  }
  out.U8(usage_map::kIndirect);
  map.bitmap_pages.assign(bitmap_pages, Page(kPageSize, 0));
  for (std::size_t i = 0; i < bitmap_pages; ++i) {
    out.U32(first_bitmap_page + static_cast<std::uint32_t>(i));
    map.bitmap_pages[i][0] = static_cast<std::uint8_t>(PageType::kUsageBitmap);
    map.bitmap_pages[i][1] = 0x01;
  }
  for (std::uint32_t p : pages) {
    const std::size_t which = p / usage_map::kPagesPerBitmapPage;
    const std::size_t bit = p % usage_map::kPagesPerBitmapPage;
    map.bitmap_pages[which][usage_map::kBitmapPageHeader + bit / 8] |=
        static_cast<std::uint8_t>(1u << (bit % 8));
  }
  return map;
}

}  // namespace movarin::tools::catalog_writer::jet4
