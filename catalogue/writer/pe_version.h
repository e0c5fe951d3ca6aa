// The file version of a Windows program or library (.dll, .ocx, .exe), read from its
// version resource. The version is the numeric one of the fixed file information,
// "major.minor.build.revision" (e.g. "6.1.7601.17514"): every version resource has it,
// in the same form whatever the language, while the "FileVersion" string is free text
// that differs between languages and is sometimes missing or stale.
// The input is untrusted: every offset and size is checked before use.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace movarin::catalogue::writer {

enum class PeError : std::uint8_t {
  kNone,
  kNotExecutable,         // no MZ header or no PE signature
  kBadHeaders,            // headers or section table cut off or inconsistent
  kBadResourceDirectory,  // resource tree outside the file, too deep or cut off
  kBadVersionResource,    // version resource malformed
  kCannotRead,            // the file could not be opened or read
  kFileTooLarge,
};
std::string_view PeErrorText(PeError error);

// The version text, "" when the file has no version resource (or one without fixed
// file information), or the reason the file could not be read as a PE image.
std::variant<std::string, PeError> ReadFileVersion(std::span<const std::uint8_t> image);
std::variant<std::string, PeError> ReadFileVersionOfFile(const std::filesystem::path& path);

}  // namespace movarin::catalogue::writer
