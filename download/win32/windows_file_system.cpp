#include "download/win32/windows_file_system.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace movarin::download::win32 {

using movarin::win32::Narrow;
using movarin::win32::UniqueFile;
using movarin::win32::Widen;

namespace {

struct FileErrorNumber {
  DWORD code;
  std::int64_t number;
  const char* text;
};
constexpr FileErrorNumber kFileErrors[] = {
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

// Written out in blocks, not in the engine's 1 KiB chunks.
constexpr std::size_t kWriteBuffer = 64 * 1024;
constexpr int kTempAttempts = 1000;

class WindowsOutputFile final : public OutputFile {
 public:
  explicit WindowsOutputFile(UniqueFile file) : file_(std::move(file)) { buffer_.reserve(kWriteBuffer); }

  std::optional<Failure> Write(const std::uint8_t* data, std::size_t size) override {
    if (!file_) return FileFailure(ERROR_INVALID_HANDLE);
    if (buffer_.size() + size > kWriteBuffer) {
      if (auto failure = Flush()) return failure;
    }
    if (size >= kWriteBuffer) return WriteThrough(data, size);
    buffer_.insert(buffer_.end(), data, data + size);
    return std::nullopt;
  }

  std::optional<Failure> Close() override {
    if (!file_) return std::nullopt;
    auto failure = Flush();
    const HANDLE handle = file_.release();
    if (!CloseHandle(handle) && !failure) failure = FileFailure(GetLastError());
    return failure;
  }

 private:
  std::optional<Failure> Flush() {
    if (buffer_.empty()) return std::nullopt;
    auto failure = WriteThrough(buffer_.data(), buffer_.size());
    buffer_.clear();
    return failure;
  }
  std::optional<Failure> WriteThrough(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
      const DWORD part = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file_.get(), data, part, &written, nullptr)) return FileFailure(GetLastError());
      if (written == 0) return FileFailure(ERROR_DISK_FULL);
      data += written;
      size -= written;
    }
    return std::nullopt;
  }

  UniqueFile file_;
  std::vector<std::uint8_t> buffer_;
};

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

}  // namespace

Failure FileFailure(unsigned long code) {
  for (const auto& known : kFileErrors) {
    if (known.code == code) return Failure{known.number, known.text};
  }
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

bool WindowsFileSystem::FolderExists(const std::string& folder) {
  const DWORD attributes = Attributes(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<Failure> WindowsFileSystem::CreateFolder(const std::string& folder) {
  if (!CreateDirectoryW(Widen(folder).c_str(), nullptr)) return FileFailure(GetLastError());
  return std::nullopt;
}

std::optional<Failure> WindowsFileSystem::FreeBytes(const std::string& root, std::uint64_t& bytes) {
  std::string path = root;
  if (path.empty() || path.back() != '\\') path += '\\';
  DWORD sectors_per_cluster = 0, bytes_per_sector = 0, free_clusters = 0, total_clusters = 0;
  if (!GetDiskFreeSpaceW(Widen(path).c_str(), &sectors_per_cluster, &bytes_per_sector,
                         &free_clusters, &total_clusters)) {
    return FileFailure(GetLastError());
  }
  bytes = std::uint64_t{free_clusters} * sectors_per_cluster * bytes_per_sector;
  return std::nullopt;
}

std::optional<Failure> WindowsFileSystem::CreateTempBeside(const std::string& destination,
                                                           std::string& temp_path,
                                                           std::unique_ptr<OutputFile>& file) {
  DWORD last_error = ERROR_FILE_EXISTS;
  const DWORD seed = GetCurrentProcessId() ^ GetTickCount();
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    const std::string candidate =
        destination + "." + std::to_string((seed + static_cast<DWORD>(attempt)) % 100000) + ".part";
    UniqueFile handle(CreateFileW(Widen(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle) {
      temp_path = candidate;
      file = std::make_unique<WindowsOutputFile>(std::move(handle));
      return std::nullopt;
    }
    last_error = GetLastError();
    if (last_error != ERROR_FILE_EXISTS && last_error != ERROR_ALREADY_EXISTS) break;
  }
  return FileFailure(last_error);
}

std::optional<Failure> WindowsFileSystem::MoveIntoPlace(const std::string& from, const std::string& to) {
  if (!MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING)) {
    return FileFailure(GetLastError());
  }
  return std::nullopt;
}

bool WindowsFileSystem::FileExists(const std::string& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WindowsFileSystem::RemoveFile(const std::string& path) {
  return DeleteFileW(Widen(path).c_str()) != 0;
}

}  // namespace movarin::download::win32
