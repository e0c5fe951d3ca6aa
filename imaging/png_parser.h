#pragma once
// PNG pictures into premultiplied BGRA: every colour type and bit depth, PLTE and tRNS,
// the five row filters and Adam7 interlacing.
#include <cstdint>
#include <optional>
#include <span>

#include "base/result.h"
#include "imaging/decoded_image.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

struct PngOptions {
  // Decompress with the zlib library first (our own decoder remains the fallback).
  bool use_zlib_library = true;
  // Check the CRCs of IHDR, PLTE, tRNS and IDAT.
  bool verify_crc = true;
};

struct PngHeader {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint8_t bit_depth = 0;
  std::uint8_t colour_type = 0;
  std::uint8_t interlace = 0;
};

class PngParser {
 public:
  explicit PngParser(PngOptions options = {}) : options_(options) {}

  // True when the data begins with the PNG signature: then the parser's answer is final.
  static bool IsPng(std::span<const std::uint8_t> data);
  // Reads the IHDR that must follow the signature (for icon directories); no CRC check.
  static std::optional<PngHeader> PeekHeader(std::span<const std::uint8_t> data);

  base::Result<DecodedImage, ImageError> Decode(std::span<const std::uint8_t> data) const;

 private:
  PngOptions options_;
};

}  // namespace movarin::imaging
