// Memo and OLE values: a 12-byte field in the row that holds the value inline or points
// to one or more rows on long-value ("LVAL") pages.
#pragma once

#include <cstdint>
#include <vector>

#include "base/byte_reader.h"
#include "catalogue/jet/decode_budget.h"
#include "catalogue/jet/jet_error.h"
#include "catalogue/jet/page_file.h"

namespace movarin::catalogue::jet {

// The stored bytes of a long value. The chain of parts is followed with loop detection,
// and its total must equal the length the field announces.
base::Result<std::vector<std::uint8_t>, Error> ReadLongValue(const PageFile& file, const base::ByteReader& field,
                                                DecodeBudget& budget);

}  // namespace movarin::catalogue::jet
