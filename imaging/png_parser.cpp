#include "imaging/png_parser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/byte_reader.h"

#include "imaging/image_limits.h"
#include "imaging/image_type.h"
#include "imaging/inflate.h"
#include "imaging/png_format.h"
#include "imaging/zlib_library.h"

namespace movarin::imaging {
namespace {

using namespace png;

struct Rgba {
  std::uint8_t r, g, b, a;
};

struct PngState {
  PngHeader header;
  bool have_header = false;
  std::uint8_t channels = 0;
  std::vector<Rgba> palette;
  bool have_palette = false;
  std::vector<std::uint8_t> trns;  // raw tRNS data
  bool have_trns = false;
  std::vector<std::uint8_t> idat;
};

const ColourTypeInfo* FindColourType(std::uint8_t type) {
  for (const auto& info : kColourTypes) {
    if (info.type == type) return &info;
  }
  return nullptr;
}

bool DepthAllowed(const ColourTypeInfo& info, std::uint8_t depth) {
  if (depth == 0 || (depth & (depth - 1)) != 0 || depth > 16) return false;
  return (info.allowed_depths >> std::countr_zero(unsigned(depth))) & 1;
}

base::Result<void, ImageError> ParseHeader(std::span<const std::uint8_t> d, PngState& s) {
  if (d.size() != kHeaderLength) return ImageError::kBadHeader;
  const base::ByteReader fields(d);
  PngHeader& h = s.header;
  h.width = *fields.U32BE(0);
  h.height = *fields.U32BE(4);
  h.bit_depth = d[8];
  h.colour_type = d[9];
  h.interlace = d[12];
  const ColourTypeInfo* info = FindColourType(h.colour_type);
  if (h.width < 1 || h.height < 1 || h.width > kMaxChunkLength || h.height > kMaxChunkLength ||
      !info || !DepthAllowed(*info, h.bit_depth) || d[10] != 0 || d[11] != 0 ||
      h.interlace > 1) {
    return ImageError::kBadHeader;
  }
  s.channels = info->channels;
  s.have_header = true;
  return {};
}

// Walks the chunks; collects IHDR, PLTE, tRNS and the joined IDAT data.
base::Result<void, ImageError> WalkChunks(std::span<const std::uint8_t> data, bool verify_crc,
                                          PngState& s) {
  base::ByteReader r(data);
  r.Skip(kSignature.size());
  while (!r.AtEnd()) {
    const std::uint32_t length = r.ReadU32BE();
    const std::uint32_t type = r.ReadU32BE();
    if (r.failed()) return ImageError::kChunkPastEnd;
    if (length > kMaxChunkLength) return ImageError::kChunkTooLong;
    const std::span<const std::uint8_t> body = r.ReadBytes(length);
    const std::uint32_t crc = r.ReadU32BE();
    if (r.failed()) return ImageError::kChunkPastEnd;
    if (type == kIEND) return {};
    const bool known = type == kIHDR || type == kPLTE || type == kTRNS || type == kIDAT;
    if (!known) continue;  // ancillary and unknown chunks are skipped unchecked
    if (verify_crc) {
      // The CRC covers the type and the data: the 4 bytes before the data, then the data.
      const auto covered = data.subspan(r.position() - 4 - length - 4, length + 4);
      if (Crc32(covered) != crc) return ImageError::kCrcMismatch;
    }
    if (type == kIHDR) {
      if (s.have_header) continue;  // only the first header counts
      if (auto parsed = ParseHeader(body, s); !parsed) return parsed;
    } else if (type == kPLTE) {
      if (s.have_palette) continue;
      if (body.size() % 3 != 0 || body.empty() || body.size() > 256 * 3) {
        return ImageError::kBadPalette;
      }
      s.palette.resize(body.size() / 3);
      for (std::size_t i = 0; i < s.palette.size(); ++i) {
        s.palette[i] = {body[3 * i], body[3 * i + 1], body[3 * i + 2], 255};
      }
      s.have_palette = true;
    } else if (type == kTRNS) {
      if (s.have_trns) continue;
      s.trns.assign(body.begin(), body.end());
      s.have_trns = true;
    } else {
      s.idat.insert(s.idat.end(), body.begin(), body.end());
    }
  }
  return {};  // the data ended at a chunk boundary without IEND
}

struct PassGeometry {
  std::uint32_t x0, y0, dx, dy, width, height;
  std::size_t row_bytes;
};

std::vector<PassGeometry> Passes(const PngHeader& h, unsigned bits_per_pixel) {
  std::vector<PassGeometry> passes;
  auto add = [&](std::uint32_t x0, std::uint32_t y0, std::uint32_t dx, std::uint32_t dy) {
    if (h.width <= x0 || h.height <= y0) return;
    PassGeometry p{x0, y0, dx, dy, (h.width - x0 + dx - 1) / dx, (h.height - y0 + dy - 1) / dy, 0};
    p.row_bytes = (std::size_t(p.width) * bits_per_pixel + 7) / 8;
    passes.push_back(p);
  };
  if (h.interlace) {
    for (const auto& a : kAdam7) add(a.x0, a.y0, a.dx, a.dy);
  } else {
    add(0, 0, 1, 1);
  }
  return passes;
}

std::uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  if (pb <= pc) return static_cast<std::uint8_t>(b);
  return static_cast<std::uint8_t>(c);
}

// Undoes one row's filter in place; `prev` is the previous unfiltered row or zeros.
bool Unfilter(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* prev, std::size_t n,
              std::size_t bpp) {
  switch (filter) {
    case kFilterNone:
      return true;
    case kFilterSub:
      for (std::size_t i = bpp; i < n; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
      return true;
    case kFilterUp:
      for (std::size_t i = 0; i < n; ++i) row[i] = static_cast<std::uint8_t>(row[i] + prev[i]);
      return true;
    case kFilterAverage:
      for (std::size_t i = 0; i < n; ++i) {
        const unsigned left = i >= bpp ? row[i - bpp] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + ((left + prev[i]) >> 1));
      }
      return true;
    case kFilterPaeth:
      for (std::size_t i = 0; i < n; ++i) {
        const int left = i >= bpp ? row[i - bpp] : 0;
        const int upper_left = i >= bpp ? prev[i - bpp] : 0;
        row[i] = static_cast<std::uint8_t>(row[i] + Paeth(left, prev[i], upper_left));
      }
      return true;
    default:
      return false;
  }
}

// 16-bit samples keep their high byte.
std::uint8_t Scale16(unsigned v) { return static_cast<std::uint8_t>(v >> 8); }

// Turns one unfiltered row of a pass into pixels of the image.
class RowConverter {
 public:
  RowConverter(const PngState& s, DecodedImage& image) : s_(s), image_(image) {
    const PngHeader& h = s.header;
    depth_ = h.bit_depth;
    if (s.have_trns) {
      if (h.colour_type == kGrey && s.trns.size() >= 2) {
        grey_key_ = (s.trns[0] << 8) | s.trns[1];
        has_key_ = true;
      } else if (h.colour_type == kTrueColour && s.trns.size() >= 6) {
        for (int c = 0; c < 3; ++c) rgb_key_[c] = (s.trns[2 * c] << 8) | s.trns[2 * c + 1];
        has_key_ = true;
      }
    }
    if (h.colour_type == kIndexed) {
      palette_.fill(Rgba{0, 0, 0, 255});  // indices past the palette show black
      for (std::size_t i = 0; i < s.palette.size(); ++i) palette_[i] = s.palette[i];
      if (s.have_trns) {
        for (std::size_t i = 0; i < s.trns.size() && i < s.palette.size(); ++i) palette_[i].a = s.trns[i];
      }
    }
  }

  bool HasAlpha() const {
    const auto t = s_.header.colour_type;
    return t == kGreyAlpha || t == kTrueColourAlpha || has_key_ ||
           (t == kIndexed && s_.have_trns && !s_.trns.empty());
  }

  void Convert(const std::uint8_t* src, const PassGeometry& pass, std::uint32_t pass_row) {
    std::uint8_t* dst = image_.row(static_cast<int>(pass.y0 + pass_row * pass.dy)) + std::size_t(pass.x0) * 4;
    const std::size_t step = std::size_t(pass.dx) * 4;
    const auto type = s_.header.colour_type;
    const std::uint32_t n = pass.width;
    if (depth_ == 8 && type == kTrueColourAlpha) {
      for (std::uint32_t x = 0; x < n; ++x, src += 4, dst += step) PutStraight(dst, src[0], src[1], src[2], src[3]);
      return;
    }
    if (depth_ == 8 && type == kTrueColour && !has_key_) {
      for (std::uint32_t x = 0; x < n; ++x, src += 3, dst += step) {
        dst[0] = src[2], dst[1] = src[1], dst[2] = src[0], dst[3] = 255;
      }
      return;
    }
    for (std::uint32_t x = 0; x < n; ++x, dst += step) {
      switch (type) {
        case kGrey: {
          const unsigned v = Sample(src, x);
          const std::uint8_t g = ToByte(v);
          PutStraight(dst, g, g, g, has_key_ && v == grey_key_ ? 0 : 255);
          break;
        }
        case kTrueColour: {
          const unsigned r = Sample(src, 3 * x), g = Sample(src, 3 * x + 1), b = Sample(src, 3 * x + 2);
          const bool clear = has_key_ && r == rgb_key_[0] && g == rgb_key_[1] && b == rgb_key_[2];
          PutStraight(dst, ToByte(r), ToByte(g), ToByte(b), clear ? 0 : 255);
          break;
        }
        case kIndexed: {
          const Rgba& c = palette_[Sample(src, x)];
          PutStraight(dst, c.r, c.g, c.b, c.a);
          break;
        }
        case kGreyAlpha: {
          const std::uint8_t g = ToByte(Sample(src, 2 * x));
          PutStraight(dst, g, g, g, ToByte(Sample(src, 2 * x + 1)));
          break;
        }
        default: {
          PutStraight(dst, ToByte(Sample(src, 4 * x)), ToByte(Sample(src, 4 * x + 1)),
                      ToByte(Sample(src, 4 * x + 2)), ToByte(Sample(src, 4 * x + 3)));
          break;
        }
      }
    }
  }

 private:
  // Sample i of a row, at the image's bit depth.
  unsigned Sample(const std::uint8_t* row, std::size_t i) const {
    switch (depth_) {
      case 16: return (row[2 * i] << 8) | row[2 * i + 1];
      case 8: return row[i];
      default: {
        const std::size_t bit = i * depth_;
        return (row[bit >> 3] >> (8 - depth_ - (bit & 7))) & ((1u << depth_) - 1);
      }
    }
  }
  // A sample widened or narrowed to 8 bits (index samples are never passed here).
  std::uint8_t ToByte(unsigned v) const {
    switch (depth_) {
      case 1: return static_cast<std::uint8_t>(v * 255);
      case 2: return static_cast<std::uint8_t>(v * 85);
      case 4: return static_cast<std::uint8_t>(v * 17);
      case 8: return static_cast<std::uint8_t>(v);
      default: return Scale16(v);
    }
  }

  const PngState& s_;
  DecodedImage& image_;
  unsigned depth_ = 8;
  bool has_key_ = false;
  unsigned grey_key_ = 0;
  unsigned rgb_key_[3] = {};
  std::array<Rgba, 256> palette_{};
};

}  // namespace

bool PngParser::IsPng(std::span<const std::uint8_t> data) {
  return data.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), data.begin());
}

std::optional<PngHeader> PngParser::PeekHeader(std::span<const std::uint8_t> data) {
  if (!IsPng(data)) return std::nullopt;
  base::ByteReader r(data);
  r.Skip(kSignature.size());
  const std::uint32_t length = r.ReadU32BE();
  const std::uint32_t type = r.ReadU32BE();
  if (r.failed() || type != kIHDR || length != kHeaderLength) return std::nullopt;
  const std::span<const std::uint8_t> body = r.ReadBytes(length);
  PngState s;
  if (r.failed() || !ParseHeader(body, s)) return std::nullopt;
  return s.header;
}

base::Result<DecodedImage, ImageError> PngParser::Decode(std::span<const std::uint8_t> data) const {
  if (!IsPng(data)) return ImageError::kUnrecognised;
  PngState s;
  if (auto walked = WalkChunks(data, options_.verify_crc, s); !walked) return walked.error();
  if (!s.have_header) return ImageError::kMissingHeader;
  const PngHeader& h = s.header;
  if (h.width > kMaxImageSide || h.height > kMaxImageSide ||
      std::uint64_t(h.width) * h.height > kMaxImagePixels) {
    return ImageError::kImageTooLarge;
  }
  if (h.colour_type == kIndexed && !s.have_palette) return ImageError::kMissingPalette;
  if (s.idat.empty()) return ImageError::kMissingImageData;

  const unsigned bits_per_pixel = unsigned(s.channels) * h.bit_depth;
  const std::vector<PassGeometry> passes = Passes(h, bits_per_pixel);
  std::size_t expected = 0;
  for (const auto& p : passes) expected += std::size_t(p.height) * (1 + p.row_bytes);

  base::Result<std::vector<std::uint8_t>, ImageError> inflated = ImageError::kInflateFailed;
  if (options_.use_zlib_library) inflated = ZlibLibraryInflate(s.idat, expected);
  if (!inflated) inflated = InflateZlibStream(s.idat, expected);
  if (!inflated) return inflated.error();
  std::vector<std::uint8_t> raw = std::move(*inflated);
  if (raw.size() != expected) return ImageError::kOutputTooShort;
  std::vector<std::uint8_t>().swap(s.idat);

  auto allocated = AllocateImage(h.width, h.height);
  if (!allocated) return allocated.error();
  DecodedImage image = std::move(*allocated);
  RowConverter converter(s, image);
  const std::size_t bpp = std::max(1u, bits_per_pixel / 8);
  std::size_t offset = 0;
  for (const auto& p : passes) {
    std::vector<std::uint8_t> zero(p.row_bytes, 0);
    const std::uint8_t* prev = zero.data();
    for (std::uint32_t y = 0; y < p.height; ++y) {
      const std::uint8_t filter = raw[offset];
      std::uint8_t* row = raw.data() + offset + 1;
      if (!Unfilter(filter, row, prev, p.row_bytes, bpp)) return ImageError::kBadFilter;
      converter.Convert(row, p, y);
      prev = row;
      offset += 1 + p.row_bytes;
    }
  }
  image.alpha = converter.HasAlpha();
  image.image_type = kImagePng;
  return image;
}

}  // namespace movarin::imaging
