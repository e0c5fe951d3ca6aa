#include "catalogue/jet/database.h"

#include <algorithm>

#include "catalogue/jet/decode_budget.h"
#include "catalogue/jet/names.h"
#include "catalogue/jet/page_file.h"
#include "catalogue/jet/table_reader.h"

namespace movarin::catalogue::jet {
namespace {

struct CatalogueRow {
  std::string name;
  std::uint32_t definition_page;
};

std::int64_t IntegerOr(const Value& value, std::int64_t fallback) {
  return value.kind == ValueKind::kInteger ? value.integer : fallback;
}

// The user tables named by MSysObjects, in catalogue order.
base::Result<std::vector<CatalogueRow>, Error> ListUserTables(const PageFile& file, DecodeBudget& budget) {
  auto catalogue = ReadTable(file, page::kSystemCataloguePage, "MSysObjects", budget, DamagedRows::kSkip);
  if (!catalogue) return catalogue.error();
  const std::size_t id = catalogue->FindColumn("Id");
  const std::size_t name = catalogue->FindColumn("Name");
  const std::size_t type = catalogue->FindColumn("Type");
  const std::size_t flags = catalogue->FindColumn("Flags");
  if (id == Table::npos || name == Table::npos || type == Table::npos) {
    return Error::kSystemCatalogueMalformed;
  }
  std::vector<CatalogueRow> rows;
  for (std::size_t row = 0; row < catalogue->row_count; ++row) {
    const auto object_type = static_cast<std::uint32_t>(IntegerOr(catalogue->Cell(row, type), 0));
    const auto object_flags = static_cast<std::uint32_t>(
        flags == Table::npos ? 0 : IntegerOr(catalogue->Cell(row, flags), 0));
    if ((object_type & msys::kTypeMask) != msys::kTableObjectType) continue;
    if ((object_flags & msys::kHiddenFlags) != 0) continue;
    const auto object_id = static_cast<std::uint32_t>(IntegerOr(catalogue->Cell(row, id), 0));
    const Value object_name = catalogue->Cell(row, name);
    if (object_name.kind != ValueKind::kText) return Error::kSystemCatalogueMalformed;
    if (rows.size() >= kMaxTables) return Error::kTooManyTables;
    rows.push_back({std::string(object_name.text), object_id & msys::kIdPageMask});
  }
  return rows;
}

}  // namespace

base::Result<Database, Error> Database::Open(std::span<const std::uint8_t> file, std::u16string_view password) {
  if (file.size() > kMaxFileSize) return Error::kFileTooLarge;
  auto header = DecodeHeader(file);
  if (!header) return header.error();
  if (!PasswordMatches(*header, password)) return Error::kWrongPassword;
  if (header->page_key != 0) return Error::kPagesEncrypted;
  if (file.size() % header->layout->page_size != 0) return Error::kFileSizeNotPageMultiple;

  const PageFile pages(file, *header->layout);
  DecodeBudget budget(file.size());
  auto listed = ListUserTables(pages, budget);
  if (!listed) return listed.error();

  Database database;
  database.header_ = std::move(*header);
  std::vector<std::uint32_t> seen_pages;
  for (auto& row : *listed) {
    TableEntry entry;
    entry.name = row.name;
    entry.definition_page = row.definition_page;
    // Two catalogue rows naming one definition would make the same rows count twice.
    if (std::find(seen_pages.begin(), seen_pages.end(), row.definition_page) != seen_pages.end()) {
      entry.error = Error::kSystemCatalogueMalformed;
    } else {
      seen_pages.push_back(row.definition_page);
      auto table = ReadTable(pages, row.definition_page, row.name, budget);
      if (table) {
        entry.table = std::make_shared<const Table>(std::move(*table));
      } else {
        entry.error = table.error();
      }
    }
    database.tables_.push_back(std::move(entry));
  }
  return database;
}

const TableEntry* Database::FindTable(std::string_view name) const {
  for (const auto& entry : tables_) {
    if (NamesEqual(entry.name, name)) return &entry;
  }
  return nullptr;
}

}  // namespace movarin::catalogue::jet
