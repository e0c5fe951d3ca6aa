#pragma once
// The variable-length-code LZW of GIF image data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

// Decodes up to `max_pixels` colour indices from the joined image sub-blocks. Data that
// ends early (without the end code) gives fewer indices; that is not an error, as many
// writers cut the last block short. Codes that refer to unknown table entries are.
base::Result<std::vector<std::uint8_t>, ImageError> DecodeGifLzw(std::span<const std::uint8_t> data,
                                                                  unsigned min_code_size,
                                                                  std::size_t max_pixels);

}  // namespace movarin::imaging
