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

// What a damaged page or row does to the reading of its table.
enum class DamagedRows {
  kFailTable,  // the table is not read (every user table: its data is all or nothing)
  kSkip,       // the page or row is passed over (the system catalogue: one damaged row must
               // not hide the tables that the others name)
};

// The table's definition, usage map and size limits must hold in either case.
base::Result<Table, Error> ReadTable(const PageFile& file, std::uint32_t definition_page, std::string name,
                                     DecodeBudget& budget, DamagedRows damaged = DamagedRows::kFailTable);

}  // namespace movarin::catalogue::jet
