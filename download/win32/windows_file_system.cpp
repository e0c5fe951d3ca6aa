#include "download/win32/windows_file_system.h"

#include <windows.h>

#include <cerrno>
#include <optional>
#include <span>

#include "base/files.h"
#include "platform/win32/text.h"

namespace movarin::download::win32 {

using movarin::win32::Narrow;
using movarin::win32::Widen;

namespace {

// A system error code and the number and words of the file error users know for it.
struct KnownFileError {
  std::int64_t code;
  std::int64_t number;
  const char* text;
};

// Windows error codes.
constexpr KnownFileError kFileErrors[] = {
    {ERROR_FILE_NOT_FOUND, 53, "File not found"},
    {ERROR_PATH_NOT_FOUND, 76, "Path not found"},
    {ERROR_BAD_PATHNAME, 76, "Path not found"},
    {ERROR_INVALID_NAME, 52, "Bad file name or number"},
    {ERROR_DISK_FULL, 61, "Disk full"},
    {ERROR_HANDLE_DISK_FULL, 61, "Disk full"},
    {ERROR_ACCESS_DENIED, 70, "Permission denied"},
    {ERROR_SHARING_VIOLATION, 70, "Permission denied"},
    {ERROR_WRITE_PROTECT, 70, "Permission denied"},
    {ERROR_NOT_READY, 71, "Disk not ready"},
    {ERROR_ALREADY_EXISTS, 75, "Path/File access error"},
    {ERROR_FILE_EXISTS, 75, "Path/File access error"},
    {ERROR_DIR_NOT_EMPTY, 75, "Path/File access error"},
    {ERROR_NOT_ENOUGH_MEMORY, 7, "Out of memory"},
    {ERROR_OUTOFMEMORY, 7, "Out of memory"},
};

// The C runtime's errno values of the same failures.
constexpr KnownFileError kRuntimeErrors[] = {
    {ENOENT, 76, "Path not found"},
    {EACCES, 70, "Permission denied"},
    {EROFS, 70, "Permission denied"},
    {ENOSPC, 61, "Disk full"},
    {EEXIST, 75, "Path/File access error"},
    {EIO, 75, "Path/File access error"},
    {EINVAL, 52, "Bad file name or number"},
    {ENAMETOOLONG, 52, "Bad file name or number"},
    {ENOMEM, 7, "Out of memory"},
};

// The engine's 1 KiB chunks reach the disk in blocks: base::ReplacingFile buffers them.
class WindowsReplacingOutput final : public ReplacingOutput {
 public:
  explicit WindowsReplacingOutput(const std::string& destination)
      : file_(base::PathFromUtf8(destination)) {}

  base::Result<void, Failure> Open() { return Checked(file_.Open()); }

  base::Result<void, Failure> Write(std::span<const std::uint8_t> bytes) override {
    return Checked(file_.Write(bytes));
  }

  base::Result<void, Failure> Commit() override { return Checked(file_.Commit()); }

 private:
  static base::Result<void, Failure> Checked(base::Result<void, Failure> result) {
    if (!result) return RuntimeFileFailure(result.error());
    return {};
  }

  base::ReplacingFile file_;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

std::optional<Failure> Known(std::span<const KnownFileError> table, std::int64_t code) {
  for (const auto& known : table) {
    if (known.code == code) return Failure{known.number, known.text};
  }
  return std::nullopt;
}

}  // namespace

Failure FileFailure(unsigned long code) {
  if (auto known = Known(kFileErrors, code)) return *known;
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string description;
  if (length != 0 && text) description = Narrow(std::wstring_view(text, length));
  if (text) LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r' ||
                                  description.back() == ' ' || description.back() == '.')) {
    description.pop_back();
  }
  if (description.empty()) description = "System error " + std::to_string(code);
  return Failure{static_cast<std::int64_t>(code), description};
}

Failure RuntimeFileFailure(const Failure& failure) {
  return Known(kRuntimeErrors, failure.number).value_or(failure);
}

bool WindowsFileSystem::FolderExists(const std::string& folder) {
  const DWORD attributes = Attributes(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

base::Result<void, Failure> WindowsFileSystem::CreateFolder(const std::string& folder) {
  if (!CreateDirectoryW(Widen(folder).c_str(), nullptr)) return FileFailure(GetLastError());
  return {};
}

base::Result<std::uint64_t, Failure> WindowsFileSystem::FreeBytes(const std::string& root) {
  std::string path = root;
  if (path.empty() || path.back() != '\\') path += '\\';
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, total_clusters = 0;
  if (!GetDiskFreeSpaceW(Widen(path).c_str(), &sectors_per_cluster, &bytes_per_sector,
                         &free_clusters, &total_clusters)) {
    return FileFailure(GetLastError());
  }
  return std::uint64_t{free_clusters} * sectors_per_cluster * bytes_per_sector;
}

base::Result<std::unique_ptr<ReplacingOutput>, Failure> WindowsFileSystem::OpenReplacing(
    const std::string& destination) {
  auto file = std::make_unique<WindowsReplacingOutput>(destination);
  if (auto opened = file->Open(); !opened) return opened.error();
  return std::unique_ptr<ReplacingOutput>(std::move(file));
}

}  // namespace movarin::download::win32
