#include "imaging/dib.h"

#include <algorithm>
#include <bit>

#include "base/byte_reader.h"
#include "base/checked_size.h"
#include "imaging/image_limits.h"

namespace movarin::imaging {
namespace {

constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::array<std::uint32_t, 6> kHeaderSizes = {40, 52, 56, 64, 108, 124};
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
// After a zero count, the second byte of a run-length pair is one of these escapes;
// larger values start a run of that many literal indices.
constexpr std::uint8_t kRleEndOfLine = 0;
constexpr std::uint8_t kRleEndOfBitmap = 1;
constexpr std::uint8_t kRleDelta = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
constexpr std::array<std::uint16_t, 6> kBitCounts = {1, 4, 8, 16, 24, 32};
constexpr std::array<std::uint32_t, 4> kDefault16Masks = {0x7C00, 0x03E0, 0x001F, 0};
constexpr std::array<std::uint32_t, 4> kDefault32Masks = {0x00FF0000, 0x0000FF00, 0x000000FF,
                                                          0xFF000000};

template <typename Array, typename T>
bool Contains(const Array& a, T v) {
  for (const auto& x : a) {
    if (x == v) return true;
  }
  return false;
}

// One colour channel of a bit-field pixel, widened to 8 bits by repeating its bits
// (5 bits abcde become abcdeabc) or narrowed to its 8 highest bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    bits = std::bit_width(m >> shift);
  }
  std::uint8_t Get(std::uint32_t px, std::uint8_t absent) const {
    if (!mask) return absent;
    const std::uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
    std::uint32_t out = 0;
    for (int s = 8 - bits; s > -bits; s -= bits) out |= s >= 0 ? v << s : v >> -s;
    return static_cast<std::uint8_t>(out);
  }
};

}  // namespace

std::optional<std::size_t> DibStride(std::uint64_t width, unsigned bit_count) {
  if (width > kMaxImageSide) return std::nullopt;
  return static_cast<std::size_t>((width * bit_count + 31) / 32 * 4);
}

namespace {

// The fixed part of a header: its size, dimensions, bit count and compression, and what
// the colour table after it looks like.
struct FixedPart {
  DibHeader header;
  std::uint32_t colours_used = 0;
  std::size_t entry_size = 4;  // bytes per colour table entry
};

// Reads the fixed part of the header at `offset`; the reader stays just after it.
base::Result<FixedPart, ImageError> ReadFixedPart(base::ByteReader& r, std::size_t offset) {
  FixedPart part;
  DibHeader& h = part.header;
  r.Seek(offset);
  h.header_size = r.ReadU32();
  if (r.failed()) return ImageError::kTruncated;
  if (h.header_size == kCoreHeader) {
    const std::uint16_t width = r.ReadU16();
    const std::uint16_t height = r.ReadU16();
    r.Skip(2);  // planes
    h.bit_count = r.ReadU16();
    if (r.failed()) return ImageError::kTruncated;
    h.width = width, h.height = height;
    part.entry_size = 3;
  } else if (Contains(kHeaderSizes, h.header_size)) {
    const std::int32_t width = r.ReadI32();
    const std::int32_t height = r.ReadI32();
    r.Skip(2);  // planes
    h.bit_count = r.ReadU16();
    h.compression = r.ReadU32();
    r.Skip(12);  // image size, horizontal and vertical resolution
    part.colours_used = r.ReadU32();
    r.Skip(4);  // important colours
    if (r.failed()) return ImageError::kTruncated;
    h.width = width, h.height = height;
  } else {
    return ImageError::kBadBitmapHeader;
  }
  return part;
}

}  // namespace

std::optional<DibSize> ReadDibSize(std::span<const std::uint8_t> data, std::size_t offset) {
  base::ByteReader r(data);
  const auto fixed = ReadFixedPart(r, offset);
  if (!fixed) return std::nullopt;
  return DibSize{fixed->header.width, fixed->header.height};
}

base::Result<DibHeader, ImageError> ReadDibHeader(std::span<const std::uint8_t> data, std::size_t offset) {
  base::ByteReader r(data);
  auto fixed = ReadFixedPart(r, offset);
  if (!fixed) return fixed.error();
  DibHeader h = std::move(fixed->header);
  if (h.header_size != kCoreHeader) {
    const bool os2 = h.header_size == 64;
    // Masks inside a longer header; after a 40-byte header when the compression asks.
    const std::size_t inside = os2 ? 0 : (h.header_size - kInfoHeader) / 4;
    std::size_t after = 0;
    if (h.header_size == kInfoHeader && h.compression == kBitFields) after = 3;
    if (h.header_size == kInfoHeader && h.compression == kAlphaBitFields) after = 4;
    const std::size_t count = std::min<std::size_t>(4, std::max(inside, after));
    for (std::size_t i = 0; i < count; ++i) h.masks[i] = r.ReadU32();
    if (r.failed()) return ImageError::kTruncated;
    if (!r.Seek(offset + h.header_size + (inside ? 0 : after * 4))) return ImageError::kTruncated;
    h.has_masks = h.compression == kBitFields || h.compression == kAlphaBitFields;
  }
  if (h.width < 1 || h.height == 0) return ImageError::kBadBitmapHeader;
  const std::int64_t rows = h.height < 0 ? -h.height : h.height;
  if (h.width > kMaxImageSide || rows > std::int64_t(kMaxImageSide) * 2) return ImageError::kImageTooLarge;
  if (!Contains(kBitCounts, h.bit_count)) return ImageError::kUnsupportedBitDepth;
  const bool rle = (h.compression == kRle8 && h.bit_count == 8) || (h.compression == kRle4 && h.bit_count == 4);
  if (h.compression != kRgb && !rle && !(h.has_masks && (h.bit_count == 16 || h.bit_count == 32))) {
    return ImageError::kUnsupportedCompression;
  }
  if (!h.has_masks) {
    h.masks = h.bit_count == 16 ? kDefault16Masks : kDefault32Masks;
  }
  if (h.bit_count <= 8) {
    const std::size_t max_colours = std::size_t(1) << h.bit_count;
    const std::size_t n = fixed->colours_used ? fixed->colours_used : max_colours;
    if (n > 256) return ImageError::kBadBitmapHeader;
    const std::size_t entry_size = fixed->entry_size;
    const std::span<const std::uint8_t> table = r.ReadBytes(n * entry_size);
    if (r.failed()) return ImageError::kTruncated;
    h.palette.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      h.palette[i] = {table[i * entry_size], table[i * entry_size + 1], table[i * entry_size + 2]};
    }
  }
  h.end = r.position();
  return h;
}

namespace {

// Run-length encoded rows (8 or 4 bits per index), bottom-up; pixels the runs skip keep
// index 0.
base::Result<DecodedImage, ImageError> DecodeRle(std::span<const std::uint8_t> data, std::size_t offset,
                                                 const DibHeader& h, std::uint32_t height) {
  if (offset > data.size()) return ImageError::kTruncated;
  auto allocated = AllocateImage(static_cast<std::uint64_t>(h.width), height);
  if (!allocated) return allocated.error();
  DecodedImage image = std::move(*allocated);
  const auto width = static_cast<std::uint32_t>(h.width);
  std::vector<std::uint8_t> index(std::size_t(width) * height, 0);
  const bool four = h.compression == kRle4;
  base::ByteReader r(data);
  r.Seek(offset);
  std::uint32_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](unsigned value) {
    if (x < width && y < height) index[std::size_t(height - 1 - y) * width + x] = static_cast<std::uint8_t>(value);
    ++x;
  };
  bool done = false;
  while (!done && y < height) {
    const std::uint8_t count = r.ReadU8();
    const std::uint8_t value = r.ReadU8();
    if (r.failed()) break;  // missing end marker: keep what came
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) put(four ? (i & 1 ? value & 0x0F : value >> 4) : value);
      continue;
    }
    switch (value) {
      case kRleEndOfLine: x = 0, ++y; break;
      case kRleEndOfBitmap: done = true; break;
      case kRleDelta: {
        const std::uint8_t dx = r.ReadU8();
        const std::uint8_t dy = r.ReadU8();
        if (r.failed()) return ImageError::kTruncated;
        x += dx, y += dy;
        break;
      }
      default: {
        const std::size_t bytes = four ? (value + 1u) / 2 : value;
        const std::span<const std::uint8_t> run = r.ReadBytes(bytes);
        if (r.failed()) return ImageError::kTruncated;
        for (unsigned i = 0; i < value; ++i) put(four ? (i & 1 ? run[i / 2] & 0x0F : run[i / 2] >> 4) : run[i]);
        if (bytes & 1) r.Skip(1);  // runs are padded to 16 bits
        break;
      }
    }
  }
  for (std::size_t i = 0; i < index.size(); ++i) {
    const DibHeader::Entry c = index[i] < h.palette.size() ? h.palette[index[i]] : DibHeader::Entry{0, 0, 0};
    std::uint8_t* px = image.pixels.data() + 4 * i;
    px[0] = c.b, px[1] = c.g, px[2] = c.r, px[3] = 255;
  }
  return image;
}

}  // namespace

base::Result<DibPixels, ImageError> DecodeDibPixels(std::span<const std::uint8_t> data,
                                                    std::size_t pixel_offset, const DibHeader& h,
                                                    std::uint32_t height, bool top_down) {
  DibPixels out;
  if (h.compression == kRle8 || h.compression == kRle4) {
    if (top_down) return ImageError::kUnsupportedCompression;
    auto image = DecodeRle(data, pixel_offset, h, height);
    if (!image) return image.error();
    out.image = std::move(*image);
    return out;
  }
  const auto stride = DibStride(static_cast<std::uint64_t>(h.width), h.bit_count);
  const auto total = stride ? base::CheckedMul<std::size_t>(*stride, height) : std::nullopt;
  if (!total) return ImageError::kImageTooLarge;
  if (pixel_offset > data.size() || data.size() - pixel_offset < *total) return ImageError::kTruncated;
  auto allocated = AllocateImage(static_cast<std::uint64_t>(h.width), height);
  if (!allocated) return allocated.error();
  out.image = std::move(*allocated);
  DecodedImage& image = out.image;
  const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
  out.alpha_from_data = (h.bit_count == 16 || h.bit_count == 32) && h.masks[3] != 0;
  const auto width = static_cast<std::uint32_t>(h.width);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* src = data.data() + pixel_offset + std::size_t(top_down ? y : height - 1 - y) * *stride;
    std::uint8_t* dst = image.row(static_cast<int>(y));
    for (std::uint32_t x = 0; x < width; ++x, dst += 4) {
      switch (h.bit_count) {
        case 1:
        case 4:
        case 8: {
          const std::size_t bit = std::size_t(x) * h.bit_count;
          const unsigned index = (src[bit >> 3] >> (8 - h.bit_count - (bit & 7))) & ((1u << h.bit_count) - 1);
          const DibHeader::Entry c = index < h.palette.size() ? h.palette[index] : DibHeader::Entry{0, 0, 0};
          dst[0] = c.b, dst[1] = c.g, dst[2] = c.r, dst[3] = 255;
          break;
        }
        case 16: {
          const std::uint32_t px = src[2 * x] | (src[2 * x + 1] << 8);
          dst[0] = blue.Get(px, 0), dst[1] = green.Get(px, 0), dst[2] = red.Get(px, 0), dst[3] = alpha.Get(px, 255);
          break;
        }
        case 24:
          dst[0] = src[3 * x], dst[1] = src[3 * x + 1], dst[2] = src[3 * x + 2], dst[3] = 255;
          break;
        default: {
          const std::uint8_t* p = src + 4 * x;
          const std::uint32_t px = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
          dst[0] = blue.Get(px, 0), dst[1] = green.Get(px, 0), dst[2] = red.Get(px, 0), dst[3] = alpha.Get(px, 255);
          break;
        }
      }
    }
  }
  return out;
}

AlphaKind AnalyseAlpha(const DecodedImage& image) {
  bool all_zero = true, all_opaque = true, premultiplied = true;
  const std::uint8_t* p = image.pixels.data();
  const std::size_t n = image.pixels.size();
  for (std::size_t i = 0; i < n; i += 4) {
    const std::uint8_t a = p[i + 3];
    all_zero &= a == 0;
    all_opaque &= a == 255;
    premultiplied &= p[i] <= a && p[i + 1] <= a && p[i + 2] <= a;
  }
  if (all_zero || all_opaque) return AlphaKind::kNone;
  return premultiplied ? AlphaKind::kPremultiplied : AlphaKind::kStraight;
}

void ApplyAlpha(DecodedImage& image, AlphaKind kind) {
  std::uint8_t* p = image.pixels.data();
  const std::size_t n = image.pixels.size();
  for (std::size_t i = 0; i < n; i += 4) {
    if (kind == AlphaKind::kNone) {
      p[i + 3] = 255;
    } else if (kind == AlphaKind::kStraight) {
      PutStraight(p + i, p[i + 2], p[i + 1], p[i], p[i + 3]);
    }
  }
}

}  // namespace movarin::imaging
