#include "catalogue/writer/replace_file.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace movarin::catalogue::writer {
namespace {

std::string ErrnoText() {
  const int code = errno;
  return code != 0 ? std::generic_category().message(code) : std::string("unknown reason");
}

std::string RandomSuffix() {
  std::random_device device;
  std::uniform_int_distribution<unsigned> digit(0, 15);
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix += "0123456789abcdef"[digit(device)];
  return suffix;
}

}  // namespace

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
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

bool ReplacingFile::Open() {
  errno = 0;
  stream_.open(temporary_, std::ios::binary | std::ios::out | std::ios::trunc);
  if (!stream_.is_open()) {
    reason_ = ErrnoText();
    return false;
  }
  created_ = true;
  return true;
}

bool ReplacingFile::Write(const void* bytes, std::size_t size) {
  errno = 0;
  stream_.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
  if (!stream_) {
    reason_ = ErrnoText();
    return false;
  }
  return true;
}

bool ReplacingFile::Commit() {
  errno = 0;
  stream_.close();
  if (stream_.fail()) {
    reason_ = ErrnoText();
    return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary_, destination_, error);
  if (error) {
    reason_ = error.message();
    return false;
  }
  committed_ = true;
  return true;
}

void ReplacingFile::Discard() {
  if (stream_.is_open()) stream_.close();
  if (created_) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
  }
}

}  // namespace movarin::catalogue::writer
