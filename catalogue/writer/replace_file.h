// Writing a file so that its destination is either the old file or the complete new one:
// the bytes go to a temporary file beside the destination, which is renamed over it only
// after everything was written and closed.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace movarin::catalogue::writer {

// A UTF-8 path as the platform's path (wide on Windows).
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

class ReplacingFile {
 public:
  explicit ReplacingFile(std::filesystem::path destination);
  // Removes the temporary file unless Commit succeeded.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False (with reason()) when the temporary file could not be created.
  bool Open();
  bool Write(const void* bytes, std::size_t size);
  // Closes the temporary file and renames it over the destination.
  bool Commit();

  const std::filesystem::path& temporary_path() const { return temporary_; }
  // Why the last step failed, in the system's words.
  const std::string& reason() const { return reason_; }

 private:
  void Discard();

  std::filesystem::path destination_;
  std::filesystem::path temporary_;
  std::ofstream stream_;
  bool created_ = false;
  bool committed_ = false;
  std::string reason_;
};

}  // namespace movarin::catalogue::writer
