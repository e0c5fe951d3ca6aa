#include "imaging/bmp_parser.h"

#include "base/byte_reader.h"
#include "imaging/dib.h"
#include "imaging/image_type.h"

namespace movarin::imaging {
namespace {

constexpr std::uint8_t kMagic[2] = {'B', 'M'};
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kPixelOffsetField = 10;

}  // namespace

bool BmpParser::IsBmp(std::span<const std::uint8_t> data) {
  if (data.size() < kFileHeaderSize || data[0] != kMagic[0] || data[1] != kMagic[1]) return false;
  // A header that is only cut short or unsupported still marks the data as a bitmap.
  const auto header = ReadDibHeader(data, kFileHeaderSize);
  if (!header && header.error() == ImageError::kBadBitmapHeader) return false;
  const auto size = ReadDibSize(data, kFileHeaderSize);
  return size && size->width >= 1 && size->height != 0;
}

base::Result<DecodedImage, ImageError> BmpParser::Decode(std::span<const std::uint8_t> data) const {
  if (data.size() < kFileHeaderSize || data[0] != kMagic[0] || data[1] != kMagic[1]) {
    return ImageError::kUnrecognised;
  }
  const auto header = ReadDibHeader(data, kFileHeaderSize);
  if (!header) return header.error();
  const std::uint32_t pixel_offset = *base::ByteReader(data).U32(kPixelOffsetField);
  if (pixel_offset < header->end) return ImageError::kBadBitmapHeader;  // pixels inside the header
  const bool top_down = header->height < 0;
  const auto height = static_cast<std::uint32_t>(top_down ? -header->height : header->height);
  auto pixels = DecodeDibPixels(data, pixel_offset, *header, height, top_down);
  if (!pixels) return pixels.error();
  DecodedImage image = std::move(pixels->image);
  image.image_type = kImageBitmap;
  if (pixels->alpha_from_data) {
    const AlphaKind kind = AnalyseAlpha(image);
    ApplyAlpha(image, kind);
    image.alpha = kind != AlphaKind::kNone;
    if (kind == AlphaKind::kStraight) image.image_type = kImageBitmapArgb;
    if (kind == AlphaKind::kPremultiplied) image.image_type = kImageBitmapPargb;
  }
  return image;
}

}  // namespace movarin::imaging
