#include "catalogue/catalogue.h"

#include <new>
#include <optional>
#include <stdexcept>

#include "base/files.h"
#include "base/read_only_file.h"
#include "base/utf.h"

#include "catalogue/export_csv.h"
#include "catalogue/jet/database.h"
#include "catalogue/provider_errors.h"
#include "catalogue/query/like_pattern.h"
#include "catalogue/query/sql_parser.h"
#include "catalogue/query/table_queries.h"

namespace movarin::catalogue {

namespace detail {

// The decoded database and, per user table, its query runner (null when the table could
// not be decoded).
struct OpenDatabase {
  jet::Database database;
  std::string path;
  std::vector<std::unique_ptr<query::TableQueries>> queries;
};

}  // namespace detail

std::size_t RecordSet::FieldCount() const { return table_ ? table_->columns.size() : 0; }

std::string_view RecordSet::Field(std::size_t row, std::size_t column) const {
  if (!table_ || row >= rows_.size() || column >= table_->columns.size()) return {};
  return table_->Cell(rows_[row], column).text;
}

void RecordSet::ReadAhead(std::size_t row) const {
  // Cells two steps ahead, texts one step: a text's place is known once its cell is in.
  constexpr std::size_t kCellsAhead = 16;
  constexpr std::size_t kTextsAhead = 8;
  if (!table_) return;
  if (row + kCellsAhead < rows_.size()) table_->PrefetchCells(rows_[row + kCellsAhead]);
  if (row + kTextsAhead < rows_.size()) table_->PrefetchTexts(rows_[row + kTextsAhead]);
}

std::string_view RecordSet::FieldName(std::size_t column) const {
  if (!table_ || column >= table_->columns.size()) return {};
  return table_->columns[column].name;
}

base::Result<Connection, ProviderError> Connection::Open(const std::string& path_utf8,
                                                         std::string_view password) {
  // Only needed while the rows are decoded: the file is not held open afterwards.
  auto file = base::ReadOnlyFile::Open(path_utf8, jet::kMaxFileSize);
  if (!file) {
    switch (file.error()) {
      case base::FileReadError::kNotFound:
        return MakeProviderError(ProviderFault::kFileNotFound, path_utf8);
      case base::FileReadError::kTooLarge:
        return MakeProviderError(ProviderFault::kFileTooLarge, path_utf8);
      case base::FileReadError::kUnreadable:
        return MakeProviderError(ProviderFault::kFileUnreadable, path_utf8);
    }
  }
  return OpenDecoded(file->bytes(), password, path_utf8);
}

base::Result<Connection, ProviderError> Connection::OpenBytes(std::vector<std::uint8_t> bytes,
                                                              std::string_view password,
                                                              const std::string& path_for_messages) {
  return OpenDecoded(bytes, password, path_for_messages);
}

base::Result<Connection, ProviderError> Connection::OpenDecoded(std::span<const std::uint8_t> bytes,
                                                                std::string_view password,
                                                                const std::string& path_for_messages) {
  // A file too large for this process's memory is an error like any other, not an abort.
  try {
    auto database = jet::Database::Open(bytes, base::Utf8ToUtf16(password));
    if (!database) return OpenError(database.error(), path_for_messages);
    auto open = std::make_shared<detail::OpenDatabase>();
    open->database = std::move(*database);
    open->path = path_for_messages;
    for (const auto& entry : open->database.tables()) {
      open->queries.push_back(entry.table ? std::make_unique<query::TableQueries>(entry.table)
                                          : nullptr);
    }
    return Connection(std::move(open));
  } catch (const std::bad_alloc&) {
    return MakeProviderError(ProviderFault::kOutOfMemory);
  } catch (const std::length_error&) {
    return MakeProviderError(ProviderFault::kOutOfMemory);
  }
}

std::vector<std::string> Connection::TableNames() const {
  std::vector<std::string> names;
  for (const auto& entry : db_->database.tables()) names.push_back(entry.name);
  return names;
}

base::Result<std::shared_ptr<const jet::Table>, ProviderError> Connection::Table(
    std::string_view name) const {
  const jet::TableEntry* entry = db_->database.FindTable(name);
  if (!entry) return MakeProviderError(ProviderFault::kUnknownTable, name);
  if (!entry->table) return MakeProviderError(ProviderFault::kNeedsRepair, db_->path);
  return entry->table;
}

base::Result<std::string, ProviderError> Connection::ExportCsv(std::string_view table) const {
  auto found = Table(table);
  if (!found) return found.error();
  return catalogue::ExportCsv(**found);
}

base::Result<RecordSet, ProviderError> Connection::Execute(std::string_view sql) const {
  try {
    return ExecuteQuery(sql);
  } catch (const std::bad_alloc&) {
    return MakeProviderError(ProviderFault::kOutOfMemory);
  } catch (const std::length_error&) {
    return MakeProviderError(ProviderFault::kOutOfMemory);
  }
}

void Connection::PrepareSearch(std::string_view table_name, std::string_view column) const {
  const jet::TableEntry* entry = db_->database.FindTable(table_name);
  if (!entry || !entry->table) return;
  const std::size_t index = entry->table->FindColumn(column);
  if (index == jet::Table::npos) return;
  const auto& tables = db_->database.tables();
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (&tables[i] == entry) db_->queries[i]->PrepareIndex(index);
  }
}

base::Result<RecordSet, ProviderError> Connection::ExecuteQuery(std::string_view sql) const {
  auto parsed = query::ParseSelect(sql);
  if (!parsed) return SyntaxProviderError(parsed.error());
  const query::SelectQuery& select = *parsed;

  const auto& tables = db_->database.tables();
  const query::TableQueries* runner = nullptr;
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (db_->database.FindTable(select.table) == &tables[i]) {
      if (!tables[i].table) return MakeProviderError(ProviderFault::kNeedsRepair, db_->path);
      runner = db_->queries[i].get();
      break;
    }
  }
  if (!runner) return MakeProviderError(ProviderFault::kUnknownTable, select.table);
  const jet::Table& table = *runner->table();

  std::size_t where_column = jet::Table::npos;
  std::optional<query::LikePattern> pattern;
  if (select.where) {
    where_column = table.FindColumn(select.where->column);
    if (where_column == jet::Table::npos) return MakeProviderError(ProviderFault::kUnknownColumn);
    auto compiled = query::LikePattern::Compile(select.where->pattern);
    if (!compiled) return MakeProviderError(ProviderFault::kInvalidPattern);
    pattern = std::move(*compiled);
  }
  std::size_t order_column = jet::Table::npos;
  if (select.order) {
    order_column = table.FindColumn(select.order->column);
    if (order_column == jet::Table::npos) return MakeProviderError(ProviderFault::kUnknownColumn);
  }

  std::vector<std::uint32_t> rows;
  if (pattern) {
    rows = runner->Filter(where_column, *pattern);
    if (select.order) runner->Sort(rows, order_column, select.order->descending);
  } else if (select.order) {
    rows = runner->SortedRows(order_column, select.order->descending);
  } else {
    rows = runner->AllRows();
  }
  RecordSet result;
  result.table_ = runner->table();
  result.rows_ = std::move(rows);
  return result;
}

std::string SearchQuery(std::string_view typed_text) {
  std::string query = "SELECT * FROM Files WHERE Filename Like '";
  for (const char c : typed_text) {
    if (c == '\'') query.push_back('\'');
    query.push_back(c);
  }
  query += "%'";
  return query;
}

}  // namespace movarin::catalogue
