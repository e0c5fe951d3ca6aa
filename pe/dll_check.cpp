#include "pe/dll_check.h"

#include <array>

#include "base/byte_reader.h"
#include "base/checked_size.h"

namespace movarin::pe {
namespace {

// Where the fields this check reads lie.
namespace layout {
inline constexpr std::uint16_t kDosMagic = 0x5A4D;  // "MZ"
inline constexpr std::uint64_t kDosNewHeaderOffset = 0x3C;
inline constexpr std::uint32_t kSignature = 0x00004550;  // "PE\0\0"
inline constexpr std::uint64_t kSignatureSize = 4;
inline constexpr std::uint64_t kFileHeaderSize = 20;
inline constexpr std::uint64_t kSectionCount = 2;       // in the file header
inline constexpr std::uint64_t kOptionalHeaderSize = 16;
inline constexpr std::uint64_t kCharacteristics = 18;
inline constexpr std::uint16_t kExecutableImage = 0x0002;
inline constexpr std::uint16_t kDll = 0x2000;
inline constexpr std::uint64_t kSizeOfHeaders = 60;  // in the optional header, both kinds
inline constexpr std::uint64_t kSectionHeaderSize = 40;
inline constexpr std::uint64_t kSectionRawSize = 16;
inline constexpr std::uint64_t kSectionRawPointer = 20;
inline constexpr std::uint16_t kMaxSections = 96;  // the loader's own limit
}  // namespace layout

// The two optional-header kinds and the size of their fixed part (up to and including
// NumberOfRvaAndSizes).
struct OptionalHeaderKind {
  std::uint16_t magic;
  std::uint64_t fixed_size;
};
constexpr std::array<OptionalHeaderKind, 2> kOptionalHeaderKinds{{
    {0x10B, 96},   // PE32
    {0x20B, 112},  // PE32+
}};

struct ErrorText {
  DllCheckError error;
  std::string_view text;
};
constexpr std::array<ErrorText, 5> kErrorTexts{{
    {DllCheckError::kNotPeImage, "not a Windows program or library"},
    {DllCheckError::kHeadersCutOff, "headers cut off"},
    {DllCheckError::kBadHeaders, "inconsistent headers"},
    {DllCheckError::kNotDll, "a program, not a library"},
    {DllCheckError::kTruncated, "cut off: the headers or a section reach beyond the end of the file"},
}};

}  // namespace

std::string_view DllCheckErrorText(DllCheckError error) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.error == error) return entry.text;
  return "unknown error";
}

base::Result<void, DllCheckError> CheckDll(std::span<const std::uint8_t> file_start,
                                           std::uint64_t file_size) {
  using namespace layout;
  const base::ByteReader file(file_start);
  if (file.size() > file_size) return DllCheckError::kBadHeaders;  // a caller's mistake

  const auto dos_magic = file.U16(0);
  const auto new_header = file.U32(kDosNewHeaderOffset);
  if (!dos_magic || *dos_magic != kDosMagic || !new_header) return DllCheckError::kNotPeImage;
  const auto signature = file.U32(*new_header);
  if (!signature) return DllCheckError::kHeadersCutOff;
  if (*signature != kSignature) return DllCheckError::kNotPeImage;

  const std::uint64_t file_header = std::uint64_t{*new_header} + kSignatureSize;
  const auto sections = file.U16(file_header + kSectionCount);
  const auto optional_size = file.U16(file_header + kOptionalHeaderSize);
  const auto characteristics = file.U16(file_header + kCharacteristics);
  if (!sections || !optional_size || !characteristics) return DllCheckError::kHeadersCutOff;

  const std::uint64_t optional_header = file_header + kFileHeaderSize;
  const auto magic = file.U16(optional_header);
  if (!magic) return DllCheckError::kHeadersCutOff;
  const OptionalHeaderKind* kind = nullptr;
  for (const OptionalHeaderKind& k : kOptionalHeaderKinds)
    if (k.magic == *magic) kind = &k;
  if (!kind) return DllCheckError::kNotPeImage;
  if (*optional_size < kind->fixed_size) return DllCheckError::kBadHeaders;
  if (!file.Covers(optional_header, *optional_size)) return DllCheckError::kHeadersCutOff;

  if ((*characteristics & kExecutableImage) == 0 || (*characteristics & kDll) == 0)
    return DllCheckError::kNotDll;

  const std::uint32_t headers_size = *file.U32(optional_header + kSizeOfHeaders);
  if (headers_size > file_size) return DllCheckError::kTruncated;
  if (*sections == 0 || *sections > kMaxSections) return DllCheckError::kBadHeaders;

  // Offsets so far are below 2^32 + 2^16 + 24 and the table is at most 96 * 40 bytes:
  // no sum here can overflow 64 bits.
  const std::uint64_t table = optional_header + *optional_size;
  if (!file.Covers(table, *sections * kSectionHeaderSize)) return DllCheckError::kHeadersCutOff;
  for (std::uint64_t i = 0; i < *sections; ++i) {
    const std::uint64_t entry = table + i * kSectionHeaderSize;
    const std::uint32_t raw_size = *file.U32(entry + kSectionRawSize);
    const std::uint32_t raw_pointer = *file.U32(entry + kSectionRawPointer);
    if (raw_size == 0) continue;  // a section without data in the file (.bss)
    const auto end = base::CheckedAdd<std::uint64_t>(raw_pointer, raw_size);
    if (!end || *end > file_size) return DllCheckError::kTruncated;
  }
  return {};
}

}  // namespace movarin::pe
