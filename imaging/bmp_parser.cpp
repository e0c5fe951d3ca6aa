#include "imaging/bmp_parser.h"

#include "imaging/byte_reader.h"
#include "imaging/dib.h"
#include "imaging/image_type.h"

namespace movarin::imaging {
namespace {

constexpr std::uint8_t kMagic[2] = {'B', 'M'};
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kPixelOffsetField = 10;

}  // namespace

bool BmpParser::IsBmp(std::span<const std::uint8_t> data) {
  DibHeader header;
  std::size_t end;
  return data.size() >= kFileHeaderSize && data[0] == kMagic[0] && data[1] == kMagic[1] &&
         ReadDibHeader(data, kFileHeaderSize, header, end) != ImageError::BadBitmapHeader &&
         header.width >= 1 && header.height != 0;
}

ImageError BmpParser::Decode(std::span<const std::uint8_t> data, DecodedImage& image) const {
  image = DecodedImage{};
  if (data.size() < kFileHeaderSize || data[0] != kMagic[0] || data[1] != kMagic[1]) {
    return ImageError::Unrecognised;
  }
  DibHeader header;
  std::size_t end;
  if (const ImageError e = ReadDibHeader(data, kFileHeaderSize, header, end); e != ImageError::None) {
    return e;
  }
  const std::uint32_t pixel_offset = ByteReader::LoadU32LE(data.data() + kPixelOffsetField);
  if (pixel_offset < end) return ImageError::BadBitmapHeader;  // pixels inside the header
  const bool top_down = header.height < 0;
  const auto height = static_cast<std::uint32_t>(top_down ? -header.height : header.height);
  bool alpha_from_data;
  if (const ImageError e = DecodeDibPixels(data, pixel_offset, header, height, top_down, image, alpha_from_data);
      e != ImageError::None) {
    image = DecodedImage{};
    return e;
  }
  image.image_type = kImageBitmap;
  if (alpha_from_data) {
    const AlphaKind kind = AnalyseAlpha(image);
    ApplyAlpha(image, kind);
    image.alpha = kind != AlphaKind::None;
    if (kind == AlphaKind::Straight) image.image_type = kImageBitmapArgb;
    if (kind == AlphaKind::Premultiplied) image.image_type = kImageBitmapPargb;
  }
  return ImageError::None;
}

}  // namespace movarin::imaging
