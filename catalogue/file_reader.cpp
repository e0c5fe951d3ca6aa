#include "catalogue/file_reader.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "catalogue/jet/text_decoding.h"

namespace movarin::catalogue {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenForReading(const std::string& path_utf8) {
#ifdef _WIN32
  const std::u16string wide = jet::Utf8ToUtf16(path_utf8);
  return FilePtr(_wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb"));
#else
  return FilePtr(std::fopen(path_utf8.c_str(), "rb"));
#endif
}

}  // namespace

std::variant<std::vector<std::uint8_t>, FileReadError> ReadWholeFile(const std::string& path_utf8,
                                                                     std::size_t max_size) {
  errno = 0;
  FilePtr file = OpenForReading(path_utf8);
  if (!file) return errno == ENOENT ? FileReadError::kNotFound : FileReadError::kUnreadable;
  // Read in one go at the size the file has now; a file that grows meanwhile is read on
  // in chunks, and a limit keeps a huge file from being read at all.
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

}  // namespace movarin::catalogue
