#pragma once
// Whether a file is a whole Windows library: a PE image (32-bit PE32 or 64-bit PE32+)
// marked as a DLL, whose section table and every section's data lie inside the file.
// Nothing else may be copied into the system folder: an error page saved under a
// library's name, or a download cut short, would replace a working library there.
// The bytes are untrusted: the headers are read by PeImage, every sum is checked.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/result.h"

namespace movarin::pe {

enum class DllCheckError {
  kNotPeImage,  // no MZ header or no PE signature
  kBadHeaders,  // headers or section table cut off or inconsistent
  kNotDll,      // an image, but a program rather than a library
  kTruncated,   // a section's data reaches past the end of the file
};
std::string_view DllCheckErrorText(DllCheckError error);

// How much of the start of a file the check needs: real headers take a few kilobytes;
// headers that do not fit in this much are refused.
inline constexpr std::size_t kDllCheckBytes = std::size_t{1} << 20;

// `file_start` is the start of the file (all of it when the file is shorter than
// kDllCheckBytes) and `file_size` the size of the whole file.
base::Result<void, DllCheckError> CheckDll(std::span<const std::uint8_t> file_start,
                                           std::uint64_t file_size);

}  // namespace movarin::pe
