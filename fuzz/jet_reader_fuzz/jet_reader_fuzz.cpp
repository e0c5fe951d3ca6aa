// Any bytes as a database file: open it (with the password its own header holds, so the
// fuzzer gets past the password check), list every table, export each, and run the
// program's queries. Nothing may crash, leak or hang.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/jet/header.h"
#include "catalogue/jet/text_decoding.h"

using namespace movarin::catalogue;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  std::string password(kCataloguePassword);
  if (auto header = jet::DecodeHeader(bytes)) {
    password.clear();
    std::vector<std::uint8_t> units;
    for (char16_t unit : header->password) {
      units.push_back(static_cast<std::uint8_t>(unit));
      units.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    jet::AppendUtf16LeAsUtf8(units, password);
  }
  auto opened = Connection::OpenBytes(std::move(bytes), password, "fuzz.mdb");
  if (!opened) return 0;
  const Connection* connection = &*opened;
  for (const auto& table : connection->TableNames()) {
    (void)connection->ExportCsv(table);
    std::string quoted;
    for (char c : table) {
      if (c == ']') continue;
      quoted.push_back(c);
    }
    auto rows = connection->Execute("SELECT * FROM [" + quoted + "]");
    if (rows && rows->FieldCount() > 0) {
      const std::string column(rows->FieldName(0));
      if (column.find(']') == std::string::npos) {
        (void)connection->Execute("SELECT * FROM [" + quoted + "] ORDER BY [" + column + "] DESC");
        (void)connection->Execute("SELECT * FROM [" + quoted + "] WHERE [" + column + "] Like 'a%'");
      }
    }
  }
  (void)connection->Execute(kWholeCatalogueQuery);
  (void)connection->Execute(SearchQuery("a"));
  (void)connection->Execute(SearchQuery("%[!a-m]_"));
  return 0;
}
