#include "tests/native/tools/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace movarin::tools::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::random_device device;
  for (;;) {
    path_ = fs::temp_directory_path() / ("movarin-catalog-test-" + std::to_string(device()));
    if (fs::create_directory(path_)) break;
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string Quote(std::string_view word) {
  std::string quoted = "'";
  for (char ch : word) quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return quoted + "'";
}

CommandResult RunCommand(const std::string& command_line) {
  TempFolder folder;
  const std::string out = folder.File("out");
  const std::string err = folder.File("err");
  const int status = std::system((command_line + " >" + Quote(out) + " 2>" + Quote(err)).c_str());
  CommandResult result;
  result.exit_code = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(out).value_or("");
  result.err = ReadFile(err).value_or("");
  return result;
}

bool CommandExists(std::string_view name) {
  return RunCommand("command -v " + Quote(name)).exit_code == 0;
}

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

namespace {
fs::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? fs::path(value) : fs::path();
}
}  // namespace

// The environment names the folders; the paths known when the tests were built stand in
// when it does not.
fs::path SourceTree() {
  const fs::path source = FromEnvironment("MOVARIN_SOURCE");
  return source.empty() ? fs::path(MOVARIN_TOOLS_TEST_SOURCE_DIR) : source;
}
fs::path BuildTree() {
  const fs::path build = FromEnvironment("MOVARIN_BUILD");
  return build.empty() ? fs::path(MOVARIN_TOOLS_TEST_BINARY_DIR) : build;
}
fs::path SharedData() {
  const fs::path shared = FromEnvironment("MOVARIN_SHARED");
  return (shared.empty() ? SourceTree() / ".." / "shared" : shared) / "data";
}
fs::path NodeModules() {
  const fs::path build = BuildTree();
  return build.empty() ? build : build / ".." / "node" / "node_modules";
}

}  // namespace movarin::tools::testing
