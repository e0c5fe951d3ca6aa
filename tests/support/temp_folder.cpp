#include "tests/support/temp_folder.h"

#include <atomic>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include "base/files.h"

#ifdef _WIN32
#include <process.h>
#define MOVARIN_GETPID _getpid
#else
#include <unistd.h>
#define MOVARIN_GETPID getpid
#endif

namespace movarin::test {
namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

}  // namespace

TempFolder::TempFolder(std::string_view prefix) {
  static std::atomic<unsigned> counter{0};
  std::error_code error;
  const fs::path temp = fs::temp_directory_path(error);
  if (error) return;
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = std::string(prefix) + "-" + std::to_string(MOVARIN_GETPID()) + "-" +
                             std::to_string(counter++) + "-" + std::to_string(random() % 100000);
    const fs::path candidate = temp / base::PathFromUtf8(name);
    if (fs::create_directory(candidate, error)) {
      std::string text = base::PathToUtf8(candidate.lexically_normal());
      while (text.size() > 1 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
      path_ = std::move(text);
      return;
    }
    if (error) return;  // not "exists already": no other name will do better
  }
}

TempFolder::TempFolder(TempFolder&& other) noexcept : path_(std::exchange(other.path_, {})) {}

TempFolder& TempFolder::operator=(TempFolder&& other) noexcept {
  if (this != &other) {
    if (!path_.empty()) RemoveTree(path_);
    path_ = std::exchange(other.path_, {});
  }
  return *this;
}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

std::string TempFolder::operator/(std::string_view relative) const {
  return path_ + kSeparator + std::string(relative);
}

bool CopyTree(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return false;
  const fs::path source = base::PathFromUtf8(from);
  const fs::path target = base::PathFromUtf8(to);
  std::error_code error;
  if (!fs::is_directory(source, error)) return false;
  fs::create_directories(target, error);
  if (error) return false;
  bool ok = true;
  for (auto it = fs::recursive_directory_iterator(source, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const fs::path copy = target / fs::relative(it->path(), source);
    std::error_code step;
    if (it->is_directory(step)) {
      fs::create_directories(copy, step);
    } else {
      // An existing file is replaced: removed first, read-only or not.
      fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add, step);
      fs::remove(copy, step);
      fs::copy_file(it->path(), copy, step);
    }
    ok = ok && !step;
  }
  return ok && !error;
}

bool RemoveTree(const std::string& path) {
  if (path.empty()) return false;
  const fs::path root = base::PathFromUtf8(path);
  std::error_code error;
  fs::remove_all(root, error);
  if (error) {
    // A read-only file cannot be deleted on Windows, nor the entries of a folder without
    // write permission elsewhere: make everything writable, then try again.
    std::error_code ignored;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      const bool folder = it->is_directory(ignored);
      fs::permissions(it->path(), folder ? fs::perms::owner_all : fs::perms::owner_write,
                      fs::perm_options::add, ignored);
    }
    error.clear();
    fs::remove_all(root, error);
  }
  return !fs::exists(root, error) && !error;
}

}  // namespace movarin::test
