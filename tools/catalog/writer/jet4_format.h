// The Jet 4 (.mdb) structures the catalogue writer produces, as named constants. The
// writer keeps its own copy of these facts, apart from the reader's, so that the two
// cannot silently agree on a private dialect: independent readers check what we write.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace movarin::tools::catalog_writer::jet4 {

inline constexpr std::size_t kPageSize = 4096;
// Jet 4 files end at 2 GB; page pointers in rows are (page << 8 | row).
inline constexpr std::uint32_t kMaxPages = 524288;
inline constexpr std::size_t kMaxRowsPerPage = 255;

enum class PageType : std::uint8_t {
  kHeader = 0x00,
  kData = 0x01,
  kTableDefinition = 0x02,
  kUsageBitmap = 0x05,
};

// Page 0.
namespace header {
inline constexpr std::array<std::uint8_t, 4> kMagic = {0x00, 0x01, 0x00, 0x00};
inline constexpr std::size_t kFormatName = 0x04;  // "Standard Jet DB"
inline constexpr std::size_t kVersion = 0x14;
inline constexpr std::uint8_t kVersionJet4 = 0x01;
// The masked block and its RC4 key.
inline constexpr std::size_t kMaskedStart = 0x18;
inline constexpr std::size_t kMaskedLength = 128;
inline constexpr std::array<std::uint8_t, 4> kMaskKey = {0xC7, 0xDA, 0x39, 0x6B};
// Fields inside the masked block (absolute offsets, before masking).
inline constexpr std::size_t kCodePage = 0x3C;
inline constexpr std::uint16_t kCodePageWestern = 0x04E4;
inline constexpr std::size_t kPageEncryptionKey = 0x3E;  // 0: pages are plain
inline constexpr std::size_t kPassword = 0x42;
inline constexpr std::size_t kPasswordBytes = 40;        // 20 UTF-16 units
inline constexpr std::size_t kSortOrder = 0x6E;
inline constexpr std::size_t kCreationDate = 0x72;
// Values Access 2000 writes at the start of the masked block and just after it; readers
// do not interpret them, but a file that looks like Access's meets fewer surprises.
inline constexpr std::array<std::uint8_t, 24> kAccessPreamble = {
    0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
    0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
inline constexpr std::size_t kAccessTrailer = 0x98;
inline constexpr std::array<std::uint8_t, 8> kAccessTrailerBytes = {
    0x54, 0x06, 0x00, 0x00, '4', '.', '0', 0x00};
}  // namespace header

inline constexpr std::uint16_t kSortOrderGeneral = 0x0409;

// Data pages (rows, and the rows that hold usage maps).
namespace data_page {
inline constexpr std::size_t kFreeSpace = 2;
inline constexpr std::size_t kOwner = 4;
inline constexpr std::size_t kRowCount = 12;
inline constexpr std::size_t kRowOffsets = 14;
// Access writes 1 as the owner of page 1, the page of the global usage map.
inline constexpr std::uint32_t kGlobalMapOwner = 1;
}  // namespace data_page

// Table definition pages.
namespace table_definition {
inline constexpr std::size_t kFreeSpace = 2;  // page size - 8 - definition length
inline constexpr std::size_t kNextPage = 4;
inline constexpr std::size_t kLength = 8;
inline constexpr std::size_t kMarker = 12;
inline constexpr std::size_t kRowCount = 16;
inline constexpr std::size_t kAutonumber = 20;
inline constexpr std::size_t kAutonumberIncrement = 24;
inline constexpr std::size_t kTableType = 40;
inline constexpr std::size_t kMaxColumns = 41;
inline constexpr std::size_t kVariableColumns = 43;
inline constexpr std::size_t kColumnCount = 45;
inline constexpr std::size_t kIndexCount = 47;
inline constexpr std::size_t kRealIndexCount = 51;
inline constexpr std::size_t kUsedPagesMap = 55;
inline constexpr std::size_t kFreePagesMap = 59;
inline constexpr std::size_t kColumns = 63;  // no indexes follow the header
inline constexpr std::size_t kColumnBlock = 25;
inline constexpr std::uint16_t kEndOfLongValueList = 0xFFFF;
// Access 2000 writes this number into every definition and column block.
inline constexpr std::uint32_t kAccessMarker = 0x0659;
inline constexpr std::uint8_t kUserTable = 0x4E;
inline constexpr std::uint8_t kSystemTable = 0x53;
}  // namespace table_definition

namespace column_block {
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kMarker = 1;
inline constexpr std::size_t kNumber = 5;
inline constexpr std::size_t kVariableIndex = 7;
inline constexpr std::size_t kNumberAgain = 9;
inline constexpr std::size_t kSortOrder = 11;
inline constexpr std::size_t kFlags = 15;
inline constexpr std::size_t kCompressedUnicode = 16;
inline constexpr std::size_t kFixedOffset = 21;
inline constexpr std::size_t kLength = 23;
}  // namespace column_block

enum class ColumnType : std::uint8_t {
  kInt16 = 3,
  kInt32 = 4,
  kDateTime = 8,
  kBinary = 9,
  kText = 10,
  kOle = 11,
  kMemo = 12,
};

namespace column_flag {
inline constexpr std::uint8_t kFixedLength = 0x01;
inline constexpr std::uint8_t kNullable = 0x02;
// Set by Access on every column of its system catalogue.
inline constexpr std::uint8_t kSystem = 0x10;
}  // namespace column_flag

// Usage maps: a row whose first byte says how the pages are listed.
namespace usage_map {
inline constexpr std::uint8_t kInline = 0;    // u32 first page, then a bitmap
inline constexpr std::uint8_t kIndirect = 1;  // u32 pointers to bitmap pages
inline constexpr std::size_t kInlineBitmapBytes = 64;  // what Access writes: 512 pages
inline constexpr std::size_t kInlinePages = kInlineBitmapBytes * 8;
inline constexpr std::size_t kBitmapPageHeader = 4;
inline constexpr std::size_t kPagesPerBitmapPage = (kPageSize - kBitmapPageHeader) * 8;
}  // namespace usage_map

// The system catalogue (MSysObjects) and the ids Access gives its fixed entries.
namespace catalogue {
inline constexpr std::uint32_t kSystemObjectsPage = 2;
inline constexpr std::int32_t kRootId = 0x0F000000;
inline constexpr std::int32_t kTablesId = 0x0F000001;
inline constexpr std::int32_t kDatabasesId = 0x0F000002;
inline constexpr std::int32_t kRelationshipsId = 0x0F000003;
inline constexpr std::int32_t kDatabaseObjectId = 0x10000000;
inline constexpr std::int16_t kTypeTable = 1;
inline constexpr std::int16_t kTypeDatabase = 2;
inline constexpr std::int16_t kTypeContainer = 3;
inline constexpr std::int32_t kFlagSystem = static_cast<std::int32_t>(0x80000000u);
}  // namespace catalogue

}  // namespace movarin::tools::catalog_writer::jet4
