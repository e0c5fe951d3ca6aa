// Files by UTF-8 path: reading a whole file with a size limit, and the one way every
// writer of a user's file saves it (write beside, then replace). On Windows the paths go
// through the UTF-16 file API, so any path works.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "base/result.h"

namespace movarin::base {

// A UTF-8 path as the platform's path (wide on Windows), and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

enum class FileReadError { kNotFound, kUnreadable, kTooLarge };
std::string_view FileReadErrorText(FileReadError error);

// The whole file, refused (without reading it all) when larger than max_size.
Result<std::vector<std::uint8_t>, FileReadError> ReadWholeFile(std::string_view path_utf8,
                                                               std::size_t max_size);

// Writes a file so that its destination holds either the old file or the complete new
// one: the bytes go to a temporary file beside the destination (same folder, so the final
// rename never copies across drives), which replaces the destination only in Commit().
// Destroying it without a successful Commit removes the temporary file.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path destination);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the temporary file, a new one: a file that already has its name is never
  // written to (another name is tried).
  Result<void, Failure> Open();
  Result<void, Failure> Write(std::span<const std::uint8_t> bytes);
  Result<void, Failure> Write(std::string_view bytes);
  // Closes the temporary file and renames it over the destination.
  Result<void, Failure> Commit();
  // Closes and removes the temporary file; the destination is untouched.
  void Discard();

  const std::filesystem::path& destination() const { return destination_; }
  const std::filesystem::path& temporary_path() const { return temporary_; }

 private:
  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  struct StdioCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, StdioCloser> file_;
  bool created_ = false;
  bool committed_ = false;
};

// Saves `bytes` as the whole new content of `destination` through a ReplacingFile.
Result<void, Failure> ReplaceFileContents(const std::filesystem::path& destination,
                                          std::span<const std::uint8_t> bytes);

}  // namespace movarin::base
