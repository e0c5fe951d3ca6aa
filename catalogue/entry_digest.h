// The expected SHA-256 of a catalogue entry. The table Files may carry a column sha256
// after its first two (name and version), holding 64 hexadecimal digits, or nothing for
// an entry whose digest is not known. Catalogues without the column read as before.
#pragma once

#include <cstddef>
#include <string_view>

#include "catalogue/catalogue.h"

namespace movarin::catalogue {

inline constexpr std::string_view kSha256ColumnName = "sha256";
inline constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

// The position of the sha256 column in rows of Files; kNoColumn when the catalogue has
// none. The first two positions never count: they are the name and the version whatever
// their names.
std::size_t Sha256Column(const RecordSet& records);

// The text of that column in one row, as stored (untrimmed); empty when the catalogue
// has no such column or the value is NULL.
std::string_view EntrySha256Text(const RecordSet& records, std::size_t row);

}  // namespace movarin::catalogue
