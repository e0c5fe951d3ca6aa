#pragma once
// Whole-file reads and writes for tests (Windows paths, UTF-8).
#include <cstdint>
#include <optional>
#include <string>

namespace movarin::test {

// The file's bytes, or nullopt when it cannot be opened or read completely.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Creates or replaces the file with exactly these bytes; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// The file's size, or nullopt when it does not exist.
std::optional<std::uint64_t> FileSize(const std::string& path);

}  // namespace movarin::test
