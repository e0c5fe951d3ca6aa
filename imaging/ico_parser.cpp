#include "imaging/ico_parser.h"

#include <algorithm>
#include <tuple>

#include "imaging/byte_reader.h"
#include "imaging/dib.h"
#include "imaging/image_type.h"
#include "imaging/png_format.h"
#include "imaging/png_parser.h"

namespace movarin::imaging {
namespace {

constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kTypeIcon = 1;
constexpr std::uint16_t kTypeCursor = 2;

// The bit count an icon directory would give a PNG entry.
std::uint32_t PngEntryBitCount(const PngHeader& h) {
  if (h.bit_depth == 16 || h.colour_type == png::kGreyAlpha || h.colour_type == png::kTrueColourAlpha) {
    return 32;
  }
  if (h.colour_type == png::kTrueColour) return 24;
  return h.bit_depth;
}

}  // namespace

ImageError IcoParser::ReadDirectory(std::span<const std::uint8_t> data, bool& cursor,
                                    std::vector<IconEntry>& entries) {
  entries.clear();
  ByteReader r(data);
  std::uint16_t reserved, type, count;
  if (!r.ReadU16LE(reserved) || !r.ReadU16LE(type) || !r.ReadU16LE(count) || reserved != 0 ||
      (type != kTypeIcon && type != kTypeCursor) || count == 0 ||
      r.remaining() < std::size_t(count) * kEntrySize) {
    return ImageError::BadIconDirectory;
  }
  cursor = type == kTypeCursor;
  entries.resize(count);
  for (IconEntry& e : entries) {
    std::uint8_t w, h, colours, reserved_byte;
    std::uint16_t planes_or_x, bits_or_y;
    r.ReadU8(w), r.ReadU8(h), r.ReadU8(colours), r.ReadU8(reserved_byte);
    r.ReadU16LE(planes_or_x), r.ReadU16LE(bits_or_y);
    r.ReadU32LE(e.size), r.ReadU32LE(e.offset);
    std::size_t end;
    if (e.size == 0 || !CheckedAdd(e.offset, e.size, end) || end > data.size()) continue;
    const auto body = data.subspan(e.offset, e.size);
    if (PngParser::IsPng(body)) {
      PngHeader header;
      if (!PngParser::PeekHeader(body, header)) continue;
      e.png = true;
      e.width = header.width, e.height = header.height;
      e.bit_count = PngEntryBitCount(header);
    } else {
      DibHeader header;
      std::size_t header_end;
      if (ReadDibHeader(body, 0, header, header_end) != ImageError::None || header.height < 2) continue;
      e.width = static_cast<std::uint32_t>(header.width);
      e.height = static_cast<std::uint32_t>(header.height / 2);
      e.bit_count = header.bit_count;
    }
    e.usable = true;
  }
  return ImageError::None;
}

bool IcoParser::IsIcon(std::span<const std::uint8_t> data) {
  bool cursor;
  std::vector<IconEntry> entries;
  return ReadDirectory(data, cursor, entries) == ImageError::None;
}

int IcoParser::ChooseEntry(const std::vector<IconEntry>& entries, int wanted_width, int wanted_height) {
  const bool largest = wanted_width <= 0 || wanted_height <= 0;
  const auto ww = static_cast<std::uint32_t>(std::max(wanted_width, 0));
  const auto wh = static_cast<std::uint32_t>(std::max(wanted_height, 0));
  // Smaller keys win: (category, size order, fewer colours last).
  using Key = std::tuple<int, std::int64_t, std::int64_t>;
  int best = -1;
  Key best_key{};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const IconEntry& e = entries[i];
    if (!e.usable) continue;
    const std::int64_t area = std::int64_t(e.width) * e.height;
    Key key;
    if (largest) {
      key = {0, -area, -std::int64_t(e.bit_count)};
    } else if (e.width == ww && e.height == wh) {
      key = {0, 0, -std::int64_t(e.bit_count)};
    } else if (e.width >= ww && e.height >= wh) {
      key = {1, area, -std::int64_t(e.bit_count)};
    } else {
      key = {2, -area, -std::int64_t(e.bit_count)};
    }
    if (best < 0 || key < best_key) best = static_cast<int>(i), best_key = key;
  }
  return best;
}

ImageError IcoParser::DecodeEntry(std::span<const std::uint8_t> data, const IconEntry& entry, bool cursor,
                                  DecodedImage& image) const {
  image = DecodedImage{};
  std::size_t end;
  if (!entry.usable || !CheckedAdd(entry.offset, entry.size, end) || end > data.size()) {
    return ImageError::NoUsableIconEntry;
  }
  const auto body = data.subspan(entry.offset, entry.size);
  if (entry.png) {
    const ImageError e = PngParser().Decode(body, image);
    if (e == ImageError::None) image.image_type = kImagePngIcon;
    return e;
  }
  DibHeader header;
  std::size_t pixels;
  if (const ImageError e = ReadDibHeader(body, 0, header, pixels); e != ImageError::None) return e;
  if (header.height < 2) return ImageError::BadBitmapHeader;
  const auto height = static_cast<std::uint32_t>(header.height / 2);
  bool alpha_from_data;
  if (const ImageError e = DecodeDibPixels(body, pixels, header, height, false, image, alpha_from_data);
      e != ImageError::None) {
    image = DecodedImage{};
    return e;
  }
  bool use_alpha = false;
  if (alpha_from_data) {
    for (std::size_t i = 3; i < image.pixels.size() && !use_alpha; i += 4) use_alpha = image.pixels[i] != 0;
  }
  if (use_alpha) {
    ApplyAlpha(image, AlphaKind::Straight);
    image.alpha = true;
    image.image_type = cursor ? kImageCursorArgb : kImageIconArgb;
    return ImageError::None;
  }
  // The AND mask follows the colour rows: 1 bit per pixel, rows padded to 4 bytes,
  // bottom-up. Entries written without one are shown opaque.
  std::size_t colour_stride, mask_stride, mask_offset, mask_size;
  DibStride(static_cast<std::uint64_t>(header.width), header.bit_count, colour_stride);
  DibStride(static_cast<std::uint64_t>(header.width), 1, mask_stride);
  mask_offset = pixels + colour_stride * height;
  mask_size = mask_stride * height;
  const bool has_mask = mask_offset <= body.size() && body.size() - mask_offset >= mask_size;
  bool any_clear = false;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* dst = image.row(static_cast<int>(y));
    const std::uint8_t* mask = has_mask ? body.data() + mask_offset + std::size_t(height - 1 - y) * mask_stride : nullptr;
    for (int x = 0; x < image.width; ++x, dst += 4) {
      dst[3] = 255;
      if (mask && ((mask[x >> 3] >> (7 - (x & 7))) & 1)) {
        dst[0] = dst[1] = dst[2] = dst[3] = 0;
        any_clear = true;
      }
    }
  }
  image.alpha = any_clear;
  image.image_type = cursor ? kImageCursor : kImageIcon;
  return ImageError::None;
}

ImageError IcoParser::Decode(std::span<const std::uint8_t> data, int wanted_width, int wanted_height,
                             DecodedImage& image) const {
  image = DecodedImage{};
  bool cursor;
  std::vector<IconEntry> entries;
  if (const ImageError e = ReadDirectory(data, cursor, entries); e != ImageError::None) return e;
  const int chosen = ChooseEntry(entries, wanted_width, wanted_height);
  if (chosen < 0) return ImageError::NoUsableIconEntry;
  return DecodeEntry(data, entries[static_cast<std::size_t>(chosen)], cursor, image);
}

}  // namespace movarin::imaging
