#include "updates/catalogue_install.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <variant>

#include "base/files.h"
#include "catalogue/catalogue.h"

namespace movarin::updates {

namespace {

constexpr std::string_view kStagedSuffix = ".download";

void RemoveQuietly(const std::string& path_utf8) {
  std::error_code ignored;
  std::filesystem::remove(base::PathFromUtf8(path_utf8), ignored);
}

// The provider's words when the file is no usable catalogue; nullopt when it is. The copy
// must serve exactly what the main window asks of it: the whole-catalogue listing. The
// connection reads the file at open and keeps no handle on it.
std::optional<std::string> CatalogueProblem(const std::string& path_utf8) {
  auto opened = catalogue::Connection::Open(path_utf8, catalogue::kCataloguePassword);
  if (!opened) return opened.error().description;
  auto listed = opened->Execute(catalogue::kWholeCatalogueQuery);
  if (!listed) return listed.error().description;
  return std::nullopt;
}

}  // namespace

std::string StagedCataloguePath(std::string_view catalogue_path_utf8) {
  return std::string(catalogue_path_utf8) + std::string(kStagedSuffix);
}

std::string_view InstallErrorText(InstallError error) {
  switch (error) {
    case InstallError::kMissing: return "the downloaded catalogue is missing";
    case InstallError::kNotACatalogue: return "the downloaded file is not a usable catalogue";
    case InstallError::kCannotReplace: return "the catalogue could not be replaced";
  }
  return "the catalogue could not be replaced";
}

base::Result<void, InstallFailure> InstallDownloadedCatalogue(const std::string& staged_path_utf8,
                                                              const std::string& catalogue_path_utf8) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(base::PathFromUtf8(staged_path_utf8), error)) {
    return InstallFailure{InstallError::kMissing, {}};
  }
  if (auto problem = CatalogueProblem(staged_path_utf8)) {
    RemoveQuietly(staged_path_utf8);
    return InstallFailure{InstallError::kNotACatalogue, *problem};
  }
  // One rename in the same folder: the catalogue is the old file or the new one, never
  // a mixture, and never missing.
  std::filesystem::rename(base::PathFromUtf8(staged_path_utf8), base::PathFromUtf8(catalogue_path_utf8),
                          error);
  if (error) {
    RemoveQuietly(staged_path_utf8);
    return InstallFailure{InstallError::kCannotReplace, error.message()};
  }
  return {};
}

}  // namespace movarin::updates
