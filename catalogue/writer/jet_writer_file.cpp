// The catalogue writer's file side: pages go to a temporary file beside the destination.
#include "catalogue/writer/jet_writer.h"
#include "catalogue/writer/replace_file.h"

namespace movarin::catalogue::writer {

WriteStatus WriteCatalogueFile(const std::string& path_utf8,
                               std::span<const CatalogueEntry> entries,
                               const CatalogueOptions& options) {
  ReplacingFile file(PathFromUtf8(path_utf8));
  bool opened = false;
  bool write_failed = false;
  WriteStatus status =
      EmitCatalogue(entries, options, [&](std::span<const std::uint8_t> page) {
        // The file is created only once every entry has been checked.
        if (!opened && !(opened = file.Open())) return false;
        if (!file.Write(page.data(), page.size())) return write_failed = true, false;
        return true;
      });
  if (status.error == WriteError::kCannotWrite && !opened) {
    return WriteStatus{WriteError::kCannotCreate, 0, path_utf8 + ": " + file.reason()};
  }
  if (!status.ok()) {
    if (write_failed) status.detail = path_utf8 + ": " + file.reason();
    return status;
  }
  if (!file.Commit()) {
    return WriteStatus{WriteError::kCannotReplace, 0, path_utf8 + ": " + file.reason()};
  }
  return status;
}

}  // namespace movarin::catalogue::writer
