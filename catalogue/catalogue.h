// The catalogue database as the program sees it: an open connection to a read-only Jet 4
// (.mdb) file, queries in the small SQL subset the program uses, and errors in the words
// and numbers of the database provider, so the Retry/Cancel box can show them unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace movarin::catalogue {

namespace jet {
class Database;
class Table;
}  // namespace jet

namespace detail {
struct OpenDatabase;
struct ResultTable;
}  // namespace detail

// An error as the database provider reports it: number and description, e.g.
// "Could not find file '<path>'.", "Not a valid password.",
// "Unrecognized database format '<path>'." or a syntax-error text for a bad query.
struct ProviderError {
  std::int32_t number = 0;
  std::string description;
};

// The rows of one query. Fields are addressed by row and column position and read as
// UTF-8 text; NULL reads as "". Keeps the decoded table alive on its own, so it stays
// valid after the connection is gone.
class RecordSet {
 public:
  RecordSet() = default;

  std::size_t RecordCount() const { return rows_.size(); }
  std::size_t FieldCount() const;
  std::string_view Field(std::size_t row, std::size_t column) const;
  // For a reader going through the rows in order: call before reading `row`, and the rows
  // that follow are fetched into the cache ahead of their turn. Only a hint: reading a
  // sorted result otherwise waits on memory at almost every row.
  void ReadAhead(std::size_t row) const;
  // Column names, in position order.
  std::string_view FieldName(std::size_t column) const;

 private:
  friend class Connection;
  std::shared_ptr<const jet::Table> table_;
  std::vector<std::uint32_t> rows_;  // row numbers in the table, in result order
};

// An open catalogue. The whole file is read and decoded once, at open, and not kept open;
// queries then run on the decoded rows. Cheap to copy (the decoded data is shared and immutable).
class Connection {
 public:
  static base::Result<Connection, ProviderError> Open(const std::string& path_utf8,
                                                      std::string_view password);
  // The same from bytes already in memory; path_for_messages only appears in error texts.
  static base::Result<Connection, ProviderError> OpenBytes(
      std::vector<std::uint8_t> bytes, std::string_view password,
      const std::string& path_for_messages);

  // Runs "SELECT * FROM t [WHERE col Like '...'] [ORDER BY col [ASC|DESC]]".
  base::Result<RecordSet, ProviderError> Execute(std::string_view sql) const;

  // Builds what a prefix search of this column needs (it is otherwise built by the first
  // such search), so that a program can do it while it waits for the user. Does nothing
  // when the table or the column is missing.
  void PrepareSearch(std::string_view table, std::string_view column) const;

  // The user tables, in catalogue order.
  std::vector<std::string> TableNames() const;

  // The typed rows of one table (for export); a provider error when the table is missing
  // or could not be decoded.
  base::Result<std::shared_ptr<const jet::Table>, ProviderError> Table(
      std::string_view name) const;

  // One table as CSV, exactly as `mdb-export <file> <table>` prints it by default.
  base::Result<std::string, ProviderError> ExportCsv(std::string_view table) const;

 private:
  explicit Connection(std::shared_ptr<detail::OpenDatabase> db) : db_(std::move(db)) {}
  static base::Result<Connection, ProviderError> OpenDecoded(std::span<const std::uint8_t> bytes,
                                                             std::string_view password,
                                                             const std::string& path_for_messages);
  base::Result<RecordSet, ProviderError> ExecuteQuery(std::string_view sql) const;
  std::shared_ptr<detail::OpenDatabase> db_;
};

// The search query for a typed text. Apostrophes are doubled, so a name containing one
// is searched for instead of breaking the query.
std::string SearchQuery(std::string_view typed_text);

inline constexpr std::string_view kWholeCatalogueQuery =
    "SELECT * FROM Files ORDER BY Filename ASC";
inline constexpr std::string_view kCataloguePassword = "pelvornastikude";

}  // namespace movarin::catalogue
