#include "tests/e2e/driver/png_writer.h"

#include <zlib.h>

#include <array>
#include <vector>

namespace movarin::e2e {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Larger than any screen; keeps the size arithmetic far from overflow.
constexpr std::uint32_t kMaxSide = 16384;
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kFilterNone = 0;

void PutBigEndian32(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v >> 24));
  out.push_back(static_cast<char>(v >> 16));
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v));
}

void PutChunk(std::string& out, const char type[4], const std::string& data) {
  PutBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t crc_start = out.size();
  out.append(type, 4);
  out += data;
  const auto* covered = reinterpret_cast<const Bytef*>(out.data() + crc_start);
  PutBigEndian32(out, static_cast<std::uint32_t>(
                          crc32(crc32(0L, Z_NULL, 0), covered,
                                static_cast<uInt>(out.size() - crc_start))));
}

}  // namespace

std::string EncodePng(std::uint32_t width, std::uint32_t height,
                      std::span<const std::uint8_t> rgb, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return std::string();
  };
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
    return fail("image size out of range");
  }
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  if (rgb.size() != row_bytes * height) return fail("pixel buffer does not match the size");

  // Each row is preceded by its filter byte; no filtering keeps the encoder simple and
  // screenshots still compress well.
  std::vector<std::uint8_t> raw;
  raw.reserve((row_bytes + 1) * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    raw.push_back(kFilterNone);
    const auto row = rgb.subspan(y * row_bytes, row_bytes);
    raw.insert(raw.end(), row.begin(), row.end());
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size, raw.data(),
                static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK) {
    return fail("zlib could not compress the pixels");
  }
  packed.resize(packed_size);

  std::string header;
  PutBigEndian32(header, width);
  PutBigEndian32(header, height);
  header.push_back(static_cast<char>(kBitDepth));
  header.push_back(static_cast<char>(kColourTypeRgb));
  header.push_back(0);  // compression: deflate
  header.push_back(0);  // filter method: adaptive
  header.push_back(0);  // no interlace

  std::string png(kSignature.begin(), kSignature.end());
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace movarin::e2e
