// A whole file's bytes for code that only reads them (the decoders), without the copies
// and zero-filling of reading into a vector. On Windows the file is mapped read-only
// (through the UTF-16 file API, so any path works): nothing is copied, and while the view
// exists no program can shorten the file. Elsewhere the file is read into bulk memory
// (bulk_memory.h): a mapping there would end the program with SIGBUS if another program
// shortened the file while it is being decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "base/files.h"
#include "base/result.h"

namespace movarin::base {

class ReadOnlyFile {
 public:
  // The file as it is now, refused (without reading it) when larger than max_size. Only
  // files on a disk are read: a folder, a device or a pipe is kUnreadable (reading a
  // device such as CON could wait for input).
  static Result<ReadOnlyFile, FileReadError> Open(std::string_view path_utf8, std::size_t max_size);

  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile();

  // Valid while this object lives.
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

 private:
  ReadOnlyFile() = default;
  void Release() noexcept;

  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  // Windows: the mapped view (data_); elsewhere: the bulk block holding the bytes.
  void* block_ = nullptr;
  std::size_t block_size_ = 0;
};

}  // namespace movarin::base
