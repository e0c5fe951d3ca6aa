#include "tests/wine/support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <utility>

#include "platform/win32/text.h"

namespace movarin::test {
namespace {

// Deep enough for any test tree, and a bound on the recursion.
constexpr int kMaxDepth = 64;

bool RemoveTreeW(const std::wstring& path, int depth) {
  if (depth > kMaxDepth) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTreeW(child, depth + 1);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool CopyTreeW(const std::wstring& from, const std::wstring& to, int depth) {
  if (depth > kMaxDepth) return false;
  if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return false;
  }
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring source = from + L"\\" + name;
    const std::wstring target = to + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = CopyTreeW(source, target, depth + 1) && ok;
    } else {
      ok = CopyFileW(source.c_str(), target.c_str(), FALSE) && ok;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return ok;
}

}  // namespace

TempFolder::TempFolder(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return;
  std::wstring base(temp, n);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring candidate = base + L"\\" + win32::Widen(prefix) + L"-" +
                                   std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(counter++);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = win32::Narrow(candidate);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return;
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

bool CopyTree(const std::string& from, const std::string& to) {
  if (from.empty() || to.empty()) return false;
  return CopyTreeW(win32::Widen(from), win32::Widen(to), 0);
}

bool RemoveTree(const std::string& path) {
  if (path.empty()) return false;
  return RemoveTreeW(win32::Widen(path), 0);
}

}  // namespace movarin::test
