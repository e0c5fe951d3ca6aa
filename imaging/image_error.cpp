#include "imaging/image_error.h"

#include <iterator>
#include <cstddef>

namespace movarin::imaging {
namespace {

constexpr std::string_view kTexts[] = {
    "no image is loaded",
    "the file does not exist",
    "the data is 56 bytes long or shorter",
    "the file is too large to be a picture",
    "the file could not be read",
    "the file could not be written",
    "the user chose not to overwrite the file",
    "the data is too short",
    "the start or length lies outside the data",
    "the data is not a picture in a known format",
    "the picture is larger than the loader accepts",
    "the data ends before the picture does",
    "a PNG chunk runs past the end of the data",
    "a PNG chunk is longer than allowed",
    "a PNG chunk checksum does not match",
    "the PNG header (IHDR) is invalid",
    "the PNG has no header (IHDR)",
    "the PNG has no image data (IDAT)",
    "the palette PNG has no palette (PLTE)",
    "the PNG palette is invalid",
    "a PNG row has an unknown filter type",
    "the zlib header is invalid",
    "a DEFLATE block has an invalid type",
    "a stored DEFLATE block has a bad length",
    "a DEFLATE Huffman code is invalid",
    "a DEFLATE distance reaches before the start of the data",
    "the zlib checksum does not match",
    "the compressed data expands beyond the picture's size",
    "the compressed data ends before the picture is complete",
    "the compressed data could not be decompressed",
    "the GIF signature is invalid",
    "the GIF has no image",
    "the GIF has an invalid block",
    "the GIF image has no colour table",
    "the GIF image data has an invalid code",
    "the icon directory is invalid",
    "the icon has no usable image",
    "the bitmap header is invalid",
    "the bitmap compression is not supported",
    "the bitmap bit depth is not supported",
    "the system picture loader could not read the data",
    "there is no device context to draw on",
};
static_assert(std::size(kTexts) == static_cast<std::size_t>(ImageError::kCount), "one text per error");

}  // namespace

std::string_view ImageErrorText(ImageError error) {
  const auto index = static_cast<std::size_t>(error);
  return index < std::size(kTexts) ? kTexts[index] : std::string_view("unknown error");
}

}  // namespace movarin::imaging
