#include "base/files.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <system_error>

#include "base/utf.h"

namespace movarin::base {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenForReading(std::string_view path_utf8) {
#ifdef _WIN32
  const std::u16string wide = Utf8ToUtf16(path_utf8);
  return FilePtr(_wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb"));
#else
  return FilePtr(std::fopen(std::string(path_utf8).c_str(), "rb"));
#endif
}

Failure ErrnoFailure() {
  const int code = errno;
  if (code == 0) return {0, "unknown reason"};
  return {code, std::generic_category().message(code)};
}

Failure ErrorCodeFailure(const std::error_code& error) { return {error.value(), error.message()}; }

std::string RandomSuffix() {
  std::random_device device;
  std::uniform_int_distribution<unsigned> digit(0, 15);
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix += "0123456789abcdef"[digit(device)];
  return suffix;
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string_view FileReadErrorText(FileReadError error) {
  switch (error) {
    case FileReadError::kNotFound: return "the file does not exist";
    case FileReadError::kUnreadable: return "the file cannot be read";
    case FileReadError::kTooLarge: return "the file is too large";
  }
  return "the file cannot be read";
}

Result<std::vector<std::uint8_t>, FileReadError> ReadWholeFile(std::string_view path_utf8,
                                                               std::size_t max_size) {
  errno = 0;
  FilePtr file = OpenForReading(path_utf8);
  if (!file) return errno == ENOENT ? FileReadError::kNotFound : FileReadError::kUnreadable;
  // Read in one go at the size the file has now; a file that grows meanwhile is read on
  // in chunks, and the limit keeps a huge file from being read at all.
  std::size_t expected = 0;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long end = std::ftell(file.get());
    if (end > 0) expected = static_cast<std::size_t>(end);
    std::fseek(file.get(), 0, SEEK_SET);
  }
  if (expected > max_size) {
    // A folder "opens" on some systems and reports any size; it fails at the first read.
    std::uint8_t probe;
    if (std::fread(&probe, 1, 1, file.get()) != 1) return FileReadError::kUnreadable;
    return FileReadError::kTooLarge;
  }
  std::vector<std::uint8_t> bytes;
  constexpr std::size_t kChunk = 1 << 20;
  std::size_t want = expected + 1;  // one byte more shows whether the end was reached
  while (true) {
    const std::size_t old_size = bytes.size();
    if (old_size > max_size) return FileReadError::kTooLarge;
    bytes.resize(old_size + want);
    const std::size_t got = std::fread(bytes.data() + old_size, 1, want, file.get());
    bytes.resize(old_size + got);
    if (got < want) {
      if (std::ferror(file.get())) return FileReadError::kUnreadable;
      break;
    }
    want = kChunk;
  }
  if (bytes.size() > max_size) return FileReadError::kTooLarge;
  return bytes;
}

ReplacingFile::ReplacingFile(std::filesystem::path destination)
    : destination_(std::move(destination)) {
  std::filesystem::path name = destination_.filename();
  name += ".";
  name += RandomSuffix();
  name += ".tmp";
  temporary_ = destination_.parent_path() / name;
}

ReplacingFile::~ReplacingFile() {
  if (!committed_) Discard();
}

Result<void, Failure> ReplacingFile::Open() {
  errno = 0;
  stream_.open(temporary_, std::ios::binary | std::ios::out | std::ios::trunc);
  if (!stream_.is_open()) return ErrnoFailure();
  created_ = true;
  return {};
}

Result<void, Failure> ReplacingFile::Write(std::span<const std::uint8_t> bytes) {
  if (!created_) return Failure{0, "the file is not open"};
  errno = 0;
  stream_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!stream_) return ErrnoFailure();
  return {};
}

Result<void, Failure> ReplacingFile::Write(std::string_view bytes) {
  return Write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

Result<void, Failure> ReplacingFile::Commit() {
  if (!created_) return Failure{0, "the file is not open"};
  errno = 0;
  stream_.close();
  if (stream_.fail()) return ErrnoFailure();
  std::error_code error;
  std::filesystem::rename(temporary_, destination_, error);
  if (error) return ErrorCodeFailure(error);
  committed_ = true;
  return {};
}

void ReplacingFile::Discard() {
  if (stream_.is_open()) stream_.close();
  if (created_ && !committed_) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    created_ = false;
  }
}

Result<void, Failure> ReplaceFileContents(const std::filesystem::path& destination,
                                          std::span<const std::uint8_t> bytes) {
  ReplacingFile file(destination);
  if (auto opened = file.Open(); !opened) return opened;
  if (auto written = file.Write(bytes); !written) return written;
  return file.Commit();
}

}  // namespace movarin::base
