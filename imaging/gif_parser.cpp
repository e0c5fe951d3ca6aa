#include "imaging/gif_parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

#include "imaging/byte_reader.h"
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

bool ReadColourTable(ByteReader& r, std::uint8_t flags, std::vector<Colour>& table) {
  const std::size_t count = std::size_t(2) << (flags & kColourTableSizeMask);
  std::span<const std::uint8_t> bytes;
  if (!r.ReadBytes(count * 3, bytes)) return false;
  table.resize(count);
  for (std::size_t i = 0; i < count; ++i) table[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  return true;
}

// Appends the data sub-blocks up to the block terminator (when `sink` is given).
bool ReadSubBlocks(ByteReader& r, std::vector<std::uint8_t>* sink) {
  for (;;) {
    std::uint8_t size;
    if (!r.ReadU8(size)) return false;
    if (size == 0) return true;
    std::span<const std::uint8_t> block;
    if (!r.ReadBytes(size, block)) return false;
    if (sink) sink->insert(sink->end(), block.begin(), block.end());
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
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(data[i])));
  }
  const std::string_view sig(lower, kSignatureLength);
  return std::find(kSignatures.begin(), kSignatures.end(), sig) != kSignatures.end();
}

ImageError GifParser::Decode(std::span<const std::uint8_t> data, DecodedImage& image) const {
  image = DecodedImage{};
  if (!IsGif(data)) return ImageError::Unrecognised;
  ByteReader r(data);
  r.Skip(kSignatureLength);
  std::uint16_t screen_w, screen_h;
  std::uint8_t flags, background, aspect;
  if (!r.ReadU16LE(screen_w) || !r.ReadU16LE(screen_h) || !r.ReadU8(flags) ||
      !r.ReadU8(background) || !r.ReadU8(aspect)) {
    return ImageError::Truncated;
  }
  std::vector<Colour> global;
  if ((flags & kColourTableFlag) && !ReadColourTable(r, flags, global)) return ImageError::Truncated;

  int transparent = -1;
  for (;;) {
    std::uint8_t introducer;
    if (!r.ReadU8(introducer)) return ImageError::NoGifFrame;
    if (introducer == kTrailer) return ImageError::NoGifFrame;
    if (introducer == kExtensionIntroducer) {
      std::uint8_t label;
      if (!r.ReadU8(label)) return ImageError::Truncated;
      if (label == kGraphicControlLabel) {
        std::vector<std::uint8_t> gce;
        if (!ReadSubBlocks(r, &gce)) return ImageError::Truncated;
        // The last control block before the frame is the one that applies to it.
        transparent = gce.size() >= 4 && (gce[0] & kTransparentFlag) ? gce[3] : -1;
      } else if (!ReadSubBlocks(r, nullptr)) {
        return ImageError::Truncated;
      }
      continue;
    }
    if (introducer != kImageSeparator) return ImageError::BadGifBlock;

    std::uint16_t left, top, w, h;
    std::uint8_t image_flags, min_code_size;
    if (!r.ReadU16LE(left) || !r.ReadU16LE(top) || !r.ReadU16LE(w) || !r.ReadU16LE(h) ||
        !r.ReadU8(image_flags)) {
      return ImageError::Truncated;
    }
    std::vector<Colour> local;
    if ((image_flags & kColourTableFlag) && !ReadColourTable(r, image_flags, local)) {
      return ImageError::Truncated;
    }
    const std::vector<Colour>& table = local.empty() ? global : local;
    if (table.empty()) return ImageError::NoColourTable;
    if (w == 0 || h == 0) return ImageError::BadGifBlock;
    if (!r.ReadU8(min_code_size)) return ImageError::Truncated;
    std::vector<std::uint8_t> compressed;
    // A frame whose last sub-block is cut short still shows what arrived.
    ReadSubBlocks(r, &compressed);

    // The canvas is the logical screen, grown where the frame reaches beyond it.
    const std::uint32_t canvas_w = std::max<std::uint32_t>(screen_w, std::uint32_t(left) + w);
    const std::uint32_t canvas_h = std::max<std::uint32_t>(screen_h, std::uint32_t(top) + h);
    if (std::uint64_t(canvas_w) * canvas_h > kMaxImagePixels || canvas_w > kMaxImageSide ||
        canvas_h > kMaxImageSide) {
      return ImageError::ImageTooLarge;
    }
    // The indices first: broken data fails before the canvas is allocated.
    std::vector<std::uint8_t> indices;
    if (const ImageError e = DecodeGifLzw(compressed, min_code_size, std::size_t(w) * h, indices);
        e != ImageError::None) {
      return e;
    }
    if (const ImageError e = AllocateImage(image, canvas_w, canvas_h); e != ImageError::None) return e;
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
    return ImageError::None;
  }
}

}  // namespace movarin::imaging
