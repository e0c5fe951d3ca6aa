// Where the rows of a new catalogue come from: the .dll and .ocx files of a folder, or a
// CSV file of Filename,Version[,sha256] rows.
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
// its version from the version resource ("" when it has none) and its SHA-256. A file
// that cannot be read for its digest fails the scan: a catalogue must not promise a
// digest it did not compute.
base::Result<FolderScan, FolderError> ScanFolder(const std::filesystem::path& folder);

struct CsvError {
  std::size_t line = 0;  // 1-based
  std::string message;
};
struct CsvCatalogue {
  std::vector<CatalogueEntry> entries;
  // A row had a third field, or the first row named a third column "sha256".
  bool has_sha256 = false;
};
// Rows of one to three fields: Filename[,Version[,sha256]]. Fields may be quoted
// ("a ""b"".dll"); empty lines, a UTF-8 byte order mark and a first row naming the
// columns ("Filename,Version[,sha256]", as mdb-export prints it) are skipped. A sha256
// field is empty (no digest) or exactly 64 hexadecimal digits.
base::Result<CsvCatalogue, CsvError> ParseCatalogueCsv(std::string_view text);

}  // namespace movarin::tools::catalog_writer
