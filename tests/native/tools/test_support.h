// What the catalogue tool's tests share: temporary folders, files, and running the
// independent readers (mdbtools, node with mdb-reader) and our own programs.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace movarin::tools::testing {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string File(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

struct CommandResult {
  int exit_code = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};
// Runs a shell command line; its output is captured.
CommandResult RunCommand(const std::string& command_line);
// A word quoted for the shell.
std::string Quote(std::string_view word);
bool CommandExists(std::string_view name);

std::optional<std::string> ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
// Names of the entries of a folder.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

// $MOVARIN_SHARED/data, $MOVARIN_BUILD, $MOVARIN_SOURCE; empty when not set.
std::filesystem::path SharedData();
std::filesystem::path BuildTree();
std::filesystem::path SourceTree();
// The node modules folder beside the build trees (build/node/node_modules).
std::filesystem::path NodeModules();

}  // namespace movarin::tools::testing
