#include "tests/native/imaging/test_pictures.h"

#include <zlib.h>

#include "imaging/png_format.h"

namespace movarin::imaging::testing {

void PutU32BE(Bytes& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}
void PutU32LE(Bytes& out, std::uint32_t v) {
  for (int s = 0; s < 32; s += 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}
void PutU16LE(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

Bytes ZlibCompress(const Bytes& raw, int level) {
  uLongf size = compressBound(raw.size());
  Bytes out(size);
  compress2(out.data(), &size, raw.data(), raw.size(), level);
  out.resize(size);
  return out;
}

Bytes PngChunk(const std::string& type, const Bytes& data) {
  Bytes out;
  PutU32BE(out, static_cast<std::uint32_t>(data.size()));
  for (char c : type) out.push_back(static_cast<std::uint8_t>(c));
  for (std::uint8_t b : data) out.push_back(b);
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
  crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
  PutU32BE(out, static_cast<std::uint32_t>(crc));
  return out;
}

Bytes IhdrChunk(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colour_type,
                std::uint8_t interlace) {
  Bytes ihdr;
  PutU32BE(ihdr, width);
  PutU32BE(ihdr, height);
  for (std::uint8_t b : {depth, colour_type, std::uint8_t(0), std::uint8_t(0), interlace}) ihdr.push_back(b);
  return PngChunk("IHDR", ihdr);
}

Bytes RgbaPng(std::uint32_t width, std::uint32_t height, const std::vector<Bytes>& extra_chunks) {
  Bytes raw;
  for (std::uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);
    for (std::uint32_t x = 0; x < width; ++x) {
      raw.push_back(static_cast<std::uint8_t>(x));
      raw.push_back(static_cast<std::uint8_t>(y));
      raw.push_back(static_cast<std::uint8_t>(x + y));
      raw.push_back(255);
    }
  }
  Bytes out(png::kSignature.begin(), png::kSignature.end());
  auto append = [&out](const Bytes& b) {
    for (std::uint8_t v : b) out.push_back(v);
  };
  append(IhdrChunk(width, height, 8, 6));
  for (const Bytes& c : extra_chunks) append(c);
  append(PngChunk("IDAT", ZlibCompress(raw)));
  append(PngChunk("IEND", {}));
  return out;
}

}  // namespace movarin::imaging::testing
