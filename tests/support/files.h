// Whole-file reads and writes and small file-system questions for tests (UTF-8 paths;
// Windows paths under Wine).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace movarin::test {

// The file's bytes, or nullopt when it cannot be opened or read completely.
std::optional<std::string> ReadWholeFile(const std::string& path);
// Creates or replaces the file with exactly these bytes; false on any failure.
bool WriteWholeFile(const std::string& path, std::string_view bytes);
// The same for byte vectors; these throw std::runtime_error on failure, so a test that
// cannot set up its files stops at once.
std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// The file's size, or nullopt when it does not exist.
std::optional<std::uint64_t> FileSize(const std::string& path);
// Names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

}  // namespace movarin::test
