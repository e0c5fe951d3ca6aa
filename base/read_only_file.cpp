#include "base/read_only_file.h"

#include <utility>

#include "base/bulk_memory.h"
#include "base/utf.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace movarin::base {
namespace {

#ifdef _WIN32
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

FileReadError OpenFailure(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
      return FileReadError::kNotFound;
    default:
      return FileReadError::kUnreadable;
  }
}
#else
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};
#endif

}  // namespace

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      block_(std::exchange(other.block_, nullptr)),
      block_size_(std::exchange(other.block_size_, 0)) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    block_ = std::exchange(other.block_, nullptr);
    block_size_ = std::exchange(other.block_size_, 0);
  }
  return *this;
}

ReadOnlyFile::~ReadOnlyFile() { Release(); }

void ReadOnlyFile::Release() noexcept {
  if (block_ == nullptr) return;
#ifdef _WIN32
  UnmapViewOfFile(block_);
#else
  FreeBulk(block_, block_size_);
#endif
  block_ = nullptr;
  data_ = nullptr;
  size_ = 0;
}

#ifdef _WIN32

Result<ReadOnlyFile, FileReadError> ReadOnlyFile::Open(std::string_view path_utf8, std::size_t max_size) {
  const std::u16string wide = Utf8ToUtf16(path_utf8);
  // The same sharing as the C runtime's fopen: others may read and write meanwhile.
  const Handle file(CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return OpenFailure(GetLastError());
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return FileReadError::kUnreadable;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return FileReadError::kUnreadable;
  if (static_cast<unsigned long long>(size.QuadPart) > max_size) return FileReadError::kTooLarge;
  ReadOnlyFile result;
  if (size.QuadPart == 0) return result;  // an empty file cannot be mapped, and needs not be
  const Handle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (mapping.get() == nullptr) return FileReadError::kUnreadable;
  void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) {
    // A 32-bit process may lack the address space for a large file.
    const DWORD code = GetLastError();
    return code == ERROR_NOT_ENOUGH_MEMORY || code == ERROR_COMMITMENT_LIMIT ? FileReadError::kTooLarge
                                                                              : FileReadError::kUnreadable;
  }
  // The view keeps the file open; the handles can go.
  result.block_ = view;
  result.block_size_ = static_cast<std::size_t>(size.QuadPart);
  result.data_ = static_cast<const std::uint8_t*>(view);
  result.size_ = static_cast<std::size_t>(size.QuadPart);
  return result;
}

#else

Result<ReadOnlyFile, FileReadError> ReadOnlyFile::Open(std::string_view path_utf8, std::size_t max_size) {
  const Descriptor file(open(std::string(path_utf8).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0) return errno == ENOENT || errno == ENOTDIR ? FileReadError::kNotFound : FileReadError::kUnreadable;
  struct stat status {};
  if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    return FileReadError::kUnreadable;
  }
  if (static_cast<unsigned long long>(status.st_size) > max_size) return FileReadError::kTooLarge;
  const auto size = static_cast<std::size_t>(status.st_size);
  ReadOnlyFile result;
  if (size == 0) return result;
  try {
    result.block_ = AllocateBulk(size);
  } catch (const std::bad_alloc&) {
    return FileReadError::kTooLarge;
  }
  result.block_size_ = size;
  auto* bytes = static_cast<std::uint8_t*>(result.block_);
  // A file that shrinks meanwhile is taken as far as it goes; one that grows, at the size
  // it had when it was opened.
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = read(file.get(), bytes + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileReadError::kUnreadable;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  result.data_ = bytes;
  result.size_ = got;
  return result;
}

#endif

}  // namespace movarin::base
