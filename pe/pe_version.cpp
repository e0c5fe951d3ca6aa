#include "pe/pe_version.h"

#include <optional>
#include <vector>

#include "base/files.h"

namespace movarin::pe {
namespace {

namespace rsrc {
inline constexpr std::size_t kDirectoryHeader = 16;
inline constexpr std::size_t kNamedEntries = 12;
inline constexpr std::size_t kIdEntries = 14;
inline constexpr std::size_t kEntrySize = 8;
inline constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
inline constexpr std::uint32_t kNameIsStringFlag = 0x80000000u;
inline constexpr std::uint32_t kTypeVersion = 16;  // RT_VERSION
inline constexpr std::size_t kDataEntrySize = 16;
// type, name, language: the tree always has exactly three levels.
inline constexpr int kLevels = 3;
}  // namespace rsrc

namespace version {
inline constexpr std::size_t kHeader = 6;  // wLength, wValueLength, wType
inline constexpr std::u16string_view kKey = u"VS_VERSION_INFO";
inline constexpr std::uint32_t kFixedSignature = 0xFEEF04BDu;
inline constexpr std::size_t kFixedInfoSize = 52;
inline constexpr std::size_t kFileVersionMs = 8;
inline constexpr std::size_t kFileVersionLs = 12;
}  // namespace version

inline constexpr std::size_t kMaxFileSize = std::size_t{1} << 30;

// The entry to follow in one resource directory: the id wanted (or, with nullopt, the
// first entry of any kind). Its OffsetToData field, nullopt when there is no such entry.
base::Result<std::optional<std::uint32_t>, PeError> FindEntry(const base::ByteReader& resources,
                                                              std::uint32_t directory,
                                                              std::optional<std::uint32_t> wanted_id) {
  const auto named = resources.U16(std::uint64_t{directory} + rsrc::kNamedEntries);
  const auto ids = resources.U16(std::uint64_t{directory} + rsrc::kIdEntries);
  if (!named || !ids) return PeError::kBadResourceDirectory;
  const std::uint32_t count = std::uint32_t{*named} + *ids;  // at most 131070: bounded
  const std::uint64_t first = std::uint64_t{directory} + rsrc::kDirectoryHeader;
  if (!resources.Covers(first, std::uint64_t{count} * rsrc::kEntrySize)) {
    return PeError::kBadResourceDirectory;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entry = first + std::uint64_t{i} * rsrc::kEntrySize;
    const std::uint32_t name = *resources.U32(entry);
    const std::uint32_t data = *resources.U32(entry + 4);
    if (!wanted_id || ((name & rsrc::kNameIsStringFlag) == 0 && name == *wanted_id)) {
      return std::optional(data);
    }
  }
  return std::optional<std::uint32_t>();
}

base::Result<std::string, PeError> VersionFromResource(const base::ByteReader& data) {
  using namespace version;
  const auto length = data.U16(0);
  const auto value_length = data.U16(2);
  if (!length || !value_length || *length < kHeader || *length > data.size()) {
    return PeError::kBadVersionResource;
  }
  const base::ByteReader block = *data.Sub(0, *length);
  std::size_t at = kHeader;
  for (char16_t expected : kKey) {
    const auto unit = block.U16(at);
    if (!unit || *unit != expected) return PeError::kBadVersionResource;
    at += 2;
  }
  const auto terminator = block.U16(at);
  if (!terminator || *terminator != 0) return PeError::kBadVersionResource;
  at = (at + 2 + 3) & ~std::size_t{3};  // the value starts on a 4-byte boundary
  if (*value_length == 0) return std::string();  // no fixed file information
  if (*value_length < kFixedInfoSize) return PeError::kBadVersionResource;
  const auto signature = block.U32(at);
  const auto ms = block.U32(at + kFileVersionMs);
  const auto ls = block.U32(at + kFileVersionLs);
  if (!signature || !ms || !ls || !block.Covers(at, kFixedInfoSize)) {
    return PeError::kBadVersionResource;
  }
  if (*signature != kFixedSignature) return PeError::kBadVersionResource;
  return std::to_string(*ms >> 16) + "." + std::to_string(*ms & 0xFFFF) + "." +
         std::to_string(*ls >> 16) + "." + std::to_string(*ls & 0xFFFF);
}

}  // namespace

base::Result<std::string, PeError> ReadFileVersion(std::span<const std::uint8_t> bytes) {
  const auto image = PeImage::Open(bytes);
  if (!image) return image.error();
  const auto resource_directory = image->Directory(kResourceDirectory);
  if (!resource_directory) return resource_directory.error();
  if (!*resource_directory) return std::string();
  const DataDirectory resource = **resource_directory;
  if (resource.rva == 0 || resource.size == 0) return std::string();  // no resources
  const auto sections = image->Sections();
  if (!sections) return sections.error();

  const auto resources = BytesAtRva(image->file(), *sections, resource.rva, resource.size);
  if (!resources) return PeError::kBadResourceDirectory;

  // Type RT_VERSION, then the first name and the first language under it.
  std::uint32_t directory = 0;
  std::uint32_t data_entry = 0;
  for (int level = 0; level < rsrc::kLevels; ++level) {
    const auto entry = FindEntry(*resources, directory,
                                 level == 0 ? std::optional(rsrc::kTypeVersion) : std::nullopt);
    if (!entry) return entry.error();
    if (!*entry) return std::string();  // no version resource
    const std::uint32_t offset = **entry;
    const bool subdirectory = (offset & rsrc::kSubdirectoryFlag) != 0;
    if (subdirectory != (level < rsrc::kLevels - 1)) return PeError::kBadResourceDirectory;
    if (subdirectory) {
      directory = offset & ~rsrc::kSubdirectoryFlag;
    } else {
      data_entry = offset;
    }
  }
  const auto data_rva = resources->U32(data_entry);
  const auto data_size = resources->U32(std::uint64_t{data_entry} + 4);
  if (!data_rva || !data_size || !resources->Covers(data_entry, rsrc::kDataEntrySize)) {
    return PeError::kBadResourceDirectory;
  }
  const auto data = BytesAtRva(image->file(), *sections, *data_rva, *data_size);
  if (!data) return PeError::kBadVersionResource;
  return VersionFromResource(*data);
}

base::Result<std::string, PeError> ReadFileVersionOfFile(const std::string& path_utf8) {
  const auto bytes = base::ReadWholeFile(path_utf8, kMaxFileSize);
  if (!bytes) {
    return bytes.error() == base::FileReadError::kTooLarge ? PeError::kFileTooLarge : PeError::kCannotRead;
  }
  return ReadFileVersion(*bytes);
}

}  // namespace movarin::pe
