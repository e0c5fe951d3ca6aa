#include "pe/pe_image.h"

namespace movarin::pe {
namespace {

// Where the fields this reader walks lie.
namespace layout {
inline constexpr std::uint16_t kDosMagic = 0x5A4D;  // "MZ"
inline constexpr std::size_t kDosNewHeaderOffset = 0x3C;
inline constexpr std::uint32_t kSignature = 0x00004550;  // "PE\0\0"
inline constexpr std::size_t kSignatureSize = 4;
inline constexpr std::size_t kFileHeaderSize = 20;
inline constexpr std::size_t kFileMachine = 0;
inline constexpr std::size_t kFileSectionCount = 2;
inline constexpr std::size_t kFileOptionalHeaderSize = 16;
inline constexpr std::size_t kFileCharacteristics = 18;
inline constexpr std::uint16_t kOptionalMagic32 = 0x10B;
inline constexpr std::uint16_t kOptionalMagic64 = 0x20B;
// Offsets inside the optional header of NumberOfRvaAndSizes and the data directories.
inline constexpr std::size_t kDirectoryCount32 = 92;
inline constexpr std::size_t kDirectories32 = 96;
inline constexpr std::size_t kDirectoryCount64 = 108;
inline constexpr std::size_t kDirectories64 = 112;
inline constexpr std::size_t kDirectoryEntrySize = 8;
inline constexpr std::size_t kSectionHeaderSize = 40;
inline constexpr std::size_t kSectionVirtualAddress = 12;
inline constexpr std::size_t kSectionRawSize = 16;
inline constexpr std::size_t kSectionRawPointer = 20;
inline constexpr std::size_t kMaxSections = 96;  // the loader's own limit
}  // namespace layout

}  // namespace

std::string_view PeErrorText(PeError error) {
  switch (error) {
    case PeError::kNotExecutable: return "not a Windows executable (no PE header)";
    case PeError::kBadHeaders: return "damaged PE headers";
    case PeError::kBadResourceDirectory: return "damaged resource directory";
    case PeError::kBadVersionResource: return "damaged version resource";
    case PeError::kCannotRead: return "cannot read the file";
    case PeError::kFileTooLarge: return "the file is too large";
  }
  return "unknown error";
}

base::Result<PeImage, PeError> PeImage::Open(std::span<const std::uint8_t> bytes) {
  using namespace layout;
  PeImage image;
  image.file_ = base::ByteReader(bytes);
  const base::ByteReader& file = image.file_;
  const auto dos_magic = file.U16(0);
  const auto new_header = file.U32(kDosNewHeaderOffset);
  if (!dos_magic || *dos_magic != kDosMagic || !new_header) return PeError::kNotExecutable;
  const auto signature = file.U32(*new_header);
  if (!signature || *signature != kSignature) return PeError::kNotExecutable;

  const std::uint64_t file_header = std::uint64_t{*new_header} + kSignatureSize;
  const auto section_count = file.U16(file_header + kFileSectionCount);
  const auto optional_size = file.U16(file_header + kFileOptionalHeaderSize);
  if (!section_count || !optional_size || *section_count > kMaxSections) return PeError::kBadHeaders;
  const std::uint64_t optional = file_header + kFileHeaderSize;
  const auto optional_header = file.Sub(optional, *optional_size);
  if (!optional_header) return PeError::kBadHeaders;
  const auto magic = optional_header->U16(0);
  if (!magic || (*magic != kOptionalMagic32 && *magic != kOptionalMagic64)) return PeError::kBadHeaders;

  // The optional header lies past the file header, so both of its fields are present.
  image.machine_ = *file.U16(file_header + kFileMachine);
  image.characteristics_ = *file.U16(file_header + kFileCharacteristics);
  image.optional_header_ = *optional_header;
  image.pe32_plus_ = *magic == kOptionalMagic64;
  image.section_table_ = optional + *optional_size;
  image.section_count_ = *section_count;
  return image;
}

base::Result<std::optional<DataDirectory>, PeError> PeImage::Directory(std::size_t index) const {
  using namespace layout;
  const std::size_t count_at = pe32_plus_ ? kDirectoryCount64 : kDirectoryCount32;
  const std::size_t directories_at = pe32_plus_ ? kDirectories64 : kDirectories32;
  const auto count = optional_header_.U32(count_at);
  if (!count) return PeError::kBadHeaders;
  if (*count <= index) return std::optional<DataDirectory>();
  const std::uint64_t entry = directories_at + std::uint64_t{kDirectoryEntrySize} * index;
  const auto rva = optional_header_.U32(entry);
  const auto size = optional_header_.U32(entry + 4);
  if (!rva || !size) return PeError::kBadHeaders;
  return std::optional(DataDirectory{*rva, *size});
}

base::Result<std::vector<Section>, PeError> PeImage::Sections() const {
  using namespace layout;
  std::vector<Section> sections;
  sections.reserve(section_count_);
  for (std::uint16_t i = 0; i < section_count_; ++i) {
    const auto header = file_.Sub(section_table_ + std::uint64_t{i} * kSectionHeaderSize, kSectionHeaderSize);
    if (!header) return PeError::kBadHeaders;
    sections.push_back(Section{*header->U32(kSectionVirtualAddress), *header->U32(kSectionRawSize),
                               *header->U32(kSectionRawPointer)});
  }
  return sections;
}

std::optional<base::ByteReader> BytesAtRva(const base::ByteReader& file,
                                           std::span<const Section> sections, std::uint32_t rva,
                                           std::uint32_t length) {
  for (const Section& s : sections) {
    const std::uint64_t start = s.virtual_address;
    const std::uint64_t end = start + s.raw_size;
    if (rva < start || std::uint64_t{rva} + length > end) continue;
    return file.Sub(std::uint64_t{s.raw_pointer} + (rva - start), length);
  }
  return std::nullopt;
}

}  // namespace movarin::pe
