// A table as CSV, in the exact default output of `mdb-export <file> <table>`, so the
// `export` command can be compared byte for byte with that independent reader.
#pragma once

#include <string>

#include "catalogue/jet/table.h"

namespace movarin::catalogue {

// Header line of column names, then one line per row, each ended by "\n". Texts, memos,
// dates, GUIDs and binary values are quoted with '"' (inner quotes doubled); numbers,
// booleans (1/0) and NULLs (empty) are not. Texts and binary values end at their first
// zero byte, OLE objects are printed whole (both as mdb-export does).
std::string ExportCsv(const jet::Table& table);

// One value as that export prints it (without the quotes).
std::string ExportText(const jet::Value& value);
bool ExportQuoted(const jet::Value& value);

}  // namespace movarin::catalogue
