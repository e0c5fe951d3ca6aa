#pragma once
// Our own decoder for the zlib (RFC 1950) and DEFLATE (RFC 1951) formats: stored,
// fixed-Huffman and dynamic-Huffman blocks. It is the fallback when the zlib library
// cannot decompress the data, and is tested against that library on the same data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"
#include "imaging/image_error.h"

namespace movarin::imaging {

// Decompresses a zlib stream (header, DEFLATE data, Adler-32). Fails with
// kOutputTooLarge as soon as more than `max_output` bytes would be produced; bytes after
// the end of the stream are ignored. The output grows with the data actually produced.
base::Result<std::vector<std::uint8_t>, ImageError> InflateZlibStream(std::span<const std::uint8_t> in,
                                                                       std::size_t max_output);

// The same for raw DEFLATE data without the zlib header and checksum.
base::Result<std::vector<std::uint8_t>, ImageError> InflateRawDeflate(std::span<const std::uint8_t> in,
                                                                       std::size_t max_output);

// How far an output buffer grows: first to what ordinary data expands to (8 times the
// input), then doubling. Callers cap it at their limit, so hostile data that claims a
// large picture gets a large buffer only by really expanding that far.
std::size_t NextOutputSize(std::size_t current, std::size_t input_size);

std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler = 1);

}  // namespace movarin::imaging
