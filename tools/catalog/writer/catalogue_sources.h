// Where the rows of a new catalogue come from: the .dll and .ocx files of a folder, or a
// CSV file of Filename,Version rows.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "tools/catalog/writer/jet_writer.h"

namespace movarin::tools::catalog_writer {

// True for names ending in ".dll" or ".ocx" in any letter case.
bool IsCatalogueFileName(std::string_view name);

// Orders entries by file name without regard to ASCII letter case (then byte by byte, so
// the order is total), the order the catalogue keeps its rows in.
void SortByFileName(std::vector<CatalogueEntry>& entries);

struct FolderScan {
  std::vector<CatalogueEntry> entries;  // sorted by file name
  // One line per file whose version could not be read ("name: reason"); those files are
  // still listed, with an empty version.
  std::vector<std::string> warnings;
};
struct FolderError {
  std::string message;
};
// Every regular file (or link to one) named *.dll or *.ocx directly inside folder, with
// its version from the version resource ("" when it has none).
base::Result<FolderScan, FolderError> ScanFolder(const std::filesystem::path& folder);

struct CsvError {
  std::size_t line = 0;  // 1-based
  std::string message;
};
// Rows of one or two fields: Filename[,Version]. Fields may be quoted ("a ""b"".dll");
// empty lines, a UTF-8 byte order mark and a first row naming the columns
// ("Filename,Version", as mdb-export prints it) are skipped.
base::Result<std::vector<CatalogueEntry>, CsvError> ParseCatalogueCsv(std::string_view text);

}  // namespace movarin::tools::catalog_writer
