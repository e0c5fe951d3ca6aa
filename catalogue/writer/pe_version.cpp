#include "catalogue/writer/pe_version.h"

#include <array>
#include <fstream>
#include <optional>
#include <vector>

#include "catalogue/writer/byte_view.h"

namespace movarin::catalogue::writer {
namespace {

// Layout of the PE structures this reader walks.
namespace pe {
inline constexpr std::uint16_t kDosMagic = 0x5A4D;           // "MZ"
inline constexpr std::size_t kDosNewHeaderOffset = 0x3C;
inline constexpr std::uint32_t kSignature = 0x00004550;      // "PE\0\0"
inline constexpr std::size_t kCoffHeaderSize = 20;
inline constexpr std::size_t kCoffSectionCount = 2;
inline constexpr std::size_t kCoffOptionalHeaderSize = 16;
inline constexpr std::uint16_t kOptionalMagic32 = 0x10B;
inline constexpr std::uint16_t kOptionalMagic64 = 0x20B;
// Offsets inside the optional header of NumberOfRvaAndSizes and the data directories.
inline constexpr std::size_t kDirectoryCount32 = 92;
inline constexpr std::size_t kDirectories32 = 96;
inline constexpr std::size_t kDirectoryCount64 = 108;
inline constexpr std::size_t kDirectories64 = 112;
inline constexpr std::size_t kResourceDirectoryIndex = 2;
inline constexpr std::size_t kSectionHeaderSize = 40;
inline constexpr std::size_t kSectionVirtualAddress = 12;
inline constexpr std::size_t kSectionRawSize = 16;
inline constexpr std::size_t kSectionRawPointer = 20;
inline constexpr std::size_t kMaxSections = 96;  // the loader's own limit
}  // namespace pe

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

inline constexpr std::uint64_t kMaxFileSize = 1ull << 30;

struct Section {
  std::uint32_t virtual_address;
  std::uint32_t raw_size;
  std::uint32_t raw_pointer;
};

// Maps an address of the loaded image to the file bytes behind it, or nullopt when no
// section holds [rva, rva + length) in the file.
std::optional<ByteView> ViewAtRva(const ByteView& file, const std::vector<Section>& sections,
                                  std::uint32_t rva, std::uint32_t length) {
  for (const Section& s : sections) {
    const std::uint64_t start = s.virtual_address;
    const std::uint64_t end = start + s.raw_size;
    if (rva < start || std::uint64_t{rva} + length > end) continue;
    return file.Sub(std::uint64_t{s.raw_pointer} + (rva - start), length);
  }
  return std::nullopt;
}

// The entry to follow in one resource directory: the id wanted (or, with nullopt, the
// first entry of any kind). Returns the entry's OffsetToData field.
std::optional<std::uint32_t> FindEntry(const ByteView& resources, std::uint32_t directory,
                                       std::optional<std::uint32_t> wanted_id, bool& bad) {
  const auto named = resources.U16(std::uint64_t{directory} + rsrc::kNamedEntries);
  const auto ids = resources.U16(std::uint64_t{directory} + rsrc::kIdEntries);
  if (!named || !ids) return bad = true, std::nullopt;
  const std::uint32_t count = std::uint32_t{*named} + *ids;  // at most 131070: bounded
  const std::uint64_t first = std::uint64_t{directory} + rsrc::kDirectoryHeader;
  if (!resources.Covers(first, std::uint64_t{count} * rsrc::kEntrySize)) {
    return bad = true, std::nullopt;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t entry = first + std::uint64_t{i} * rsrc::kEntrySize;
    const std::uint32_t name = *resources.U32(entry);
    const std::uint32_t data = *resources.U32(entry + 4);
    if (!wanted_id || ((name & rsrc::kNameIsStringFlag) == 0 && name == *wanted_id)) {
      return data;
    }
  }
  return std::nullopt;
}

std::variant<std::string, PeError> VersionFromResource(const ByteView& data) {
  using namespace version;
  const auto length = data.U16(0);
  const auto value_length = data.U16(2);
  if (!length || !value_length || *length < kHeader || *length > data.size()) {
    return PeError::kBadVersionResource;
  }
  const ByteView block = *data.Sub(0, *length);
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

std::string_view PeErrorText(PeError error) {
  switch (error) {
    case PeError::kNone: return "no error";
    case PeError::kNotExecutable: return "not a Windows executable (no PE header)";
    case PeError::kBadHeaders: return "damaged PE headers";
    case PeError::kBadResourceDirectory: return "damaged resource directory";
    case PeError::kBadVersionResource: return "damaged version resource";
    case PeError::kCannotRead: return "cannot read the file";
    case PeError::kFileTooLarge: return "the file is too large";
  }
  return "unknown error";
}

std::variant<std::string, PeError> ReadFileVersion(std::span<const std::uint8_t> image) {
  const ByteView file(image);
  const auto dos_magic = file.U16(0);
  const auto new_header = file.U32(pe::kDosNewHeaderOffset);
  if (!dos_magic || *dos_magic != pe::kDosMagic || !new_header) return PeError::kNotExecutable;
  const auto signature = file.U32(*new_header);
  if (!signature || *signature != pe::kSignature) return PeError::kNotExecutable;

  const std::uint64_t coff = std::uint64_t{*new_header} + 4;
  const auto section_count = file.U16(coff + pe::kCoffSectionCount);
  const auto optional_size = file.U16(coff + pe::kCoffOptionalHeaderSize);
  if (!section_count || !optional_size || *section_count > pe::kMaxSections) {
    return PeError::kBadHeaders;
  }
  const std::uint64_t optional = coff + pe::kCoffHeaderSize;
  const auto optional_header = file.Sub(optional, *optional_size);
  if (!optional_header) return PeError::kBadHeaders;
  const auto magic = optional_header->U16(0);
  if (!magic) return PeError::kBadHeaders;
  std::size_t count_at = 0;
  std::size_t directories_at = 0;
  if (*magic == pe::kOptionalMagic32) {
    count_at = pe::kDirectoryCount32, directories_at = pe::kDirectories32;
  } else if (*magic == pe::kOptionalMagic64) {
    count_at = pe::kDirectoryCount64, directories_at = pe::kDirectories64;
  } else {
    return PeError::kBadHeaders;
  }
  const auto directory_count = optional_header->U32(count_at);
  if (!directory_count) return PeError::kBadHeaders;
  if (*directory_count <= pe::kResourceDirectoryIndex) return std::string();
  const std::uint64_t resource_entry = directories_at + 8 * pe::kResourceDirectoryIndex;
  const auto resource_rva = optional_header->U32(resource_entry);
  const auto resource_size = optional_header->U32(resource_entry + 4);
  if (!resource_rva || !resource_size) return PeError::kBadHeaders;
  if (*resource_rva == 0 || *resource_size == 0) return std::string();  // no resources

  std::vector<Section> sections;
  const std::uint64_t table = optional + *optional_size;
  for (std::uint16_t i = 0; i < *section_count; ++i) {
    const auto header = file.Sub(table + std::uint64_t{i} * pe::kSectionHeaderSize,
                                 pe::kSectionHeaderSize);
    if (!header) return PeError::kBadHeaders;
    sections.push_back(Section{*header->U32(pe::kSectionVirtualAddress),
                               *header->U32(pe::kSectionRawSize),
                               *header->U32(pe::kSectionRawPointer)});
  }

  const auto resources = ViewAtRva(file, sections, *resource_rva, *resource_size);
  if (!resources) return PeError::kBadResourceDirectory;

  // Type RT_VERSION, then the first name and the first language under it.
  std::uint32_t directory = 0;
  std::optional<std::uint32_t> data_entry;
  for (int level = 0; level < rsrc::kLevels; ++level) {
    bool bad = false;
    const auto entry = FindEntry(*resources, directory,
                                 level == 0 ? std::optional(rsrc::kTypeVersion) : std::nullopt, bad);
    if (bad) return PeError::kBadResourceDirectory;
    if (!entry) return std::string();  // no version resource
    const bool subdirectory = (*entry & rsrc::kSubdirectoryFlag) != 0;
    if (subdirectory != (level < rsrc::kLevels - 1)) return PeError::kBadResourceDirectory;
    if (subdirectory) {
      directory = *entry & ~rsrc::kSubdirectoryFlag;
    } else {
      data_entry = *entry;
    }
  }
  const auto data_rva = resources->U32(*data_entry);
  const auto data_size = resources->U32(std::uint64_t{*data_entry} + 4);
  if (!data_rva || !data_size || !resources->Covers(*data_entry, rsrc::kDataEntrySize)) {
    return PeError::kBadResourceDirectory;
  }
  const auto data = ViewAtRva(file, sections, *data_rva, *data_size);
  if (!data) return PeError::kBadVersionResource;
  return VersionFromResource(*data);
}

std::variant<std::string, PeError> ReadFileVersionOfFile(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return PeError::kCannotRead;
  if (size > kMaxFileSize) return PeError::kFileTooLarge;
  std::ifstream in(path, std::ios::binary);
  if (!in) return PeError::kCannotRead;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return PeError::kCannotRead;
  return ReadFileVersion(bytes);
}

}  // namespace movarin::catalogue::writer
