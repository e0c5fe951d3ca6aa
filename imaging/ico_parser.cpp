#include "imaging/ico_parser.h"

#include <algorithm>
#include <tuple>

#include "base/byte_reader.h"
#include "base/checked_size.h"
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

base::Result<IconDirectory, ImageError> IcoParser::ReadDirectory(std::span<const std::uint8_t> data) {
  base::ByteReader r(data);
  const std::uint16_t reserved = r.ReadU16();
  const std::uint16_t type = r.ReadU16();
  const std::uint16_t count = r.ReadU16();
  if (r.failed() || reserved != 0 || (type != kTypeIcon && type != kTypeCursor) || count == 0 ||
      r.remaining() < std::size_t(count) * kEntrySize) {
    return ImageError::kBadIconDirectory;
  }
  IconDirectory directory;
  directory.cursor = type == kTypeCursor;
  directory.entries.resize(count);
  for (IconEntry& e : directory.entries) {
    r.Skip(8);  // width, height, colours, reserved, planes or hot spot, bits or hot spot
    e.size = r.ReadU32();
    e.offset = r.ReadU32();
    const auto end = base::CheckedAdd<std::size_t>(e.offset, e.size);
    if (e.size == 0 || !end || *end > data.size()) continue;
    const auto body = data.subspan(e.offset, e.size);
    if (PngParser::IsPng(body)) {
      const auto header = PngParser::PeekHeader(body);
      if (!header) continue;
      e.png = true;
      e.width = header->width, e.height = header->height;
      e.bit_count = PngEntryBitCount(*header);
    } else {
      const auto header = ReadDibHeader(body, 0);
      if (!header || header->height < 2) continue;
      e.width = static_cast<std::uint32_t>(header->width);
      e.height = static_cast<std::uint32_t>(header->height / 2);
      e.bit_count = header->bit_count;
    }
    e.usable = true;
  }
  return directory;
}

bool IcoParser::IsIcon(std::span<const std::uint8_t> data) { return ReadDirectory(data).ok(); }

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

base::Result<DecodedImage, ImageError> IcoParser::DecodeEntry(std::span<const std::uint8_t> data,
                                                                const IconEntry& entry, bool cursor) const {
  const auto end = base::CheckedAdd<std::size_t>(entry.offset, entry.size);
  if (!entry.usable || !end || *end > data.size()) return ImageError::kNoUsableIconEntry;
  const auto body = data.subspan(entry.offset, entry.size);
  if (entry.png) {
    auto png = PngParser().Decode(body);
    if (png) png->image_type = kImagePngIcon;
    return png;
  }
  const auto read = ReadDibHeader(body, 0);
  if (!read) return read.error();
  const DibHeader& header = *read;
  const std::size_t pixels = header.end;
  if (header.height < 2) return ImageError::kBadBitmapHeader;
  const auto height = static_cast<std::uint32_t>(header.height / 2);
  auto decoded = DecodeDibPixels(body, pixels, header, height, false);
  if (!decoded) return decoded.error();
  DecodedImage image = std::move(decoded->image);
  bool use_alpha = false;
  if (decoded->alpha_from_data) {
    for (std::size_t i = 3; i < image.pixels.size() && !use_alpha; i += 4) use_alpha = image.pixels[i] != 0;
  }
  if (use_alpha) {
    ApplyAlpha(image, AlphaKind::kStraight);
    image.alpha = true;
    image.image_type = cursor ? kImageCursorArgb : kImageIconArgb;
    return image;
  }
  // The AND mask follows the colour rows: 1 bit per pixel, rows padded to 4 bytes,
  // bottom-up. Entries written without one are shown opaque.
  // (The header's width is within the loader's limits, so both strides exist.)
  const std::size_t colour_stride = *DibStride(static_cast<std::uint64_t>(header.width), header.bit_count);
  const std::size_t mask_stride = *DibStride(static_cast<std::uint64_t>(header.width), 1);
  const std::size_t mask_offset = pixels + colour_stride * height;
  const std::size_t mask_size = mask_stride * height;
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
  return image;
}

base::Result<DecodedImage, ImageError> IcoParser::Decode(std::span<const std::uint8_t> data, int wanted_width,
                                                         int wanted_height) const {
  const auto directory = ReadDirectory(data);
  if (!directory) return directory.error();
  const int chosen = ChooseEntry(directory->entries, wanted_width, wanted_height);
  if (chosen < 0) return ImageError::kNoUsableIconEntry;
  return DecodeEntry(data, directory->entries[static_cast<std::size_t>(chosen)], directory->cursor);
}

}  // namespace movarin::imaging
