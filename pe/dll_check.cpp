#include "pe/dll_check.h"

#include <array>

#include "base/checked_size.h"
#include "pe/pe_image.h"

namespace movarin::pe {
namespace {

// The file header's flags a loadable library carries.
inline constexpr std::uint16_t kExecutableImage = 0x0002;
inline constexpr std::uint16_t kDll = 0x2000;

struct ErrorText {
  DllCheckError error;
  std::string_view text;
};
constexpr std::array<ErrorText, 4> kErrorTexts{{
    {DllCheckError::kNotPeImage, "not a Windows program or library"},
    {DllCheckError::kBadHeaders, "damaged or cut-off headers"},
    {DllCheckError::kNotDll, "a program, not a library"},
    {DllCheckError::kTruncated, "cut off: a section lies beyond the end of the file"},
}};

}  // namespace

std::string_view DllCheckErrorText(DllCheckError error) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.error == error) return entry.text;
  return "unknown error";
}

base::Result<void, DllCheckError> CheckDll(std::span<const std::uint8_t> file_start,
                                           std::uint64_t file_size) {
  if (file_start.size() > file_size) return DllCheckError::kBadHeaders;  // a caller's mistake
  auto image = PeImage::Open(file_start);
  if (!image) {
    return image.error() == PeError::kNotExecutable ? DllCheckError::kNotPeImage
                                                    : DllCheckError::kBadHeaders;
  }
  const std::uint16_t flags = image->characteristics();
  if ((flags & kExecutableImage) == 0 || (flags & kDll) == 0) return DllCheckError::kNotDll;

  const auto sections = image->Sections();
  if (!sections || sections->empty()) return DllCheckError::kBadHeaders;
  for (const Section& section : *sections) {
    if (section.raw_size == 0) continue;  // a section without data in the file (.bss)
    const auto end = base::CheckedAdd<std::uint64_t>(section.raw_pointer, section.raw_size);
    if (!end || *end > file_size) return DllCheckError::kTruncated;
  }
  return {};
}

}  // namespace movarin::pe
