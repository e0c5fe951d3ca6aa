// The catalogue writer's file side: pages go to a temporary file beside the destination.
#include "base/files.h"
#include "tools/catalog/writer/jet_writer.h"

namespace movarin::tools::catalog_writer {

base::Result<void, WriteFailure> WriteCatalogueFile(const std::string& path_utf8,
                                                    std::span<const CatalogueEntry> entries,
                                                    const CatalogueOptions& options) {
  base::ReplacingFile file(base::PathFromUtf8(path_utf8));
  bool opened = false;
  // Why the file could not be created or written, in the system's words.
  std::string reason;
  auto emitted = EmitCatalogue(entries, options, [&](std::span<const std::uint8_t> page) {
    // The file is created only once every entry has been checked.
    if (!opened) {
      if (auto created = file.Open(); !created) {
        reason = created.error().description;
        return false;
      }
      opened = true;
    }
    if (auto written = file.Write(page); !written) {
      reason = written.error().description;
      return false;
    }
    return true;
  });
  if (!emitted) {
    WriteFailure failure = emitted.error();
    if (failure.error == WriteError::kCannotWrite) {
      if (!opened) failure.error = WriteError::kCannotCreate;
      failure.detail = path_utf8 + ": " + reason;
    }
    return failure;
  }
  if (auto committed = file.Commit(); !committed) {
    return WriteFailure{WriteError::kCannotReplace, 0, path_utf8 + ": " + committed.error().description};
  }
  return {};
}

}  // namespace movarin::tools::catalog_writer
