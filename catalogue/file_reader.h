// Reading a whole file into memory by its UTF-8 path, on Windows through the UTF-16 file
// API so that any path works.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace movarin::catalogue {

enum class FileReadError { kNotFound, kUnreadable, kTooLarge };

std::variant<std::vector<std::uint8_t>, FileReadError> ReadWholeFile(const std::string& path_utf8,
                                                                     std::size_t max_size);

}  // namespace movarin::catalogue
