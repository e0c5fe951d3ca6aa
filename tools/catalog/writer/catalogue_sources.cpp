#include "tools/catalog/writer/catalogue_sources.h"

#include <algorithm>
#include <system_error>

#include "base/ascii.h"
#include "base/files.h"
#include "base/sha256.h"
#include "pe/pe_version.h"

namespace movarin::tools::catalog_writer {
namespace {

// Libraries are small; anything larger than this is not one.
constexpr std::size_t kMaxLibraryBytes = std::size_t{1} << 30;

}  // namespace

bool IsCatalogueFileName(std::string_view name) {
  if (name.size() < 5) return false;
  const std::string_view extension = name.substr(name.size() - 4);
  return base::EqualsIgnoringAsciiCase(extension, ".dll") || base::EqualsIgnoringAsciiCase(extension, ".ocx");
}

void SortByFileName(std::vector<CatalogueEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const CatalogueEntry& a, const CatalogueEntry& b) {
    if (base::LessIgnoringAsciiCase(a.filename, b.filename)) return true;
    if (base::LessIgnoringAsciiCase(b.filename, a.filename)) return false;
    return a.filename < b.filename;
  });
}

base::Result<FolderScan, FolderError> ScanFolder(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    return FolderError{"cannot find the folder '" + base::PathToUtf8(folder) + "'"};
  }
  FolderScan scan;
  fs::directory_iterator it(folder, error);
  if (error) return FolderError{"cannot list '" + base::PathToUtf8(folder) + "': " + error.message()};
  for (; it != fs::directory_iterator(); it.increment(error)) {
    const std::string name = base::PathToUtf8(it->path().filename());
    std::error_code kind_error;
    if (!IsCatalogueFileName(name) || !it->is_regular_file(kind_error)) continue;
    const std::string path = base::PathToUtf8(it->path());
    const auto bytes = base::ReadWholeFile(path, kMaxLibraryBytes);
    if (!bytes) return FolderError{"cannot read '" + path + "' for its sha256"};
    const std::string sha256 = base::Sha256ToHex(base::Sha256::Of(*bytes));
    auto version = pe::ReadFileVersionOfFile(path);
    if (!version) {
      scan.warnings.push_back(name + ": " + std::string(pe::PeErrorText(version.error())));
      scan.entries.push_back({name, "", sha256});
    } else {
      scan.entries.push_back({name, std::move(*version), sha256});
    }
  }
  if (error) return FolderError{"cannot list '" + base::PathToUtf8(folder) + "': " + error.message()};
  SortByFileName(scan.entries);
  return scan;
}

base::Result<CsvCatalogue, CsvError> ParseCatalogueCsv(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  CsvCatalogue catalogue;
  std::vector<CatalogueEntry>& entries = catalogue.entries;
  std::size_t line = 1;
  std::size_t i = 0;
  bool first_record = true;
  while (i < text.size()) {
    const std::size_t record_line = line;
    std::vector<std::string> fields(1);
    bool record_has_text = false;
    // One record: fields until an unquoted line end or the end of the text.
    while (i < text.size()) {
      const char ch = text[i];
      if (ch == '"' && fields.back().empty()) {
        record_has_text = true;
        ++i;
        bool closed = false;
        while (i < text.size()) {
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              fields.back() += '"';
              i += 2;
              continue;
            }
            ++i;
            closed = true;
            break;
          }
          if (text[i] == '\n') ++line;
          fields.back() += text[i++];
        }
        if (!closed) return CsvError{record_line, "a quoted field is not closed"};
        if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
          return CsvError{line, "text after a closing quote"};
        }
        continue;
      }
      if (ch == ',') {
        record_has_text = true;
        fields.emplace_back();
        ++i;
        continue;
      }
      if (ch == '\r' || ch == '\n') {
        if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
        break;
      }
      record_has_text = true;
      fields.back() += ch;
      ++i;
    }
    if (!record_has_text) continue;  // empty line
    if (fields.size() > 3) {
      return CsvError{record_line, "expected Filename,Version,sha256 but found " +
                                       std::to_string(fields.size()) + " fields"};
    }
    if (fields.size() == 3) catalogue.has_sha256 = true;
    fields.resize(3);
    const bool header = first_record && base::EqualsIgnoringAsciiCase(fields[0], kFilenameColumn) &&
                        base::EqualsIgnoringAsciiCase(fields[1], kVersionColumn) &&
                        (fields[2].empty() || base::EqualsIgnoringAsciiCase(fields[2], kSha256Column));
    first_record = false;
    if (header) continue;
    if (fields[0].empty()) return CsvError{record_line, "the file name is empty"};
    if (!fields[2].empty() && !base::Sha256FromHex(fields[2])) {
      return CsvError{record_line, "the sha256 is not 64 hexadecimal digits"};
    }
    entries.push_back({std::move(fields[0]), std::move(fields[1]), std::move(fields[2])});
  }
  return catalogue;
}

}  // namespace movarin::tools::catalog_writer
