#pragma once
// The variable-length-code LZW of GIF image data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "imaging/image_error.h"

namespace movarin::imaging {

// Decodes up to `max_pixels` colour indices from the joined image sub-blocks. Data that
// ends early (without the end code) leaves `out` shorter; that is not an error, as many
// writers cut the last block short. Codes that refer to unknown table entries are.
ImageError DecodeGifLzw(std::span<const std::uint8_t> data, unsigned min_code_size,
                        std::size_t max_pixels, std::vector<std::uint8_t>& out);

}  // namespace movarin::imaging
