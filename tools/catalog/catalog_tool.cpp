#include "tools/catalog/catalog_tool.h"

#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/files.h"
#include "catalogue/catalogue.h"
#include "catalogue/entry_digest.h"
#include "tools/catalog/publish.h"
#include "tools/catalog/writer/catalogue_sources.h"
#include "tools/catalog/writer/jet_writer.h"

namespace movarin::tools {
namespace {

namespace cat = movarin::catalogue;
namespace wr = movarin::tools::catalog_writer;

constexpr std::string_view kUsage =
    "usage:\n"
    "  movarin-catalog build <folder> -o <database.mdb> [--password <p>]\n"
    "      one row per .dll/.ocx file of the folder, sorted by name, with its file version\n"
    "      and its sha256\n"
    "  movarin-catalog build --from-csv <file.csv> -o <database.mdb> [--password <p>]\n"
    "      one row per Filename,Version[,sha256] line of the CSV file, in file order\n"
    "  movarin-catalog list <database.mdb> [--password <p>]\n"
    "  movarin-catalog search <database.mdb> <text> [--password <p>]\n"
    "  movarin-catalog export <database.mdb> <table> [--password <p>]\n"
    "  movarin-catalog publish <folder> <site folder> [--version N] [--password <p>]\n"
    "      a catalogue server's site: database.mdb, files/, checkversion.php naming\n"
    "      program version N, and sponsor pages to edit (Ads2.htm, sponsor.htm)\n"
    "The password defaults to the catalogue's own.\n";

struct Arguments {
  std::vector<std::string> positional;
  std::optional<std::string> output;    // -o
  std::optional<std::string> from_csv;  // --from-csv
  std::optional<std::string> password;  // --password
  std::optional<std::string> version;   // --version (publish)
};

// Nullopt on an unknown option or an option without its value.
std::optional<Arguments> Parse(std::span<const std::string> args) {
  Arguments parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::optional<std::string>* target = nullptr;
    if (arg == "-o" || arg == "--output") target = &parsed.output;
    else if (arg == "--from-csv") target = &parsed.from_csv;
    else if (arg == "--password") target = &parsed.password;
    else if (arg == "--version") target = &parsed.version;
    else if (arg.size() > 1 && arg[0] == '-') return std::nullopt;
    if (target == nullptr) {
      parsed.positional.push_back(arg);
      continue;
    }
    if (i + 1 >= args.size() || target->has_value()) return std::nullopt;
    *target = args[++i];
  }
  return parsed;
}

int Usage(std::ostream& err, std::string_view problem) {
  err << "movarin-catalog: " << problem << "\n" << kUsage;
  return kExitUsage;
}

int Failed(std::ostream& err, std::string_view message) {
  err << "movarin-catalog: " << message << "\n";
  return kExitFailed;
}

int ProviderFailure(std::ostream& err, const cat::ProviderError& error) {
  err << "Error No.:" << error.number << " Description:" << error.description << "\n";
  return kExitFailed;
}

// A CSV source larger than this is refused rather than read.
constexpr std::size_t kMaxCsvBytes = std::size_t{1} << 30;

int Build(const Arguments& a, std::ostream& out, std::ostream& err) {
  if (!a.output) return Usage(err, "build needs -o <database.mdb>");
  std::vector<wr::CatalogueEntry> entries;
  wr::CatalogueOptions options;
  if (a.from_csv) {
    if (a.positional.size() != 1) return Usage(err, "build --from-csv takes no folder");
    const auto bytes = base::ReadWholeFile(*a.from_csv, kMaxCsvBytes);
    if (!bytes) return Failed(err, "cannot read '" + *a.from_csv + "'");
    auto parsed = wr::ParseCatalogueCsv(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!parsed) {
      return Failed(err, *a.from_csv + ":" + std::to_string(parsed.error().line) + ": " +
                             parsed.error().message);
    }
    entries = std::move(parsed->entries);
    options.sha256_column = parsed->has_sha256;
  } else {
    if (a.positional.size() != 2) return Usage(err, "build needs one folder");
    auto scan = wr::ScanFolder(base::PathFromUtf8(a.positional[1]));
    if (!scan) return Failed(err, scan.error().message);
    auto& found = *scan;
    for (const std::string& warning : found.warnings) {
      err << "movarin-catalog: warning: " << warning << "; its version is left empty\n";
    }
    entries = std::move(found.entries);
    options.sha256_column = true;
  }

  if (a.password) options.password = *a.password;
  const auto written = wr::WriteCatalogueFile(*a.output, entries, options);
  if (!written) {
    const wr::WriteFailure& failure = written.error();
    std::string message = failure.Message();
    if (failure.row != 0 && failure.row <= entries.size()) {
      message += " [" + entries[failure.row - 1].filename + "]";
    }
    return Failed(err, message);
  }
  out << "wrote " << entries.size() << (entries.size() == 1 ? " file" : " files") << " to "
      << *a.output << "\n";
  return kExitOk;
}

std::optional<cat::Connection> OpenOrReport(const Arguments& a, std::ostream& err) {
  const std::string_view password = a.password ? std::string_view(*a.password) : cat::kCataloguePassword;
  auto opened = cat::Connection::Open(a.positional[1], password);
  if (!opened) {
    ProviderFailure(err, opened.error());
    return std::nullopt;
  }
  return std::move(*opened);
}

// Runs a query and prints "name<TAB>version" per row (with "<TAB>sha256" when the
// catalogue has that column), then the record count.
int ListQuery(const Arguments& a, std::string_view sql, std::ostream& out, std::ostream& err) {
  auto connection = OpenOrReport(a, err);
  if (!connection) return kExitFailed;
  auto result = connection->Execute(sql);
  if (!result) return ProviderFailure(err, result.error());
  const cat::RecordSet& records = *result;
  const bool has_version = records.FieldCount() > 1;
  const std::size_t sha256_column = cat::Sha256Column(records);
  // A catalogue has up to hundreds of thousands of rows: they go out in blocks of this
  // size, so the output needs neither one write per row nor the whole listing in memory.
  constexpr std::size_t kBlockBytes = 64 * 1024;
  std::string block;
  block.reserve(kBlockBytes + 512);
  for (std::size_t row = 0; row < records.RecordCount(); ++row) {
    records.ReadAhead(row);
    block += records.Field(row, 0);
    block += '\t';
    if (has_version) block += records.Field(row, 1);
    if (sha256_column != cat::kNoColumn) {
      block += '\t';
      block += records.Field(row, sha256_column);
    }
    block += '\n';
    if (block.size() >= kBlockBytes) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  block += std::to_string(records.RecordCount());
  block += '\n';
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
  out.flush();
  if (!out) return Failed(err, "cannot write the listing");
  return kExitOk;
}

int Export(const Arguments& a, std::ostream& out, std::ostream& err) {
  auto connection = OpenOrReport(a, err);
  if (!connection) return kExitFailed;
  auto csv = connection->ExportCsv(a.positional[2]);
  if (!csv) return ProviderFailure(err, csv.error());
  out << *csv;
  return kExitOk;
}

}  // namespace

int RunCatalogTool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const auto parsed = Parse(args);
  if (!parsed) return Usage(err, "unknown option or option without a value");
  const Arguments& a = *parsed;
  if (a.positional.empty()) return Usage(err, "no command");
  const std::string& command = a.positional[0];
  const bool build = command == "build";
  if (!build && (a.output || a.from_csv)) return Usage(err, "-o and --from-csv belong to build");
  if (a.version && command != "publish") return Usage(err, "--version belongs to publish");
  if (build) return Build(a, out, err);
  if (command == "publish") {
    if (a.positional.size() != 3) return Usage(err, "publish needs a folder and a site folder");
    PublishOptions options;
    options.password = a.password;
    if (a.version) {
      options.version = ParseSiteVersion(*a.version);
      if (!options.version) return Usage(err, "--version needs a number from 0 to 32767");
    }
    return PublishSite(base::PathFromUtf8(a.positional[1]), base::PathFromUtf8(a.positional[2]),
                       options, out, err);
  }
  if (command == "list" && a.positional.size() == 2) {
    return ListQuery(a, cat::kWholeCatalogueQuery, out, err);
  }
  if (command == "search" && a.positional.size() == 3) {
    return ListQuery(a, cat::SearchQuery(a.positional[2]), out, err);
  }
  if (command == "export" && a.positional.size() == 3) return Export(a, out, err);
  if (command == "list" || command == "search" || command == "export") {
    return Usage(err, "wrong number of arguments for " + command);
  }
  return Usage(err, "unknown command '" + command + "'");
}

}  // namespace movarin::tools
