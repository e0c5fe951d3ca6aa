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

// A value being decoded; its text goes to the decoder's scratch text.
struct Decoded {
  ValueKind kind = ValueKind::kNull;
  std::int64_t integer = 0;
  double real = 0;
};

class RowDecoder {
 public:
  RowDecoder(const PageFile& file, const TableDefinition& definition, DecodeBudget& budget)
      : file_(file), definition_(definition), budget_(budget) {}

  // Appends one cell per column to the table.
  base::Result<void, Error> Decode(const base::ByteReader& row, Table& table) {
    auto layout = file_.layout().version == JetVersion::kJet4 ? ReadJet4Layout(row) : ReadJet3Layout(row);
    if (!layout) return layout;
    const std::size_t stored_columns = stored_columns_;
    const base::ByteReader& mask = mask_;
    const std::size_t data_end = offsets_.back();
    const std::size_t variable_count = offsets_.size() - 1;
    const std::size_t fixed_start = fixed_start_;
    auto variable_offset = [&](std::size_t i) { return offsets_[i]; };

    for (const Column& column : definition_.columns) {
      Decoded value;
      text_.clear();
      const bool present = column.number < stored_columns;
      const bool not_null =
          present && ((*mask.U8(column.number / 8) >> (column.number % 8)) & 1) != 0;
      if (column.type == ColumnType::kBoolean) {
        value.kind = ValueKind::kBoolean;
        value.integer = not_null ? 1 : 0;
      } else if (!not_null || !IsKnownColumnType(column.type)) {
        // NULL, or a value of a type this reader cannot interpret
      } else if (column.IsFixed()) {
        const auto bytes = row.Sub(fixed_start + column.fixed_offset, FixedSize(column));
        if (!bytes || fixed_start + column.fixed_offset + FixedSize(column) > data_end) {
          return Error::kRowMalformed;
        }
        if (auto decoded = DecodeFixed(column, *bytes, value); !decoded) return decoded;
      } else if (column.variable_index < variable_count) {
        const std::size_t start = variable_offset(column.variable_index);
        const std::size_t end = variable_offset(column.variable_index + 1);
        if (start > end || end > data_end || start < fixed_start) return Error::kRowMalformed;
        if (auto decoded = DecodeVariable(column, *row.Sub(start, end - start), value); !decoded) {
          return decoded;
        }
      }
      Value cell{value.kind, value.integer, value.real, text_};
      if (text_.empty() && !cell.IsNull()) {
        text_ = DisplayText(cell);
        cell.text = text_;
      }
      if (auto taken = budget_.TakeBytes(text_.size()); !taken) return taken;
      if (!table.AppendCell(cell)) return Error::kDecodedDataTooLarge;
    }
    return {};
  }

 private:
  // Jet 4: u16 column count | fixed | variable | u16 end of data | u16 offsets, last column
  // first | u16 variable count | null mask.
  base::Result<void, Error> ReadJet4Layout(const base::ByteReader& row) {
    const auto stored_columns = row.U16(0);
    if (!stored_columns) return Error::kRowMalformed;
    stored_columns_ = *stored_columns;
    fixed_start_ = 2;
    const std::size_t mask_size = (stored_columns_ + 7) / 8;
    if (row.size() < 2 + mask_size) return Error::kRowMalformed;
    const std::size_t mask_at = row.size() - mask_size;
    mask_ = *row.Sub(mask_at, mask_size);
    offsets_.clear();
    if (definition_.variable_column_count == 0) {
      offsets_.push_back(mask_at);
      return {};
    }
    if (mask_at < 4) return Error::kRowMalformed;
    const std::size_t variable_count = *row.U16(mask_at - 2);
    // Entries + the end-of-data value must fit between the column count and the count.
    if ((variable_count + 1) * 2 + 2 + 2 > mask_at) return Error::kRowMalformed;
    for (std::size_t i = 0; i <= variable_count; ++i) offsets_.push_back(*row.U16(mask_at - 4 - 2 * i));
    const std::size_t table_at = mask_at - 2 - (variable_count + 1) * 2;
    if (offsets_.back() > table_at) return Error::kRowMalformed;
    return {};
  }

  // Jet 3: u8 column count | fixed | variable | u8 end of data | u8 offsets, last column
  // first | jump table | u8 variable count | null mask. Offsets are one byte; the jump
  // table lists, for each 256-byte boundary, the first variable column beyond it.
  base::Result<void, Error> ReadJet3Layout(const base::ByteReader& row) {
    const auto stored_columns = row.U8(0);
    if (!stored_columns) return Error::kRowMalformed;
    stored_columns_ = *stored_columns;
    fixed_start_ = 1;
    const std::size_t mask_size = (stored_columns_ + 7) / 8;
    if (row.size() < 1 + mask_size) return Error::kRowMalformed;
    const std::size_t mask_at = row.size() - mask_size;
    mask_ = *row.Sub(mask_at, mask_size);
    offsets_.clear();
    if (definition_.variable_column_count == 0) {
      offsets_.push_back(mask_at);
      return {};
    }
    if (mask_at < 2) return Error::kRowMalformed;
    const std::size_t count_at = mask_at - 1;
    const std::size_t variable_count = *row.U8(count_at);
    std::size_t jumps = (row.size() - 1) / 256;
    if (jumps + variable_count + 1 > count_at) return Error::kRowMalformed;
    std::size_t first_entry = count_at - jumps - 1;
    // The last jump may be a placeholder when the offsets themselves stay below it.
    if (jumps > 0 && (first_entry - variable_count) / 256 < jumps) {
      --jumps;
      first_entry = count_at - jumps - 1;
    }
    std::size_t jumps_used = 0;
    for (std::size_t i = 0; i <= variable_count; ++i) {
      while (jumps_used < jumps && *row.U8(count_at - 1 - jumps_used) == i) ++jumps_used;
      offsets_.push_back(*row.U8(first_entry - i) + jumps_used * 256);
    }
    if (offsets_.back() > first_entry - variable_count) return Error::kRowMalformed;
    return {};
  }

  base::Result<void, Error> DecodeFixed(const Column& column, const base::ByteReader& bytes, Decoded& value) {
    switch (column.type) {
      case ColumnType::kByte:
        value.kind = ValueKind::kInteger;
        value.integer = *bytes.U8(0);
        return {};
      case ColumnType::kInt16:
        value.kind = ValueKind::kInteger;
        value.integer = *bytes.I16(0);
        return {};
      case ColumnType::kInt32:
        value.kind = ValueKind::kInteger;
        value.integer = *bytes.I32(0);
        return {};
      case ColumnType::kCurrency:
        value.kind = ValueKind::kCurrency;
        value.integer = *bytes.I64(0);
        return {};
      case ColumnType::kFloat:
        value.kind = ValueKind::kFloat;
        value.real = *bytes.F32(0);
        return {};
      case ColumnType::kDouble:
        value.kind = ValueKind::kDouble;
        value.real = *bytes.F64(0);
        return {};
      case ColumnType::kDate:
        value.kind = ValueKind::kDate;
        value.real = *bytes.F64(0);
        return {};
      case ColumnType::kGuid:
        value.kind = ValueKind::kGuid;
        text_ = GuidDisplayText(bytes.bytes().data());
        return {};
      case ColumnType::kNumeric:
        value.kind = ValueKind::kNumeric;
        text_ = NumericToText(bytes.bytes().first<kNumericSize>(), column.scale);
        return {};
      default:
        return DecodeVariable(column, bytes, value);
    }
  }

  base::Result<void, Error> DecodeVariable(const Column& column, const base::ByteReader& bytes, Decoded& value) {
    switch (column.type) {
      case ColumnType::kText:
        value.kind = ValueKind::kText;
        AppendText(bytes.bytes());
        return {};
      case ColumnType::kMemo:
      case ColumnType::kOle: {
        auto stored = ReadLongValue(file_, bytes, budget_);
        if (!stored) return stored.error();
        if (column.type == ColumnType::kMemo) {
          value.kind = ValueKind::kText;
          AppendText(*stored);
        } else {
          value.kind = ValueKind::kBinary;
          text_.assign(stored->begin(), stored->end());
        }
        return {};
      }
      case ColumnType::kBinary:
        value.kind = ValueKind::kBinary;
        text_.assign(bytes.bytes().begin(), bytes.bytes().end());
        return {};
      default:
        // A numeric or date type stored in the variable area: read it as if fixed.
        if (!bytes.Covers(0, FixedSize(column))) return Error::kRowMalformed;
        return DecodeFixed(column, bytes, value);
    }
  }

  void AppendText(std::span<const std::uint8_t> bytes) {
    if (file_.layout().version == JetVersion::kJet4) {
      AppendJet4Text(bytes, text_);
    } else {
      AppendCodePage1252(bytes, text_);
    }
  }

  const PageFile& file_;
  const TableDefinition& definition_;
  DecodeBudget& budget_;
  // The layout of the row being decoded.
  std::size_t stored_columns_ = 0;
  std::size_t fixed_start_ = 0;
  base::ByteReader mask_;
  std::vector<std::size_t> offsets_;  // variable columns' starts, then the end of data
  // The text of the value being decoded, copied into the table when it is complete.
  std::string text_;
};

// A slot whose row moved away: its pointer must name the row's new slot, on one of the
// table's own pages (`pages`, sorted), where the scan reads the row in its turn.
base::Result<void, Error> CheckMovedRow(const PageFile& file, std::uint32_t owner,
                                        const std::vector<std::uint32_t>& pages, const RowSlot& slot) {
  const auto stored = slot.bytes.U32(0);
  if (!stored) return Error::kRowPointerInvalid;
  const auto pointer = RowPointer::FromStored(*stored);
  auto page = file.TypedPage(pointer.page, PageType::kData, Error::kNotDataPage);
  if (!page) return page.error();
  if (page->U32(page::kOwnerOffset) != owner) return Error::kWrongPageOwner;
  if (!std::binary_search(pages.begin(), pages.end(), pointer.page)) return Error::kRowPointerInvalid;
  auto target = PageFile::Row(*page, file.layout(), pointer.row);
  if (!target) return target.error();
  if (!target->moved_here) return Error::kRowPointerInvalid;
  return {};
}

}  // namespace

base::Result<Table, Error> ReadTable(const PageFile& file, std::uint32_t definition_page, std::string name,
                                     DecodeBudget& budget, DamagedRows damaged) {
  auto definition = ReadTableDefinition(file, definition_page);
  if (!definition) return definition.error();
  auto pages = ReadUsageMap(file, definition->usage_map);
  if (!pages) return pages.error();

  Table table;
  table.name = std::move(name);
  table.definition_page = definition_page;
  table.columns = definition->columns;
  RowDecoder decoder(file, *definition, budget);
  // The stored row count is only a hint (it may lie): reserve for it, but never more than
  // a real catalogue needs at once; the cells grow past that as rows actually decode. The
  // texts take at most about as many bytes as the table's pages hold; untouched reserved
  // memory costs nothing.
  constexpr std::size_t kMaxReservedCells = std::size_t{1} << 21;
  constexpr std::size_t kMaxReservedTextBytes = std::size_t{64} << 20;
  const std::size_t expected_rows =
      std::min<std::size_t>(definition->stored_row_count, pages->size() * 256);
  table.Reserve(std::min(expected_rows * table.columns.size(), kMaxReservedCells),
                std::min(pages->size() * file.page_size(), kMaxReservedTextBytes));
  const bool skip_damage = damaged == DamagedRows::kSkip;
  // The limits stop the reading in either mode: they guard this process, not the table.
  auto is_limit = [](Error error) {
    return error == Error::kTooManyRows || error == Error::kDecodedDataTooLarge;
  };
  for (const std::uint32_t number : *pages) {
    auto page = file.TypedPage(number, PageType::kData, Error::kNotDataPage);
    base::Result<std::size_t, Error> count = Error::kWrongPageOwner;
    if (!page) {
      count = page.error();
    } else if (page->U32(page::kOwnerOffset) == definition_page) {
      count = PageFile::RowCount(*page, file.layout());
    }
    if (!count) {
      if (skip_damage) continue;
      return count.error();
    }
    for (std::size_t row = 0; row < *count; ++row) {
      auto slot = PageFile::Row(*page, file.layout(), row);
      if (slot && slot->deleted) continue;
      // A row is read where it lives, so rows come in the order of the table's pages.
      if (slot && slot->moved_away) {
        if (auto checked = CheckMovedRow(file, definition_page, *pages, *slot); !checked && !skip_damage) {
          return checked.error();
        }
        continue;
      }
      const std::size_t cells_before = table.CellCount();
      base::Result<void, Error> read = slot ? budget.TakeCells(table.columns.size() + 1)
                                            : base::Result<void, Error>(slot.error());
      if (read) read = decoder.Decode(slot->bytes, table);
      if (!read) {
        if (!skip_damage || is_limit(read.error())) return read.error();
        table.DropCellsFrom(cells_before);  // a row is whole or absent
        continue;
      }
      ++table.row_count;
    }
  }
  return table;
}

}  // namespace movarin::catalogue::jet
