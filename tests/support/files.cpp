#include "tests/support/files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "base/files.h"

namespace movarin::test {
namespace fs = std::filesystem;

namespace {
// Tests never need larger files in memory; larger ones are refused, not truncated.
constexpr std::size_t kMaxReadBytes = std::size_t{512} << 20;
}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  auto bytes = base::ReadWholeFile(path, kMaxReadBytes);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(base::PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  auto bytes = base::ReadWholeFile(path, kMaxReadBytes);
  if (!bytes) throw std::runtime_error("cannot read " + path);
  return std::move(*bytes);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!WriteWholeFile(path, text)) throw std::runtime_error("cannot write " + path);
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(base::PathFromUtf8(path), error);
}

bool FolderExists(const std::string& path) {
  std::error_code error;
  return fs::is_directory(base::PathFromUtf8(path), error);
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  std::error_code error;
  const fs::path file = base::PathFromUtf8(path);
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  const auto size = fs::file_size(file, error);
  if (error) return std::nullopt;
  return static_cast<std::uint64_t>(size);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (auto it = fs::directory_iterator(base::PathFromUtf8(folder), error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    names.push_back(base::PathToUtf8(it->path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace movarin::test
