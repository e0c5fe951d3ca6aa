#pragma once
// The catalogue update never destroys the working catalogue: the server copy is
// downloaded beside it under another name, checked, and only a copy that opens as a
// catalogue under the program's password and lists its table Files takes the
// catalogue's place, in one rename. A failed, cancelled or invalid download leaves the
// old file as it was.
#include <string>
#include <string_view>

#include "base/result.h"

namespace movarin::updates {

// Where the server copy is downloaded: beside the catalogue, "database.mdb.download".
std::string StagedCataloguePath(std::string_view catalogue_path_utf8);

enum class InstallError {
  kMissing,        // no downloaded copy
  kNotACatalogue,  // it does not open under the password, or has no readable Files table
  kCannotReplace,  // the rename over the catalogue failed
};
std::string_view InstallErrorText(InstallError error);

struct InstallFailure {
  InstallError error = InstallError::kMissing;
  // The provider's or the system's words, when there are any.
  std::string detail;
};

// Checks the downloaded copy at staged_path and, when it is a good catalogue, renames it
// over catalogue_path. The staged copy is gone afterwards in every case; on failure the
// catalogue is untouched.
base::Result<void, InstallFailure> InstallDownloadedCatalogue(const std::string& staged_path_utf8,
                                                              const std::string& catalogue_path_utf8);

}  // namespace movarin::updates
