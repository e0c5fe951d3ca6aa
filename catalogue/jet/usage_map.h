// Usage maps: the bitmaps that say which pages a table owns.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue/jet/jet_error.h"
#include "catalogue/jet/page_file.h"

namespace movarin::catalogue::jet {

// The pages named by the map stored at `stored_pointer` (page << 8 | row), ascending and
// without duplicates. Every page must exist in the file.
base::Result<std::vector<std::uint32_t>, Error> ReadUsageMap(const PageFile& file, std::uint32_t stored_pointer);

}  // namespace movarin::catalogue::jet
