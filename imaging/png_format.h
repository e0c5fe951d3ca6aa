#pragma once
// Constants of the PNG format (ISO/IEC 15948).
#include <array>
#include <cstdint>

namespace movarin::imaging::png {

inline constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 0x50, 0x4E, 0x47,
                                                          0x0D, 0x0A, 0x1A, 0x0A};

constexpr std::uint32_t ChunkType(const char (&s)[5]) {
  return (std::uint32_t(std::uint8_t(s[0])) << 24) | (std::uint32_t(std::uint8_t(s[1])) << 16) |
         (std::uint32_t(std::uint8_t(s[2])) << 8) | std::uint32_t(std::uint8_t(s[3]));
}
inline constexpr std::uint32_t kIHDR = ChunkType("IHDR");
inline constexpr std::uint32_t kPLTE = ChunkType("PLTE");
inline constexpr std::uint32_t kTRNS = ChunkType("tRNS");
inline constexpr std::uint32_t kIDAT = ChunkType("IDAT");
inline constexpr std::uint32_t kIEND = ChunkType("IEND");

inline constexpr std::uint32_t kHeaderLength = 13;
inline constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;
// Chunk length, type and CRC around the data.
inline constexpr std::uint32_t kChunkOverhead = 12;

enum ColourType : std::uint8_t {
  kGrey = 0,
  kTrueColour = 2,
  kIndexed = 3,
  kGreyAlpha = 4,
  kTrueColourAlpha = 6,
};

struct ColourTypeInfo {
  std::uint8_t type;
  std::uint8_t channels;
  std::uint8_t allowed_depths;  // bit set: 1 << log2(depth)
};
// Depth bits: 1 -> bit 0, 2 -> bit 1, 4 -> bit 2, 8 -> bit 3, 16 -> bit 4.
inline constexpr std::array<ColourTypeInfo, 5> kColourTypes = {{
    {kGrey, 1, 0x1F},
    {kTrueColour, 3, 0x18},
    {kIndexed, 1, 0x0F},
    {kGreyAlpha, 2, 0x18},
    {kTrueColourAlpha, 4, 0x18},
}};

struct Adam7Pass {
  std::uint8_t x0, y0, dx, dy;
};
inline constexpr std::array<Adam7Pass, 7> kAdam7 = {{
    {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
}};

enum Filter : std::uint8_t { kFilterNone, kFilterSub, kFilterUp, kFilterAverage, kFilterPaeth, kFilterCount };

}  // namespace movarin::imaging::png
