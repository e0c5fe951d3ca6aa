#pragma once
// Icon and cursor files: the directory, PNG-compressed entries and classic entries with
// their AND masks or alpha channel; one entry is chosen for the wanted size.
#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

struct IconEntry {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bit_count = 0;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
  bool png = false;
  bool usable = false;  // its data lies inside the file and its header could be read
};

struct IconDirectory {
  bool cursor = false;
  std::vector<IconEntry> entries;
};

class IcoParser {
 public:
  // Reserved 0, type 1 (icon) or 2 (cursor), at least one entry, directory inside the data.
  static bool IsIcon(std::span<const std::uint8_t> data);
  static base::Result<IconDirectory, ImageError> ReadDirectory(std::span<const std::uint8_t> data);
  // The entry shown for the wanted size: an exact size match, else the smallest entry
  // larger than wanted, else the largest; among equals the most colours. A wanted size
  // of 0 asks for the largest entry. -1 when no entry is usable.
  static int ChooseEntry(const std::vector<IconEntry>& entries, int wanted_width, int wanted_height);

  base::Result<DecodedImage, ImageError> Decode(std::span<const std::uint8_t> data, int wanted_width,
                                                int wanted_height) const;
  // Decodes one entry (for tests and tools that list every entry).
  base::Result<DecodedImage, ImageError> DecodeEntry(std::span<const std::uint8_t> data,
                                                     const IconEntry& entry, bool cursor) const;
};

}  // namespace movarin::imaging
