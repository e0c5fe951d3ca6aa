#include "tools/catalog/publish.h"

#include <charconv>
#include <system_error>
#include <vector>

#include "base/files.h"
#include "base/sha256.h"
#include "tools/catalog/catalog_tool.h"
#include "tools/catalog/writer/catalogue_sources.h"
#include "tools/catalog/writer/jet_writer.h"

namespace movarin::tools {
namespace {

namespace fs = std::filesystem;
namespace wr = movarin::tools::catalog_writer;

constexpr std::string_view kSponsorPage =
    "<html>\n"
    "<head><title>Sponsors</title></head>\n"
    "<body>\n"
    "<center>\n"
    "<h2>Our sponsors</h2>\n"
    "<p>Our sponsors keep <b>Movarin</b> free.</p>\n"
    "<p><a href=\"sponsor.htm\">Visit our sponsor</a></p>\n"
    "</center>\n"
    "</body>\n"
    "</html>\n";
constexpr std::string_view kSponsorTarget =
    "<html>\n"
    "<head><title>A sponsor</title></head>\n"
    "<body><p>Thank you for visiting our sponsor.</p></body>\n"
    "</html>\n";

// A library larger than this is refused rather than read.
constexpr std::size_t kMaxLibraryBytes = std::size_t{1} << 30;

int Failed(std::ostream& err, std::string_view message) {
  err << "movarin-catalog: " << message << "\n";
  return kExitFailed;
}

// A folder of the site that must be a real folder inside it: a link there would lead the
// writes outside the site.
bool EnsureRealFolder(const fs::path& folder, std::ostream& err) {
  std::error_code ec;
  const auto status = fs::symlink_status(folder, ec);
  if (status.type() == fs::file_type::not_found) {
    if (!fs::create_directory(folder, ec)) {
      Failed(err, "cannot create '" + base::PathToUtf8(folder) + "': " + ec.message());
      return false;
    }
    return true;
  }
  if (status.type() != fs::file_type::directory) {
    std::string text = base::PathToUtf8(folder);
    text.insert(text.begin(), '\'');
    text += "' exists and is not a folder";
    Failed(err, text);
    return false;
  }
  return true;
}

bool Replace(const fs::path& destination, std::string_view text, std::ostream& err) {
  auto written = base::ReplaceFileContents(
      destination, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (!written) {
    Failed(err, "cannot write '" + base::PathToUtf8(destination) + "': " + written.error().description);
    return false;
  }
  return true;
}

bool WriteIfAbsent(const fs::path& destination, std::string_view text, std::ostream& err) {
  std::error_code ec;
  if (fs::symlink_status(destination, ec).type() != fs::file_type::not_found) return true;
  return Replace(destination, text, err);
}

}  // namespace

std::string CheckVersionReply(int version) {
  return "checkupdates ccc" + std::to_string(version) + "ddd";
}

std::optional<int> ParseSiteVersion(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < 0 || value > 32767) return std::nullopt;
  return value;
}

int PublishSite(const fs::path& libraries, const fs::path& site, const PublishOptions& options,
                std::ostream& out, std::ostream& err) {
  auto scan = wr::ScanFolder(libraries);
  if (!scan) return Failed(err, scan.error().message);
  for (const std::string& warning : scan->warnings) {
    err << "movarin-catalog: warning: " << warning << "; its version is left empty\n";
  }
  std::vector<wr::CatalogueEntry>& entries = scan->entries;

  // Only the site folder itself is created; its parent must exist.
  if (!EnsureRealFolder(site, err)) return kExitFailed;
  const fs::path files = site / "files";
  if (!EnsureRealFolder(files, err)) return kExitFailed;

  // The libraries first, then the catalogue that lists them: a client never finds a
  // listed file missing.
  for (wr::CatalogueEntry& entry : entries) {
    const fs::path source = libraries / base::PathFromUtf8(entry.filename);
    auto bytes = base::ReadWholeFile(base::PathToUtf8(source), kMaxLibraryBytes);
    if (!bytes) {
      return Failed(err, "cannot read '" + base::PathToUtf8(source) + "': " +
                             std::string(base::FileReadErrorText(bytes.error())));
    }
    // The catalogue vouches for the bytes the site serves, even if the source changed
    // since the scan.
    entry.sha256 = base::Sha256ToHex(base::Sha256::Of(*bytes));
    auto written = base::ReplaceFileContents(files / base::PathFromUtf8(entry.filename), *bytes);
    if (!written) {
      return Failed(err, "cannot write '" + base::PathToUtf8(files / entry.filename) +
                             "': " + written.error().description);
    }
  }

  wr::CatalogueOptions catalogue_options;
  if (options.password) catalogue_options.password = *options.password;
  const fs::path database = site / "database.mdb";
  if (auto written = wr::WriteCatalogueFile(base::PathToUtf8(database), entries, catalogue_options);
      !written) {
    return Failed(err, written.error().Message());
  }
  // The catalogue's own digest beside it, as sha256sum writes it, so that clients can
  // check a catalogue they fetch before it replaces theirs.
  {
    const auto catalogue_bytes = base::ReadWholeFile(base::PathToUtf8(database), kMaxLibraryBytes);
    if (!catalogue_bytes) return Failed(err, "cannot read back '" + base::PathToUtf8(database) + "'");
    const std::string line = base::Sha256ToHex(base::Sha256::Of(*catalogue_bytes)) + "  database.mdb\n";
    if (!Replace(site / "database.mdb.sha256", line, err)) return kExitFailed;
  }

  const fs::path check = site / "checkversion.php";
  if (options.version) {
    if (!Replace(check, CheckVersionReply(*options.version), err)) return kExitFailed;
  } else if (!WriteIfAbsent(check, CheckVersionReply(kCurrentProgramVersion), err)) {
    return kExitFailed;
  }
  // The sponsor pages are the site owner's to edit: a publish never overwrites them.
  if (!WriteIfAbsent(site / "Ads2.htm", kSponsorPage, err)) return kExitFailed;
  if (!WriteIfAbsent(site / "sponsor.htm", kSponsorTarget, err)) return kExitFailed;

  out << "published " << entries.size() << (entries.size() == 1 ? " file" : " files") << " to "
      << base::PathToUtf8(site) << "\n";
  return kExitOk;
}

}  // namespace movarin::tools
