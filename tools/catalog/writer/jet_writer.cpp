#include "tools/catalog/writer/jet_writer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

#include "base/sha256.h"
#include "base/utf.h"

#include "tools/catalog/writer/byte_writer.h"
#include "tools/catalog/writer/jet4_header.h"
#include "tools/catalog/writer/jet4_table.h"

namespace movarin::tools::catalog_writer {
namespace {

using namespace jet4;

// The system catalogue with the columns Access gives it, so that every reader finds the
// columns it looks for (Id, ParentId, Name, Type, Flags, LvProp, ...).
constexpr std::uint8_t kSys = column_flag::kSystem;
constexpr std::array<ColumnSpec, 17> kSystemObjectsColumns = {{
    {"Id", ColumnType::kInt32, 4, kSys},
    {"ParentId", ColumnType::kInt32, 4, kSys},
    {"Name", ColumnType::kText, 510, kSys},
    {"Type", ColumnType::kInt16, 2, kSys},
    {"DateCreate", ColumnType::kDateTime, 8, kSys},
    {"DateUpdate", ColumnType::kDateTime, 8, kSys},
    {"Owner", ColumnType::kBinary, 510, kSys},
    {"Flags", ColumnType::kInt32, 4, kSys},
    {"Database", ColumnType::kMemo, 0, kSys},
    {"Connect", ColumnType::kMemo, 0, kSys},
    {"ForeignName", ColumnType::kText, 510, kSys},
    {"RmtInfoShort", ColumnType::kBinary, 510, kSys},
    {"RmtInfoLong", ColumnType::kOle, 0, kSys},
    {"Lv", ColumnType::kOle, 0, kSys},
    {"LvProp", ColumnType::kOle, 0, kSys},
    {"LvModule", ColumnType::kOle, 0, kSys},
    {"LvExtra", ColumnType::kOle, 0, kSys},
}};

// With the sha256 column; without it, the first two alone.
constexpr std::array<ColumnSpec, 3> kFilesColumns = {{
    {kFilenameColumn, ColumnType::kText, 2 * kMaxTextUnits, 0},
    {kVersionColumn, ColumnType::kText, 2 * kMaxTextUnits, 0},
    {kSha256Column, ColumnType::kText, 2 * kSha256TextUnits, 0},
}};

// Where everything goes. The data pages of Files follow its definition; bitmap pages of
// large usage maps come last.
constexpr std::uint32_t kGlobalMapPage = 1;
constexpr std::uint32_t kSystemObjectsDataPage = 3;
constexpr std::uint32_t kMapRowsPage = 4;
constexpr std::uint32_t kFilesDefinitionPage = 5;
// The pages are emitted one after the other in this order (header page 0 first).
static_assert(kGlobalMapPage == 1 && kSystemObjectsDataPage == kGlobalMapPage + 2 &&
              kMapRowsPage == kSystemObjectsDataPage + 1 && kFilesDefinitionPage == kMapRowsPage + 1);
constexpr std::uint32_t kFirstFilesDataPage = 6;
enum MapRow : std::uint32_t {
  kSystemObjectsUsed,
  kSystemObjectsFree,
  kFilesUsed,
  kFilesFree,
  kLongValuesUsed,
  kLongValuesFree,
};

// Unix time 0 on the Jet date scale.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kLastDate = 2958465.0;  // 9999-12-31

double Now() {
  using namespace std::chrono;
  const auto seconds = duration_cast<duration<double>>(system_clock::now().time_since_epoch());
  return kUnixEpochDays + seconds.count() / 86400.0;
}

base::Failed<WriteFailure> Fail(WriteError error, std::size_t row = 0, std::string detail = {}) {
  return base::Fail(WriteFailure{error, row, std::move(detail)});
}

// A text column value, or the reason it cannot be stored.
base::Result<std::u16string, WriteError> TextValue(const std::string& utf8) {
  auto text = base::Utf8ToUtf16Strict(utf8);
  if (!text) return WriteError::kTextNotUtf8;
  if (text->size() > kMaxTextUnits) return WriteError::kTextTooLong;
  // Readers take a value starting with the bytes FF FE as compressed text.
  if (!text->empty() && (*text)[0] == u'\xFEFF') return WriteError::kTextStartsWithByteOrderMark;
  return std::move(*text);
}

// The sha256 column's value: NULL for an unknown digest, else the digits in lower case.
base::Result<Value, WriteError> Sha256Value(const std::string& text) {
  if (text.empty()) return Value{};
  const auto digest = base::Sha256FromHex(text);
  if (!digest) return WriteError::kBadSha256;
  const std::string lower = base::Sha256ToHex(*digest);
  return Value{std::u16string(lower.begin(), lower.end())};
}

std::vector<Bytes> SystemObjectRows(const TableLayout& layout, double date) {
  namespace cat = jet4::catalogue;
  struct Entry {
    std::int32_t id;
    std::int32_t parent;
    std::u16string_view name;
    std::int16_t type;
    std::int32_t flags;
  };
  const std::array<Entry, 6> entries = {{
      {cat::kTablesId, cat::kRootId, u"Tables", cat::kTypeContainer, cat::kFlagSystem},
      {cat::kDatabasesId, cat::kRootId, u"Databases", cat::kTypeContainer, cat::kFlagSystem},
      {cat::kRelationshipsId, cat::kRootId, u"Relationships", cat::kTypeContainer,
       cat::kFlagSystem},
      {cat::kDatabaseObjectId, cat::kDatabasesId, u"MSysDb", cat::kTypeDatabase,
       cat::kFlagSystem},
      {static_cast<std::int32_t>(cat::kSystemObjectsPage), cat::kTablesId, u"MSysObjects",
       cat::kTypeTable, cat::kFlagSystem},
      {static_cast<std::int32_t>(kFilesDefinitionPage), cat::kTablesId, u"Files",
       cat::kTypeTable, 0},
  }};
  std::vector<Bytes> rows;
  for (const Entry& e : entries) {
    std::vector<Value> values(layout.column_count());
    values[0] = e.id;
    values[1] = e.parent;
    values[2] = std::u16string(e.name);
    values[3] = e.type;
    values[4] = date;
    values[5] = date;
    values[7] = e.flags;
    rows.push_back(*EncodeRow(layout, values));
  }
  return rows;
}

}  // namespace

std::string_view WriteErrorText(WriteError error) {
  switch (error) {
    case WriteError::kPasswordTooLong: return "the password is longer than 20 characters";
    case WriteError::kPasswordNotUtf8: return "the password is not valid UTF-8";
    case WriteError::kTextNotUtf8: return "text is not valid UTF-8";
    case WriteError::kTextTooLong: return "text is longer than 255 characters";
    case WriteError::kTextStartsWithByteOrderMark: return "text starts with U+FEFF";
    case WriteError::kBadSha256: return "the sha256 is not 64 hexadecimal digits";
    case WriteError::kBadCreationDate: return "the creation date is out of range";
    case WriteError::kTooLarge: return "the catalogue is too large for a Jet 4 file";
    case WriteError::kCannotCreate: return "cannot create the file";
    case WriteError::kCannotWrite: return "cannot write the file";
    case WriteError::kCannotReplace: return "cannot move the file into place";
  }
  return "unknown error";
}

std::string WriteFailure::Message() const {
  std::string text(WriteErrorText(error));
  if (row != 0) text += " (entry " + std::to_string(row) + ")";
  if (!detail.empty()) text += ": " + detail;
  return text;
}

base::Result<void, WriteFailure> EmitCatalogue(std::span<const CatalogueEntry> entries,
                                               const CatalogueOptions& options,
                                               const PageSink& sink) {
  const auto password = base::Utf8ToUtf16Strict(options.password);
  if (!password) return Fail(WriteError::kPasswordNotUtf8);
  if (password->size() > kMaxPasswordUnits) return Fail(WriteError::kPasswordTooLong);
  const double date = options.creation_date.value_or(Now());
  if (!std::isfinite(date) || date < 1.0 || date > kLastDate) {
    return Fail(WriteError::kBadCreationDate);
  }

  // Every row is encoded before anything is emitted: a bad entry stops the build early.
  // A digest given is never dropped: any entry that has one brings the column.
  const bool with_sha256 =
      options.sha256_column ||
      std::any_of(entries.begin(), entries.end(), [](const CatalogueEntry& e) { return !e.sha256.empty(); });
  const std::size_t column_count = with_sha256 ? 3 : 2;
  const TableLayout files(TableSpec{false, std::span(kFilesColumns).first(column_count)});
  // Packing relies on the largest row fitting an empty data page with its offset slot.
  if (files.max_row_size() + 2 > kPageSize - data_page::kRowOffsets) {
    return Fail(WriteError::kTooLarge);
  }
  std::vector<Bytes> rows;
  rows.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::array<Value, 3> values;
    for (std::size_t c = 0; c < 2; ++c) {
      auto text = TextValue(c == 0 ? entries[i].filename : entries[i].version);
      if (!text) return Fail(text.error(), i + 1);
      values[c] = std::move(*text);
    }
    if (with_sha256) {
      auto digest = Sha256Value(entries[i].sha256);
      if (!digest) return Fail(digest.error(), i + 1);
      values[2] = std::move(*digest);
    }
    rows.push_back(*EncodeRow(files, std::span(values).first(column_count)));
  }

  const std::vector<PageRows> packing = PackRows(rows);
  std::vector<std::uint32_t> used_pages;
  std::vector<std::uint32_t> free_pages;
  const std::size_t room_for_row = files.max_row_size() + 2;
  for (std::size_t i = 0; i < packing.size(); ++i) {
    const auto page = static_cast<std::uint32_t>(kFirstFilesDataPage + i);
    used_pages.push_back(page);
    if (packing[i].free_space >= room_for_row) free_pages.push_back(page);
  }
  const std::uint64_t data_end = std::uint64_t{kFirstFilesDataPage} + packing.size();
  const std::uint64_t total_pages =
      data_end + BitmapPagesNeeded(used_pages) + BitmapPagesNeeded(free_pages);
  if (total_pages > kMaxPages) return Fail(WriteError::kTooLarge);

  const auto used_first_bitmap = static_cast<std::uint32_t>(data_end);
  const UsageMap used_map = EncodeUsageMap(used_pages, used_first_bitmap);
  const UsageMap free_map = EncodeUsageMap(
      free_pages, used_first_bitmap + static_cast<std::uint32_t>(used_map.bitmap_pages.size()));

  // Page 1: the global map, in which a set bit is a free page. Every page of the file is
  // in use; the pages the map covers beyond its end are free.
  Bytes global_map;
  {
    ByteAppender out(global_map);
    out.U8(usage_map::kInline);
    out.U32(0);
    std::vector<std::uint8_t> bitmap(usage_map::kInlineBitmapBytes, 0);
    for (std::uint64_t p = total_pages; p < usage_map::kInlinePages; ++p) {
      bitmap[p / 8] |= static_cast<std::uint8_t>(1u << (p % 8));
    }
    global_map.insert(global_map.end(), bitmap.begin(), bitmap.end());
  }

  const TableLayout system_objects(TableSpec{true, kSystemObjectsColumns});
  const std::vector<Bytes> system_rows = SystemObjectRows(system_objects, date);
  const std::array<std::uint32_t, 1> system_pages = {kSystemObjectsDataPage};
  const std::vector<Bytes> map_rows = {
      EncodeUsageMap(system_pages, 0).row, EncodeUsageMap(system_pages, 0).row,
      used_map.row, free_map.row,
      EncodeUsageMap({}, 0).row, EncodeUsageMap({}, 0).row};

  const auto system_definition = EncodeTableDefinition(
      system_objects,
      DefinitionLinks{static_cast<std::uint32_t>(system_rows.size()),
                      RowPointer(kMapRowsPage, kSystemObjectsUsed),
                      RowPointer(kMapRowsPage, kSystemObjectsFree),
                      RowPointer(kMapRowsPage, kLongValuesUsed),
                      RowPointer(kMapRowsPage, kLongValuesFree)});
  const auto files_definition = EncodeTableDefinition(
      files, DefinitionLinks{static_cast<std::uint32_t>(rows.size()),
                             RowPointer(kMapRowsPage, kFilesUsed),
                             RowPointer(kMapRowsPage, kFilesFree), 0, 0});
  if (!system_definition || !files_definition) return Fail(WriteError::kTooLarge);

  auto emit = [&](std::span<const std::uint8_t> page) { return sink(page); };
  bool ok = emit(EncodeHeaderPage(*password, date)) &&
            emit(EncodeDataPage(data_page::kGlobalMapOwner, std::span(&global_map, 1))) &&
            emit(*system_definition) &&
            emit(EncodeDataPage(jet4::catalogue::kSystemObjectsPage, system_rows)) &&
            emit(EncodeDataPage(0, map_rows)) && emit(*files_definition);
  for (std::size_t i = 0; ok && i < packing.size(); ++i) {
    ok = emit(EncodeDataPage(kFilesDefinitionPage,
                             std::span(rows).subspan(packing[i].first, packing[i].count)));
  }
  for (const Page& page : used_map.bitmap_pages) ok = ok && emit(page);
  for (const Page& page : free_map.bitmap_pages) ok = ok && emit(page);
  if (!ok) return Fail(WriteError::kCannotWrite);
  return {};
}

base::Result<std::vector<std::uint8_t>, WriteFailure> BuildCatalogueImage(
    std::span<const CatalogueEntry> entries, const CatalogueOptions& options) {
  std::vector<std::uint8_t> image;
  auto emitted = EmitCatalogue(entries, options, [&](std::span<const std::uint8_t> page) {
    image.insert(image.end(), page.begin(), page.end());
    return true;
  });
  if (!emitted) return emitted.error();
  return image;
}

}  // namespace movarin::tools::catalog_writer
