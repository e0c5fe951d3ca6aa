#pragma once
// Device-independent bitmaps as BMP files and classic icon entries store them: the info
// header (12, 40, 52, 56, 64, 108 or 124 bytes), bit masks, colour table and pixel rows.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

struct DibHeader {
  std::uint32_t header_size = 0;
  std::size_t end = 0;      // the offset just after the colour table
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

// Reads the header that starts at `offset`, its masks and colour table. Sizes are
// checked against the loader's limits.
base::Result<DibHeader, ImageError> ReadDibHeader(std::span<const std::uint8_t> data, std::size_t offset);

// The width and height of the header at `offset`, read from its fixed part alone (which
// must be complete and of a known size); for recognising bitmaps.
struct DibSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};
std::optional<DibSize> ReadDibSize(std::span<const std::uint8_t> data, std::size_t offset);

// Bytes per pixel row: rows are padded to 4 bytes. nullopt when the width is too large.
std::optional<std::size_t> DibStride(std::uint64_t width, unsigned bit_count);

// `height` rows starting at `pixel_offset` as image pixels with straight alpha, 255
// unless the pixels carry alpha values (then `alpha_from_data` is true and the caller
// decides what they mean).
struct DibPixels {
  DecodedImage image;
  bool alpha_from_data = false;
};
base::Result<DibPixels, ImageError> DecodeDibPixels(std::span<const std::uint8_t> data,
                                                    std::size_t pixel_offset, const DibHeader& header,
                                                    std::uint32_t height, bool top_down);

enum class AlphaKind {
  kNone,           // every alpha is 0 or every alpha is 255: the channel means nothing
  kStraight,       // colours not yet multiplied by alpha
  kPremultiplied,  // no colour exceeds its alpha
};

// Decides what the alpha bytes of a freshly decoded 32-bit bitmap mean.
AlphaKind AnalyseAlpha(const DecodedImage& image);
// Makes the image premultiplied and opaque where the analysis found no alpha.
void ApplyAlpha(DecodedImage& image, AlphaKind kind);

}  // namespace movarin::imaging
