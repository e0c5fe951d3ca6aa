#include "catalogue/jet/table_reader.h"

#include <algorithm>
#include <array>

#include "catalogue/jet/display_text.h"
#include "catalogue/jet/long_value.h"
#include "catalogue/jet/numeric.h"
#include "catalogue/jet/table_definition.h"
#include "catalogue/jet/text_decoding.h"
#include "catalogue/jet/usage_map.h"

namespace movarin::catalogue::jet {
namespace {

// Bytes a fixed column of each type occupies (text and binary use the column length).
std::size_t FixedSize(const Column& column) {
  switch (column.type) {
    case ColumnType::kBoolean: return 0;
    case ColumnType::kByte: return 1;
    case ColumnType::kInt16: return 2;
    case ColumnType::kInt32: return 4;
    case ColumnType::kCurrency: return 8;
    case ColumnType::kFloat: return 4;
    case ColumnType::kDouble: return 8;
    case ColumnType::kDate: return 8;
    case ColumnType::kGuid: return 16;
    case ColumnType::kNumeric: return kNumericSize;
    default: return column.length;
  }
}

class RowDecoder {
 public:
  RowDecoder(const PageFile& file, const TableDefinition& definition, DecodeBudget& budget)
      : file_(file), definition_(definition), budget_(budget) {}

  // Appends one value per column.
  Error Decode(const ByteReader& row, std::vector<Value>& out) {
    const auto stored_columns = row.U16(0);
    if (!stored_columns) return Error::kRowMalformed;
    const std::size_t mask_size = (std::size_t{*stored_columns} + 7) / 8;
    if (!row.Covers(2, mask_size) || row.size() - mask_size < 2) return Error::kRowMalformed;
    const std::size_t mask_at = row.size() - mask_size;
    const ByteReader mask = *row.Sub(mask_at, mask_size);

    // The variable-offset table sits just before the null mask, last column first.
    std::size_t variable_count = 0;
    std::size_t data_end = mask_at;
    std::size_t table_at = mask_at;
    if (definition_.variable_column_count > 0) {
      if (mask_at < 4) return Error::kRowMalformed;
      variable_count = *row.U16(mask_at - 2);
      // Entries + the end-of-data value must fit between the column count and the count.
      if ((variable_count + 1) * 2 + 2 + 2 > mask_at) return Error::kRowMalformed;
      table_at = mask_at - 2 - (variable_count + 1) * 2;
      data_end = *row.U16(table_at);
      if (data_end > table_at) return Error::kRowMalformed;
    }
    auto variable_offset = [&](std::size_t i) -> std::size_t {
      return *row.U16(mask_at - 4 - 2 * i);
    };

    for (const Column& column : definition_.columns) {
      Value value;
      const bool present = column.number < *stored_columns;
      const bool not_null =
          present && ((*mask.U8(column.number / 8) >> (column.number % 8)) & 1) != 0;
      if (column.type == ColumnType::kBoolean) {
        value.kind = ValueKind::kBoolean;
        value.integer = not_null ? 1 : 0;
      } else if (!not_null) {
        // NULL
      } else if (column.IsFixed()) {
        const auto bytes = row.Sub(2 + std::size_t{column.fixed_offset}, FixedSize(column));
        if (!bytes || 2 + std::size_t{column.fixed_offset} + FixedSize(column) > data_end) {
          return Error::kRowMalformed;
        }
        if (Error e = DecodeFixed(column, *bytes, value); e != Error::kNone) return e;
      } else if (column.variable_index < variable_count) {
        const std::size_t start = variable_offset(column.variable_index);
        const std::size_t end = std::size_t{column.variable_index} + 1 < variable_count
                                    ? variable_offset(column.variable_index + 1)
                                    : data_end;
        if (start > end || end > data_end || start < 2) return Error::kRowMalformed;
        if (Error e = DecodeVariable(column, *row.Sub(start, end - start), value);
            e != Error::kNone) {
          return e;
        }
      }
      if (value.text.empty() && !value.IsNull()) value.text = DisplayText(value);
      if (Error e = budget_.TakeBytes(value.text.size()); e != Error::kNone) return e;
      out.push_back(std::move(value));
    }
    return Error::kNone;
  }

 private:
  Error DecodeFixed(const Column& column, const ByteReader& bytes, Value& value) {
    switch (column.type) {
      case ColumnType::kByte:
        value.kind = ValueKind::kInteger;
        value.integer = *bytes.U8(0);
        return Error::kNone;
      case ColumnType::kInt16:
        value.kind = ValueKind::kInteger;
        value.integer = *bytes.I16(0);
        return Error::kNone;
      case ColumnType::kInt32:
        value.kind = ValueKind::kInteger;
        value.integer = *bytes.I32(0);
        return Error::kNone;
      case ColumnType::kCurrency:
        value.kind = ValueKind::kCurrency;
        value.integer = *bytes.I64(0);
        return Error::kNone;
      case ColumnType::kFloat:
        value.kind = ValueKind::kFloat;
        value.real = *bytes.F32(0);
        return Error::kNone;
      case ColumnType::kDouble:
        value.kind = ValueKind::kDouble;
        value.real = *bytes.F64(0);
        return Error::kNone;
      case ColumnType::kDate:
        value.kind = ValueKind::kDate;
        value.real = *bytes.F64(0);
        return Error::kNone;
      case ColumnType::kGuid:
        value.kind = ValueKind::kGuid;
        value.text = GuidDisplayText(bytes.bytes().data());
        return Error::kNone;
      case ColumnType::kNumeric:
        value.kind = ValueKind::kNumeric;
        value.text = NumericToText(bytes.bytes().first<kNumericSize>(), column.scale);
        return Error::kNone;
      default:
        return DecodeVariable(column, bytes, value);
    }
  }

  Error DecodeVariable(const Column& column, const ByteReader& bytes, Value& value) {
    switch (column.type) {
      case ColumnType::kText:
        value.kind = ValueKind::kText;
        value.text = DecodeText(bytes.bytes());
        return Error::kNone;
      case ColumnType::kMemo:
      case ColumnType::kOle: {
        auto stored = ReadLongValue(file_, bytes, budget_);
        if (!stored) return stored.error();
        if (column.type == ColumnType::kMemo) {
          value.kind = ValueKind::kText;
          value.text = DecodeText(*stored);
        } else {
          value.kind = ValueKind::kBinary;
          value.text.assign(stored->begin(), stored->end());
        }
        return Error::kNone;
      }
      case ColumnType::kBinary:
        value.kind = ValueKind::kBinary;
        value.text.assign(bytes.bytes().begin(), bytes.bytes().end());
        return Error::kNone;
      default:
        // A numeric or date type stored in the variable area: read it as if fixed.
        if (!bytes.Covers(0, FixedSize(column))) return Error::kRowMalformed;
        return DecodeFixed(column, bytes, value);
    }
  }

  std::string DecodeText(std::span<const std::uint8_t> bytes) const {
    return file_.layout().version == JetVersion::kJet4 ? DecodeJet4Text(bytes)
                                                       : DecodeCodePage1252(bytes);
  }

  const PageFile& file_;
  const TableDefinition& definition_;
  DecodeBudget& budget_;
};

// The row a slot stands for, following overflow pointers to another data page of the
// same table.
Result<ByteReader> ResolveRow(const PageFile& file, std::uint32_t owner, RowSlot slot) {
  for (int hop = 0; slot.overflow; ++hop) {
    if (hop >= kMaxOverflowHops) return Error::kRowOverflowLoop;
    const auto stored = slot.bytes.U32(0);
    if (!stored) return Error::kRowPointerInvalid;
    const auto pointer = RowPointer::FromStored(*stored);
    auto page = file.TypedPage(pointer.page, PageType::kData, Error::kNotDataPage);
    if (!page) return page.error();
    if (page->U32(page::kOwnerOffset) != owner) return Error::kWrongPageOwner;
    auto next = PageFile::Row(*page, file.layout(), pointer.row);
    if (!next) return next.error();
    if (next->deleted) return Error::kRowPointerInvalid;
    slot = *next;
  }
  return slot.bytes;
}

}  // namespace

Result<Table> ReadTable(const PageFile& file, std::uint32_t definition_page, std::string name,
                        DecodeBudget& budget) {
  auto definition = ReadTableDefinition(file, definition_page);
  if (!definition) return definition.error();
  auto pages = ReadUsageMap(file, definition->usage_map);
  if (!pages) return pages.error();

  Table table;
  table.name = std::move(name);
  table.definition_page = definition_page;
  table.columns = definition->columns;
  RowDecoder decoder(file, *definition, budget);
  // The stored row count is only a hint (it may lie); a page holds a few hundred rows.
  const std::size_t expected_rows =
      std::min<std::size_t>(definition->stored_row_count, pages->size() * 256);
  table.cells.reserve(expected_rows * table.columns.size());
  for (const std::uint32_t number : *pages) {
    auto page = file.TypedPage(number, PageType::kData, Error::kNotDataPage);
    if (!page) return page.error();
    if (page->U32(page::kOwnerOffset) != definition_page) return Error::kWrongPageOwner;
    auto count = PageFile::RowCount(*page, file.layout());
    if (!count) return count.error();
    for (std::size_t row = 0; row < *count; ++row) {
      auto slot = PageFile::Row(*page, file.layout(), row);
      if (!slot) return slot.error();
      if (slot->deleted) continue;
      auto bytes = ResolveRow(file, definition_page, *slot);
      if (!bytes) return bytes.error();
      if (Error e = budget.TakeCells(table.columns.size() + 1); e != Error::kNone) return e;
      if (Error e = decoder.Decode(*bytes, table.cells); e != Error::kNone) return e;
      ++table.row_count;
    }
  }
  return table;
}

}  // namespace movarin::catalogue::jet
