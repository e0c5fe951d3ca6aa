// The file version of a Windows program or library (.dll, .ocx, .exe), read from its
// version resource. The version is the numeric one of the fixed file information,
// "major.minor.build.revision" (e.g. "6.1.7601.17514"): every version resource has it,
// in the same form whatever the language, while the "FileVersion" string is free text
// that differs between languages and is sometimes missing or stale.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/result.h"
#include "pe/pe_image.h"

namespace movarin::pe {

// The version text, "" when the file has no version resource (or one without fixed
// file information), or the reason the file could not be read as a PE image.
base::Result<std::string, PeError> ReadFileVersion(std::span<const std::uint8_t> image);
base::Result<std::string, PeError> ReadFileVersionOfFile(const std::string& path_utf8);

}  // namespace movarin::pe
