#pragma once
// Device-independent bitmaps as BMP files and classic icon entries store them: the info
// header (12, 40, 52, 56, 64, 108 or 124 bytes), bit masks, colour table and pixel rows.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

struct DibHeader {
  std::uint32_t header_size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // as stored: negative means top-down rows
  std::uint16_t bit_count = 0;
  std::uint32_t compression = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
  bool has_masks = false;
  struct Entry {
    std::uint8_t b, g, r;
  };
  std::vector<Entry> palette;
};

// Reads the header that starts at `offset`, its masks and colour table. `end` is set to
// the offset just after the colour table. Sizes are checked against the loader's limits.
ImageError ReadDibHeader(std::span<const std::uint8_t> data, std::size_t offset, DibHeader& header,
                         std::size_t& end);

// Bytes per pixel row: rows are padded to 4 bytes. False when the size overflows.
bool DibStride(std::uint64_t width, unsigned bit_count, std::size_t& stride);

// Converts `height` rows starting at `pixel_offset` into image pixels with straight
// alpha, 255 unless the pixels carry alpha values (then `alpha_from_data` is true and the
// caller decides what they mean).
ImageError DecodeDibPixels(std::span<const std::uint8_t> data, std::size_t pixel_offset,
                           const DibHeader& header, std::uint32_t height, bool top_down,
                           DecodedImage& image, bool& alpha_from_data);

enum class AlphaKind {
  None,           // every alpha is 0 or every alpha is 255: the channel means nothing
  Straight,       // colours not yet multiplied by alpha
  Premultiplied,  // no colour exceeds its alpha
};

// Decides what the alpha bytes of a freshly decoded 32-bit bitmap mean.
AlphaKind AnalyseAlpha(const DecodedImage& image);
// Makes the image premultiplied and opaque where the analysis found no alpha.
void ApplyAlpha(DecodedImage& image, AlphaKind kind);

}  // namespace movarin::imaging
