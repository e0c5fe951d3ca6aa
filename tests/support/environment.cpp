#include "tests/support/environment.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/files.h"

#ifdef _WIN32
#include "tests/support/win32/wine_paths.h"
#endif

namespace movarin::test {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// A folder the runner names, as a path of this platform without a trailing separator.
std::optional<std::string> Folder(std::string_view variable, std::string_view built_in) {
  std::string path;
  if (auto value = EnvVar(variable); value && !value->empty()) {
    path = *value;
  } else if (!built_in.empty()) {
    path = built_in;
  } else {
    return std::nullopt;
  }
#ifdef _WIN32
  path = WindowsPath(path);
#endif
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

#ifndef _WIN32
// (On Windows the process environment is read in win32/wine_paths.cpp: the C runtime's
// copy does not see later changes.)
std::optional<std::string> EnvVar(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}
#endif

std::optional<std::string> SourceDir() { return Folder("MOVARIN_SOURCE", MOVARIN_TEST_SOURCE_DIR); }
std::optional<std::string> BuildDir() { return Folder("MOVARIN_BUILD", MOVARIN_TEST_BUILD_DIR); }

std::optional<std::string> SharedDir() {
  if (auto shared = Folder("MOVARIN_SHARED", "")) return shared;
  auto source = SourceDir();
  if (!source) return std::nullopt;
  const std::filesystem::path beside =
      (base::PathFromUtf8(*source) / ".." / "shared").lexically_normal();
  return base::PathToUtf8(beside);
}

std::optional<std::string> SampleMdbDir() {
  auto shared = SharedDir();
  if (!shared) return std::nullopt;
  std::string dir = JoinPath(*shared, "data/mdb");
  std::error_code error;
  if (!std::filesystem::is_directory(base::PathFromUtf8(dir), error)) return std::nullopt;
  return dir;
}

std::string JoinPath(const std::string& base, std::string_view relative) {
  std::string path = base;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += kSeparator;
  for (char c : relative) path += c == '/' ? kSeparator : c;
  return path;
}

}  // namespace movarin::test
