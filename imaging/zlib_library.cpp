#include "imaging/zlib_library.h"

#include "imaging/inflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace movarin::imaging {
namespace {

// zlib counts in uInt; feed and drain it in slices that fit.
constexpr std::size_t kSlice = std::size_t(1) << 30;

}  // namespace

base::Result<std::vector<std::uint8_t>, ImageError> ZlibLibraryInflate(std::span<const std::uint8_t> in,
                                                                        std::size_t max_output) {
  std::vector<std::uint8_t> out;
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return ImageError::kInflateFailed;
  struct End {
    z_stream* s;
    ~End() { inflateEnd(s); }
  } end{&zs};

  std::size_t in_pos = 0, produced = 0;
  // Room grows with the data produced, never beyond one byte more than allowed, so that
  // a stream which would overflow is noticed without allocating for it.
  const std::size_t hard_cap = max_output == std::numeric_limits<std::size_t>::max()
                                   ? max_output
                                   : max_output + 1;
  for (;;) {
    if (produced == out.size()) {
      if (out.size() >= hard_cap) return ImageError::kOutputTooLarge;
      out.resize(std::min(hard_cap, NextOutputSize(out.size(), in.size())));
    }
    const std::size_t in_avail = std::min(in.size() - in_pos, kSlice);
    const std::size_t out_avail = std::min(out.size() - produced, kSlice);
    zs.next_in = const_cast<Bytef*>(in.data() + in_pos);
    zs.avail_in = static_cast<uInt>(in_avail);
    zs.next_out = out.data() + produced;
    zs.avail_out = static_cast<uInt>(out_avail);
    const int rc = inflate(&zs, Z_NO_FLUSH);
    in_pos += in_avail - zs.avail_in;
    produced += out_avail - zs.avail_out;
    if (produced > max_output) return ImageError::kOutputTooLarge;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_DATA_ERROR) return ImageError::kInflateFailed;
    if (rc == Z_BUF_ERROR) {
      // No progress possible: either the input is used up or the output is full.
      if (in_pos >= in.size() && zs.avail_in == 0 && produced < out.size()) {
        return ImageError::kTruncated;
      }
      if (produced < out.size()) return ImageError::kInflateFailed;
      continue;
    }
    if (rc != Z_OK) return ImageError::kInflateFailed;
    if (in_pos >= in.size() && zs.avail_out != 0) return ImageError::kTruncated;
  }
  out.resize(produced);
  return out;
}

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc) {
  uLong c = crc;
  std::size_t pos = 0;
  while (pos < data.size()) {
    const std::size_t n = std::min(data.size() - pos, kSlice);
    c = crc32(c, data.data() + pos, static_cast<uInt>(n));
    pos += n;
  }
  return static_cast<std::uint32_t>(c);
}

}  // namespace movarin::imaging
