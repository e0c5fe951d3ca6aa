// Limits on what one file may make the reader produce. A hostile file can point many
// rows at the same bytes; these bounds keep memory and time proportional to the file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "catalogue/jet/jet_error.h"

namespace movarin::catalogue::jet {

class DecodeBudget {
 public:
  // A real file holds at most a few cells and a few decoded bytes per stored byte.
  explicit DecodeBudget(std::size_t file_size)
      : cells_left_(kCellsBase + file_size * kCellsPerByte),
        bytes_left_(kBytesBase + file_size * kBytesPerByte) {}

  base::Result<void, Error> TakeCells(std::size_t count) {
    return Take(cells_left_, count, Error::kTooManyRows);
  }
  base::Result<void, Error> TakeBytes(std::size_t count) {
    return Take(bytes_left_, count, Error::kDecodedDataTooLarge);
  }

 private:
  static constexpr std::size_t kCellsBase = 1 << 16;
  // A row of a wide, mostly empty table stores about 6 cells per byte; a catalogue row far
  // fewer. Four keeps hostile files from turning each byte into hundreds of bytes of memory.
  static constexpr std::size_t kCellsPerByte = 4;
  static constexpr std::size_t kBytesBase = 1 << 20;
  static constexpr std::size_t kBytesPerByte = 4;

  static base::Result<void, Error> Take(std::size_t& left, std::size_t count, Error error) {
    if (count > left) return error;
    left -= count;
    return {};
  }

  std::size_t cells_left_;
  std::size_t bytes_left_;
};

}  // namespace movarin::catalogue::jet
