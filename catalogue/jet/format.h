// Where things sit in a Jet file: page types, header fields, table-definition and row
// layout, for Jet 4 (4096-byte pages) and Jet 3 (2048-byte pages). Every offset the
// decoders use comes from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace movarin::catalogue::jet {

enum class PageType : std::uint8_t {
  kHeader = 0x00,
  kData = 0x01,
  kTableDefinition = 0x02,
  kIndexNode = 0x03,
  kIndexLeaf = 0x04,
  kUsageMap = 0x05,
};

enum class JetVersion { kJet3, kJet4 };

// The column types as stored in a column block.
enum class ColumnType : std::uint8_t {
  kBoolean = 1,
  kByte = 2,
  kInt16 = 3,
  kInt32 = 4,
  kCurrency = 5,
  kFloat = 6,
  kDouble = 7,
  kDate = 8,
  kBinary = 9,
  kText = 10,
  kOle = 11,
  kMemo = 12,
  kGuid = 15,
  kNumeric = 16,
};

// True for the types above; other type bytes occur (e.g. in system tables) and are
// carried through without their values.
bool IsKnownColumnType(ColumnType type);

namespace header {
inline constexpr std::size_t kMagicOffset = 0x04;
inline constexpr std::string_view kMagic = "Standard Jet DB";
inline constexpr std::size_t kVersionOffset = 0x14;
inline constexpr std::uint8_t kVersionJet3 = 0;
inline constexpr std::uint8_t kVersionJet4 = 1;
// The masked block: bytes [kMaskedOffset, kMaskedOffset + masked length).
inline constexpr std::size_t kMaskedOffset = 0x18;
inline constexpr std::size_t kMaskedLengthJet4 = 128;
inline constexpr std::size_t kMaskedLengthJet3 = 126;
inline constexpr std::array<std::uint8_t, 4> kMaskKey = {0xC7, 0xDA, 0x39, 0x6B};
inline constexpr std::size_t kCodePageOffset = 0x3C;
inline constexpr std::size_t kPageKeyOffset = 0x3E;
inline constexpr std::size_t kPasswordOffset = 0x42;
inline constexpr std::size_t kPasswordLengthJet4 = 40;
inline constexpr std::size_t kPasswordLengthJet3 = 20;
inline constexpr std::size_t kSortOrderOffsetJet4 = 0x6E;
inline constexpr std::size_t kCreationDateOffset = 0x72;
}  // namespace header

// Page-level fields shared by data, definition and long-value pages.
namespace page {
inline constexpr std::size_t kTypeOffset = 0;
inline constexpr std::size_t kMarkerOffset = 1;  // 0x01 on data and definition pages
inline constexpr std::size_t kOwnerOffset = 4;   // data page: owning table-definition page
inline constexpr std::string_view kLongValueTag = "LVAL";
// Low 13 bits of a row offset; the top bits are flags. A row that grows out of its page
// moves to another slot: its old slot keeps only a 4-byte pointer (page << 8 | row) to the
// new one and carries kRowMovedAway; the new slot carries kRowMovedHere and holds a live
// row like any other. Both flags together mark a deleted row.
inline constexpr std::uint16_t kRowOffsetMask = 0x1FFF;
inline constexpr std::uint16_t kRowMovedHere = 0x8000;
inline constexpr std::uint16_t kRowMovedAway = 0x4000;
inline constexpr std::uint16_t kRowFlags = kRowMovedHere | kRowMovedAway;
// The first table definition: MSysObjects.
inline constexpr std::uint32_t kSystemCataloguePage = 2;
// Usage-map pages (type 0x05) carry their bitmap after a 4-byte header.
inline constexpr std::size_t kUsageMapPageBitmapOffset = 4;
}  // namespace page

// The layout differences between the two versions, one table row each.
struct Layout {
  JetVersion version;
  std::size_t page_size;
  // Data pages.
  std::size_t data_row_count_offset;
  std::size_t data_row_offsets_start;
  // Table definition: continuation pages repeat a header of this size.
  std::size_t tdef_continuation_header;
  std::size_t tdef_next_page_offset;
  std::size_t tdef_row_count_offset;
  std::size_t tdef_table_type_offset;
  std::size_t tdef_max_columns_offset;
  std::size_t tdef_variable_columns_offset;
  std::size_t tdef_column_count_offset;
  std::size_t tdef_logical_index_count_offset;
  std::size_t tdef_real_index_count_offset;
  std::size_t tdef_usage_map_offset;
  std::size_t tdef_header_size;          // where the real-index entries start
  std::size_t tdef_real_index_entry_size;
  std::size_t column_block_size;
  std::size_t column_type_offset;
  std::size_t column_number_offset;
  std::size_t column_variable_index_offset;
  std::size_t column_misc_offset;        // text sort order, or numeric precision/scale
  std::size_t column_flags_offset;
  std::size_t column_fixed_offset_offset;
  std::size_t column_length_offset;
  std::size_t column_name_length_size;   // 2 (Jet 4, UTF-16LE) or 1 (Jet 3, code page)
  // Rows: 2-byte counts in Jet 4, 1-byte counts in Jet 3.
  std::size_t row_count_field_size;
};

inline constexpr Layout kJet4Layout = {
    .version = JetVersion::kJet4,
    .page_size = 4096,
    .data_row_count_offset = 12,
    .data_row_offsets_start = 14,
    .tdef_continuation_header = 8,
    .tdef_next_page_offset = 4,
    .tdef_row_count_offset = 16,
    .tdef_table_type_offset = 40,
    .tdef_max_columns_offset = 41,
    .tdef_variable_columns_offset = 43,
    .tdef_column_count_offset = 45,
    .tdef_logical_index_count_offset = 47,
    .tdef_real_index_count_offset = 51,
    .tdef_usage_map_offset = 55,
    .tdef_header_size = 63,
    .tdef_real_index_entry_size = 12,
    .column_block_size = 25,
    .column_type_offset = 0,
    .column_number_offset = 5,
    .column_variable_index_offset = 7,
    .column_misc_offset = 11,
    .column_flags_offset = 15,
    .column_fixed_offset_offset = 21,
    .column_length_offset = 23,
    .column_name_length_size = 2,
    .row_count_field_size = 2,
};

inline constexpr Layout kJet3Layout = {
    .version = JetVersion::kJet3,
    .page_size = 2048,
    .data_row_count_offset = 8,
    .data_row_offsets_start = 10,
    .tdef_continuation_header = 8,
    .tdef_next_page_offset = 4,
    .tdef_row_count_offset = 12,
    .tdef_table_type_offset = 20,
    .tdef_max_columns_offset = 21,
    .tdef_variable_columns_offset = 23,
    .tdef_column_count_offset = 25,
    .tdef_logical_index_count_offset = 27,
    .tdef_real_index_count_offset = 31,
    .tdef_usage_map_offset = 35,
    .tdef_header_size = 43,
    .tdef_real_index_entry_size = 8,
    .column_block_size = 18,
    .column_type_offset = 0,
    .column_number_offset = 1,
    .column_variable_index_offset = 3,
    .column_misc_offset = 11,
    .column_flags_offset = 13,
    .column_fixed_offset_offset = 14,
    .column_length_offset = 16,
    .column_name_length_size = 1,
    .row_count_field_size = 1,
};

// Usage-map rows: a type byte, then either a start page and an inline bitmap (type 0) or
// a list of usage-map pages (type 1).
namespace usage_map {
inline constexpr std::size_t kTypeOffset = 0;
inline constexpr std::size_t kStartPageOffset = 1;
inline constexpr std::size_t kInlineBitmapOffset = 5;
inline constexpr std::size_t kPageListOffset = 1;
inline constexpr std::size_t kPageNumberSize = 4;
}  // namespace usage_map

namespace tdef {
inline constexpr std::uint8_t kUserTable = 0x4E;
inline constexpr std::uint8_t kSystemTable = 0x53;
// Column flags.
inline constexpr std::uint8_t kFixedLength = 0x01;
inline constexpr std::uint8_t kNullable = 0x02;
inline constexpr std::uint8_t kAutoNumber = 0x04;
// Jet allows 255 columns; deleted columns keep their numbers, so allow some slack.
inline constexpr std::size_t kMaxColumns = 512;
}  // namespace tdef

namespace memo {
inline constexpr std::size_t kFieldSize = 12;
inline constexpr std::size_t kLengthOffset = 0;   // u32: length and kind flags
inline constexpr std::size_t kPointerOffset = 4;  // u32: first part, page << 8 | row
// Each part of a chain starts with the pointer to the next part.
inline constexpr std::size_t kNextPointerSize = 4;
inline constexpr std::uint32_t kInline = 0x80000000u;
inline constexpr std::uint32_t kSingleRow = 0x40000000u;
inline constexpr std::uint32_t kFlagMask = 0xC0000000u;
inline constexpr std::uint32_t kLengthMask = 0x3FFFFFFFu;
}  // namespace memo

// The system catalogue (MSysObjects).
namespace msys {
inline constexpr std::uint32_t kTableObjectType = 1;
inline constexpr std::uint32_t kTypeMask = 0x7F;
inline constexpr std::uint32_t kHiddenFlags = 0x80000002u;
inline constexpr std::uint32_t kIdPageMask = 0x00FFFFFFu;
}  // namespace msys

// Dates are days since 1899-12-30.
inline constexpr std::int64_t kDaysFrom1970ToJetEpoch = -25569;

}  // namespace movarin::catalogue::jet
