#include "base/files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <system_error>

#include "base/utf.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

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

// "<destination's name>.<random>.tmp" in the destination's folder.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& destination) {
  std::filesystem::path name = destination.filename();
  name += ".";
  name += RandomSuffix();
  name += ".tmp";
  return destination.parent_path() / name;
}

// A new file, opened for writing; fails (EEXIST) when the name is taken, so a file (or a
// link) planted under the temporary name is never written through or truncated.
int CreateNewFile(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

std::FILE* StreamOf(int descriptor) {
#ifdef _WIN32
  return _fdopen(descriptor, "wb");
#else
  return fdopen(descriptor, "wb");
#endif
}

void CloseDescriptor(int descriptor) {
#ifdef _WIN32
  _close(descriptor);
#else
  ::close(descriptor);
#endif
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
    : destination_(std::move(destination)), temporary_(TemporaryPathFor(destination_)) {}

ReplacingFile::~ReplacingFile() {
  if (!committed_) Discard();
}

Result<void, Failure> ReplacingFile::Open() {
  if (created_) return Failure{0, "the file is open already"};
  constexpr int kNameAttempts = 8;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    errno = 0;
    const int descriptor = CreateNewFile(temporary_);
    if (descriptor < 0) {
      if (errno == EEXIST) {
        temporary_ = TemporaryPathFor(destination_);
        continue;
      }
      return ErrnoFailure();
    }
    created_ = true;
    file_.reset(StreamOf(descriptor));
    if (!file_) {
      const Failure failure = ErrnoFailure();
      CloseDescriptor(descriptor);
      Discard();
      return failure;
    }
    // Whole blocks reach the system, whatever size of pieces the writers hand over
    // (the download engine's are 1 KiB chunks).
    std::setvbuf(file_.get(), nullptr, _IOFBF, 64 * 1024);
    return {};
  }
  return Failure{EEXIST, "no unused temporary file name was found"};
}

Result<void, Failure> ReplacingFile::Write(std::span<const std::uint8_t> bytes) {
  if (!file_) return Failure{0, "the file is not open"};
  if (bytes.empty()) return {};
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) return ErrnoFailure();
  return {};
}

Result<void, Failure> ReplacingFile::Write(std::string_view bytes) {
  return Write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

Result<void, Failure> ReplacingFile::Commit() {
  if (!file_) return Failure{0, "the file is not open"};
  errno = 0;
  // Closed here, so that the close's own failure (the last buffered bytes) is seen.
  if (std::fclose(file_.release()) != 0) return ErrnoFailure();
  std::error_code error;
  std::filesystem::rename(temporary_, destination_, error);
  if (error) return ErrorCodeFailure(error);
  committed_ = true;
  return {};
}

void ReplacingFile::Discard() {
  file_.reset();
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
