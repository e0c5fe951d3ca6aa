// Writes a catalogue database: a Jet 4 (.mdb) file with one user table, Files
// (Filename Text(255), Version Text(255) and, when asked for, sha256 Text(64) after
// them), whose rows appear in the order given, the
// database password kept in the header as Jet 4 keeps it, and no page encryption.
// The file is written beside its destination under a temporary name and renamed into
// place only when complete, so a failed build never destroys an older catalogue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace movarin::tools::catalog_writer {

struct CatalogueEntry {
  std::string filename;  // UTF-8
  std::string version;   // UTF-8; "" when the file has no version
  // The file's SHA-256 as 64 hexadecimal digits (stored in lower case); "" when it is
  // not known, which stores NULL.
  std::string sha256 = {};
};

inline constexpr std::string_view kFilesTable = "Files";
inline constexpr std::string_view kFilenameColumn = "Filename";
inline constexpr std::string_view kVersionColumn = "Version";
// The third column. Readers that take the columns by position see the first two as
// they always were.
inline constexpr std::string_view kSha256Column = "sha256";
inline constexpr std::size_t kSha256TextUnits = 64;
inline constexpr std::size_t kMaxTextUnits = 255;      // Text(255): UTF-16 units
inline constexpr std::size_t kMaxPasswordUnits = 20;   // what the header field holds

struct CatalogueOptions {
  std::string password = "pelvornastikude";  // UTF-8; "" writes a file without password
  // Days since 1899-12-30 (the Jet date scale); the current time when absent.
  std::optional<double> creation_date;
  // Writes the sha256 column even when no entry has a digest (an entry that has one
  // always brings it); without it the table has the first two columns only.
  bool sha256_column = false;
};

enum class WriteError : std::uint8_t {
  kPasswordTooLong,
  kPasswordNotUtf8,
  kTextNotUtf8,
  kTextTooLong,
  kTextStartsWithByteOrderMark,
  kBadSha256,
  kBadCreationDate,
  kTooLarge,
  kCannotCreate,
  kCannotWrite,
  kCannotReplace,
};
std::string_view WriteErrorText(WriteError error);

struct WriteFailure {
  WriteError error = WriteError::kCannotWrite;
  std::size_t row = 0;  // 1-based entry number for errors about one entry, else 0
  std::string detail;   // the path or the system's reason, when there is one
  // The error text with its entry number and detail, e.g.
  // "text is not valid UTF-8 (entry 3)".
  std::string Message() const;
};

// Receives the file's pages in order; returns false when it could not store one.
using PageSink = std::function<bool(std::span<const std::uint8_t> page)>;

// Checks every entry first and emits nothing unless all are valid.
base::Result<void, WriteFailure> EmitCatalogue(std::span<const CatalogueEntry> entries,
                                               const CatalogueOptions& options,
                                               const PageSink& sink);

// The whole file in memory.
base::Result<std::vector<std::uint8_t>, WriteFailure> BuildCatalogueImage(
    std::span<const CatalogueEntry> entries, const CatalogueOptions& options);

// Writes the file at path (UTF-8), replacing an existing one only on success.
base::Result<void, WriteFailure> WriteCatalogueFile(const std::string& path_utf8,
                                                    std::span<const CatalogueEntry> entries,
                                                    const CatalogueOptions& options);

}  // namespace movarin::tools::catalog_writer
