// A whole Jet database decoded at once: header checks, the system catalogue, and every
// user table's rows. The file bytes are not needed afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/jet/header.h"
#include "catalogue/jet/jet_error.h"
#include "catalogue/jet/table.h"

namespace movarin::catalogue::jet {

// A Jet 4 file cannot exceed 2 GiB; a 32-bit process cannot hold one that large, so the
// reader stops well below.
inline constexpr std::size_t kMaxFileSize = std::size_t{1} << 30;
inline constexpr std::size_t kMaxTables = 4096;

// One user table as listed in the system catalogue. A table whose pages cannot be decoded
// is still listed, with the reason; the rest of the database stays usable.
struct TableEntry {
  std::string name;
  std::uint32_t definition_page = 0;
  std::shared_ptr<const Table> table;  // null when decoding failed
  std::optional<Error> error;              // why it is null
};

class Database {
 public:
  // Checks the header and password, then decodes the catalogue and every user table.
  // A database without a password accepts any password.
  static base::Result<Database, Error> Open(std::span<const std::uint8_t> file, std::u16string_view password);

  const Header& header() const { return header_; }
  const std::vector<TableEntry>& tables() const { return tables_; }
  // Case-insensitive lookup; null when there is no such user table.
  const TableEntry* FindTable(std::string_view name) const;

 private:
  Header header_;
  std::vector<TableEntry> tables_;
};

}  // namespace movarin::catalogue::jet
