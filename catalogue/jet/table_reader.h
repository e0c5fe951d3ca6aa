// Reads every row of one table: its definition, the data pages its usage map names, and
// each row's columns.
#pragma once

#include <cstdint>
#include <string>

#include "catalogue/jet/decode_budget.h"
#include "catalogue/jet/jet_error.h"
#include "catalogue/jet/page_file.h"
#include "catalogue/jet/table.h"

namespace movarin::catalogue::jet {

// Rows an overflow pointer may lead through before the reader calls it a loop.
inline constexpr int kMaxOverflowHops = 4;

base::Result<Table, Error> ReadTable(const PageFile& file, std::uint32_t definition_page, std::string name,
                        DecodeBudget& budget);

}  // namespace movarin::catalogue::jet
