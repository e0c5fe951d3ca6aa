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
  std::vector<std::uint8_t> bytes;
  constexpr std::size_t kChunk = 1 << 20;
  while (true) {
    const std::size_t old_size = bytes.size();
    if (old_size > max_size) return FileReadError::kTooLarge;
    bytes.resize(old_size + kChunk);
    const std::size_t got = std::fread(bytes.data() + old_size, 1, kChunk, file.get());
    bytes.resize(old_size + got);
    if (got < kChunk) {
      if (std::ferror(file.get())) return FileReadError::kUnreadable;
      break;
    }
  }
  if (bytes.size() > max_size) return FileReadError::kTooLarge;
  return bytes;
}

}  // namespace movarin::catalogue
