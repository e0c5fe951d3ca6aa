#include "imaging/gif_parser.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "base/byte_reader.h"

#include "imaging/image_limits.h"
#include "imaging/image_type.h"
#include "imaging/lzw_decoder.h"

namespace movarin::imaging {
namespace {

constexpr std::array<std::string_view, 2> kSignatures = {"gif89a", "gif87a"};
constexpr std::size_t kSignatureLength = 6;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kColourTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;
constexpr std::uint8_t kColourTableSizeMask = 0x07;
constexpr std::uint8_t kTransparentFlag = 0x01;

struct Colour {
  std::uint8_t r, g, b;
};

// A colour table; empty, with the reader failed, when it is cut off.
std::vector<Colour> ReadColourTable(base::ByteReader& r, std::uint8_t flags) {
  const std::size_t count = std::size_t(2) << (flags & kColourTableSizeMask);
  const std::span<const std::uint8_t> bytes = r.ReadBytes(count * 3);
  std::vector<Colour> table;
  if (r.failed()) return table;
  table.resize(count);
  for (std::size_t i = 0; i < count; ++i) table[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  return table;
}

// The data sub-blocks up to the block terminator, joined. When they are cut off, the
// reader is failed and what arrived is returned.
std::vector<std::uint8_t> ReadSubBlocks(base::ByteReader& r) {
  std::vector<std::uint8_t> joined;
  for (;;) {
    const std::uint8_t size = r.ReadU8();
    if (r.failed() || size == 0) return joined;
    const std::span<const std::uint8_t> block = r.ReadBytes(size);
    if (r.failed()) return joined;
    joined.insert(joined.end(), block.begin(), block.end());
  }
}

// The image rows in the order an interlaced frame stores them.
std::vector<std::uint32_t> RowOrder(std::uint32_t height, bool interlaced) {
  std::vector<std::uint32_t> rows;
  rows.reserve(height);
  if (!interlaced) {
    for (std::uint32_t y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  constexpr std::uint32_t kStart[4] = {0, 4, 2, 1};
  constexpr std::uint32_t kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (std::uint32_t y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  }
  return rows;
}

}  // namespace

bool GifParser::IsGif(std::span<const std::uint8_t> data) {
  if (data.size() < kSignatureLength) return false;
  char lower[kSignatureLength];
  for (std::size_t i = 0; i < kSignatureLength; ++i) {
    lower[i] = base::LowerAscii(static_cast<char>(data[i]));
  }
  const std::string_view sig(lower, kSignatureLength);
  return std::find(kSignatures.begin(), kSignatures.end(), sig) != kSignatures.end();
}

base::Result<DecodedImage, ImageError> GifParser::Decode(std::span<const std::uint8_t> data) const {
  if (!IsGif(data)) return ImageError::kUnrecognised;
  base::ByteReader r(data);
  r.Skip(kSignatureLength);
  const std::uint16_t screen_w = r.ReadU16();
  const std::uint16_t screen_h = r.ReadU16();
  const std::uint8_t flags = r.ReadU8();
  r.Skip(2);  // background colour, aspect ratio
  if (r.failed()) return ImageError::kTruncated;
  std::vector<Colour> global;
  if (flags & kColourTableFlag) {
    global = ReadColourTable(r, flags);
    if (r.failed()) return ImageError::kTruncated;
  }

  int transparent = -1;
  for (;;) {
    const std::uint8_t introducer = r.ReadU8();
    if (r.failed()) return ImageError::kNoGifFrame;
    if (introducer == kTrailer) return ImageError::kNoGifFrame;
    if (introducer == kExtensionIntroducer) {
      const std::uint8_t label = r.ReadU8();
      if (r.failed()) return ImageError::kTruncated;
      const std::vector<std::uint8_t> extension = ReadSubBlocks(r);
      if (r.failed()) return ImageError::kTruncated;
      if (label == kGraphicControlLabel) {
        // The last control block before the frame is the one that applies to it.
        transparent =
            extension.size() >= 4 && (extension[0] & kTransparentFlag) ? extension[3] : -1;
      }
      continue;
    }
    if (introducer != kImageSeparator) return ImageError::kBadGifBlock;

    const std::uint16_t left = r.ReadU16();
    const std::uint16_t top = r.ReadU16();
    const std::uint16_t w = r.ReadU16();
    const std::uint16_t h = r.ReadU16();
    const std::uint8_t image_flags = r.ReadU8();
    if (r.failed()) return ImageError::kTruncated;
    std::vector<Colour> local;
    if (image_flags & kColourTableFlag) {
      local = ReadColourTable(r, image_flags);
      if (r.failed()) return ImageError::kTruncated;
    }
    const std::vector<Colour>& table = local.empty() ? global : local;
    if (table.empty()) return ImageError::kNoColourTable;
    if (w == 0 || h == 0) return ImageError::kBadGifBlock;
    const std::uint8_t min_code_size = r.ReadU8();
    if (r.failed()) return ImageError::kTruncated;
    // A frame whose last sub-block is cut short still shows what arrived.
    const std::vector<std::uint8_t> compressed = ReadSubBlocks(r);

    // The canvas is the logical screen, grown where the frame reaches beyond it.
    const std::uint32_t canvas_w = std::max<std::uint32_t>(screen_w, std::uint32_t(left) + w);
    const std::uint32_t canvas_h = std::max<std::uint32_t>(screen_h, std::uint32_t(top) + h);
    if (std::uint64_t(canvas_w) * canvas_h > kMaxImagePixels || canvas_w > kMaxImageSide ||
        canvas_h > kMaxImageSide) {
      return ImageError::kImageTooLarge;
    }
    // The indices first: broken data fails before the canvas is allocated.
    auto decoded = DecodeGifLzw(compressed, min_code_size, std::size_t(w) * h);
    if (!decoded) return decoded.error();
    const std::vector<std::uint8_t>& indices = *decoded;
    auto allocated = AllocateImage(canvas_w, canvas_h);
    if (!allocated) return allocated.error();
    DecodedImage image = std::move(*allocated);
    const std::vector<std::uint32_t> rows = RowOrder(h, image_flags & kInterlaceFlag);
    bool any_clear = canvas_w != w || canvas_h != h || indices.size() < std::size_t(w) * h;
    for (std::size_t i = 0; i < indices.size(); ++i) {
      const std::uint32_t y = top + rows[i / w];
      const std::uint32_t x = left + static_cast<std::uint32_t>(i % w);
      std::uint8_t* px = image.row(static_cast<int>(y)) + std::size_t(x) * 4;
      const unsigned index = indices[i];
      if (static_cast<int>(index) == transparent) {
        any_clear = true;  // stays 0, 0, 0, 0
        continue;
      }
      const Colour c = index < table.size() ? table[index] : Colour{0, 0, 0};
      px[0] = c.b, px[1] = c.g, px[2] = c.r, px[3] = 255;
    }
    image.alpha = transparent >= 0 || any_clear;
    image.image_type = kImageGif;
    return image;
  }
}

}  // namespace movarin::imaging
