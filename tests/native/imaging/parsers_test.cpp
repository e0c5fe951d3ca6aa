// What the parsers do with broken, hostile and unusual data.
#include <gtest/gtest.h>

#include "imaging/bmp_parser.h"
#include "imaging/gif_parser.h"
#include "imaging/ico_parser.h"
#include "imaging/lzw_decoder.h"
#include "imaging/png_parser.h"
#include "tests/native/imaging/test_pictures.h"

namespace movarin::imaging {
namespace {

using namespace testing;

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) {
    for (std::uint8_t b : p) out.push_back(b);
  }
  return out;
}

const Bytes kSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Offset of the first byte of a chunk's data.
std::size_t ChunkData(const Bytes& png, const std::string& type) {
  for (std::size_t i = 8; i + 8 <= png.size(); ) {
    const std::uint32_t len = (png[i] << 24) | (png[i + 1] << 16) | (png[i + 2] << 8) | png[i + 3];
    if (std::string(png.begin() + i + 4, png.begin() + i + 8) == type) return i + 8;
    i += 12 + len;
  }
  return 0;
}

TEST(Png, CrcOfIdatIsCheckedWhenAskedAndIgnoredOtherwise) {
  Bytes png = RgbaPng(8, 8);
  const std::size_t idat = ChunkData(png, "IDAT");
  const std::uint32_t len = (png[idat - 8] << 24) | (png[idat - 7] << 16) | (png[idat - 6] << 8) | png[idat - 5];
  png[idat + len] ^= 0x55;  // first CRC byte
  DecodedImage image;
  EXPECT_EQ(Into(image, PngParser().Decode(png)), ImageError::kCrcMismatch);
  EXPECT_TRUE(image.pixels.empty());
  EXPECT_EQ(Into(image, PngParser({.verify_crc = false}).Decode(png)), std::nullopt);
  EXPECT_EQ(image.width, 8);
}

TEST(Png, UnknownAncillaryChunksAreSkippedEvenWithBadCrc) {
  Bytes odd = PngChunk("vpAg", Bytes{1, 2, 3});
  odd.back() ^= 1;
  DecodedImage image;
  ASSERT_EQ(Into(image, PngParser().Decode(RgbaPng(5, 4, {odd}))), std::nullopt);
  EXPECT_EQ(image.pixels[4 * 6 + 0], 1 + 1);  // pixel (1, 1): blue = x + y
}

TEST(Png, ChunkRunningPastTheEndFails) {
  Bytes png = RgbaPng(6, 6);
  png.resize(ChunkData(png, "IDAT") + 3);
  DecodedImage image;
  EXPECT_EQ(Into(image, PngParser().Decode(png)), ImageError::kChunkPastEnd);
  // A length field that claims more than the data holds.
  Bytes liar = RgbaPng(6, 6);
  const std::size_t at = ChunkData(liar, "IDAT") - 8;
  liar[at] = 0x7F;
  EXPECT_EQ(Into(image, PngParser().Decode(liar)), ImageError::kChunkPastEnd);
  liar[at] = 0xFF;
  EXPECT_EQ(Into(image, PngParser().Decode(liar)), ImageError::kChunkTooLong);
}

TEST(Png, MissingIendIsAcceptedAtAChunkBoundary) {
  Bytes png = RgbaPng(3, 3);
  png.resize(png.size() - 12);
  DecodedImage image;
  EXPECT_EQ(Into(image, PngParser().Decode(png)), std::nullopt);
}

struct HeaderCase {
  std::uint32_t width, height;
  std::uint8_t depth, colour_type, interlace;
  ImageError expected;
};

TEST(Png, InvalidHeadersAndHugeSizesFailBeforeAnyAllocation) {
  const HeaderCase cases[] = {
      {0, 5, 8, 6, 0, ImageError::kBadHeader},          {5, 0, 8, 6, 0, ImageError::kBadHeader},
      {5, 5, 3, 0, 0, ImageError::kBadHeader},          {5, 5, 4, 2, 0, ImageError::kBadHeader},
      {5, 5, 16, 3, 0, ImageError::kBadHeader},         {5, 5, 8, 5, 0, ImageError::kBadHeader},
      {5, 5, 8, 6, 2, ImageError::kBadHeader},          {0x80000000u, 5, 8, 6, 0, ImageError::kBadHeader},
      {100000, 100000, 8, 6, 0, ImageError::kImageTooLarge}, {5000, 5000, 8, 6, 0, ImageError::kImageTooLarge},
      {40000, 2, 1, 0, 0, ImageError::kImageTooLarge},
  };
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " depth " + std::to_string(c.depth) +
                 " type " + std::to_string(c.colour_type));
    const Bytes png = Join({kSignature, IhdrChunk(c.width, c.height, c.depth, c.colour_type, c.interlace),
                            PngChunk("IDAT", ZlibCompress(Bytes(64, 0))), PngChunk("IEND", {})});
    DecodedImage image;
    EXPECT_EQ(Into(image, PngParser().Decode(png)), c.expected);
  }
}

TEST(Png, StructuralFaultsHaveTheirOwnErrors) {
  DecodedImage image;
  // Palette picture without PLTE.
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, IhdrChunk(2, 2, 8, 3), PngChunk("IDAT", ZlibCompress(Bytes(6, 0))),
                                     PngChunk("IEND", {})}))),
            ImageError::kMissingPalette);
  // No IDAT, no IHDR.
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, IhdrChunk(2, 2, 8, 0), PngChunk("IEND", {})}))),
            ImageError::kMissingImageData);
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, PngChunk("IEND", {})}))), ImageError::kMissingHeader);
  // Filter type 5.
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, IhdrChunk(2, 1, 8, 0), PngChunk("IDAT", ZlibCompress(Bytes{5, 1, 2})),
                                     PngChunk("IEND", {})}))),
            ImageError::kBadFilter);
  // Too little and too much image data.
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, IhdrChunk(2, 2, 8, 0), PngChunk("IDAT", ZlibCompress(Bytes{0, 1, 2})),
                                     PngChunk("IEND", {})}))),
            ImageError::kOutputTooShort);
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, IhdrChunk(2, 1, 8, 0), PngChunk("IDAT", ZlibCompress(Bytes(50, 0))),
                                     PngChunk("IEND", {})}))),
            ImageError::kOutputTooLarge);
  // Palette with 257 entries or a length that is not a multiple of 3.
  EXPECT_EQ(Into(image, PngParser().Decode(Join({kSignature, IhdrChunk(1, 1, 8, 3), PngChunk("PLTE", Bytes(257 * 3, 0)),
                                     PngChunk("IDAT", ZlibCompress(Bytes(2, 0))), PngChunk("IEND", {})}))),
            ImageError::kBadPalette);
  EXPECT_TRUE(image.pixels.empty());
}

TEST(Png, PaletteIndexBeyondThePaletteShowsOpaqueBlack) {
  const Bytes png = Join({kSignature, IhdrChunk(2, 1, 8, 3), PngChunk("PLTE", Bytes{10, 20, 30}),
                          PngChunk("IDAT", ZlibCompress(Bytes{0, 0, 200})), PngChunk("IEND", {})});
  DecodedImage image;
  ASSERT_EQ(Into(image, PngParser().Decode(png)), std::nullopt);
  EXPECT_EQ(image.pixels, (Bytes{30, 20, 10, 255, 0, 0, 0, 255}));
}

// ------------------------------------------------------------------------ GIF
Bytes Gif(const std::string& signature, std::uint16_t screen_w, std::uint16_t screen_h, const Bytes& body) {
  Bytes out(signature.begin(), signature.end());
  PutU16LE(out, screen_w);
  PutU16LE(out, screen_h);
  // Global table of 2 colours: red, green.
  for (std::uint8_t b : Bytes{0x80, 0, 0, 255, 0, 0, 0, 255, 0}) out.push_back(b);
  for (std::uint8_t b : body) out.push_back(b);
  out.push_back(0x3B);
  return out;
}

// A 2 x 1 frame at (0, 0) whose LZW data is given.
Bytes Frame(const Bytes& lzw, std::uint16_t w = 2, std::uint16_t h = 1) {
  Bytes out = {0x2C, 0, 0, 0, 0};
  PutU16LE(out, w);
  PutU16LE(out, h);
  out.push_back(0);  // no local table, not interlaced
  out.push_back(2);  // minimum code size
  out.push_back(static_cast<std::uint8_t>(lzw.size()));
  for (std::uint8_t b : lzw) out.push_back(b);
  out.push_back(0);
  return out;
}

// Codes of 3 bits, packed from the lowest bit: clear 4, index 0, index 1, end 5.
const Bytes kRedGreen = {0x44, 0x0A};

TEST(Gif, SignatureInAnyLetterCase) {
  for (const char* sig : {"GIF89a", "GIF87a", "gif89a", "GIF89A", "gIf87A"}) {
    EXPECT_TRUE(GifParser::IsGif(Gif(sig, 2, 1, Frame(kRedGreen)))) << sig;
  }
  for (const char* sig : {"GIF88a", "GIF89b", "JIF89a"}) EXPECT_FALSE(GifParser::IsGif(Gif(sig, 2, 1, {}))) << sig;
  DecodedImage image;
  ASSERT_EQ(Into(image, GifParser().Decode(Gif("GIF89A", 2, 1, Frame(kRedGreen)))), std::nullopt);
  EXPECT_EQ(image.pixels, (Bytes{0, 0, 255, 255, 0, 255, 0, 255}));
  EXPECT_FALSE(image.alpha);
}

TEST(Gif, TransparentIndexOfTheControlBlockBeforeTheFrame) {
  const Bytes control = {0x21, 0xF9, 4, 0x01, 0, 0, 1, 0};  // index 1 transparent
  DecodedImage image;
  ASSERT_EQ(Into(image, GifParser().Decode(Gif("GIF89a", 2, 1, Join({control, Frame(kRedGreen)})))), std::nullopt);
  EXPECT_EQ(image.pixels, (Bytes{0, 0, 255, 255, 0, 0, 0, 0}));
  EXPECT_TRUE(image.alpha);
}

TEST(Gif, LocalColourTableOverridesTheGlobalOne) {
  Bytes frame = Frame(kRedGreen);
  frame[9] = 0x80;  // local table of 2 colours follows the descriptor: blue, white
  const Bytes local = {0, 0, 255, 255, 255, 255};
  frame.insert(frame.begin() + 10, local.begin(), local.end());
  DecodedImage image;
  ASSERT_EQ(Into(image, GifParser().Decode(Gif("GIF87a", 2, 1, frame))), std::nullopt);
  EXPECT_EQ(image.pixels, (Bytes{255, 0, 0, 255, 255, 255, 255, 255}));
}

TEST(Gif, FrameOutsideTheScreenGrowsTheCanvasAndLeavesTheRestClear) {
  Bytes frame = Frame(kRedGreen);
  frame[1] = 1;  // left 1
  DecodedImage image;
  ASSERT_EQ(Into(image, GifParser().Decode(Gif("GIF89a", 2, 1, frame))), std::nullopt);
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 0, 0, 0, 255, 255, 0, 255, 0, 255}));
  EXPECT_TRUE(image.alpha);
}

TEST(Gif, BrokenFilesFailCleanly) {
  DecodedImage image;
  EXPECT_EQ(Into(image, GifParser().Decode(Gif("GIF89a", 2, 1, {}))), ImageError::kNoGifFrame);
  EXPECT_EQ(Into(image, GifParser().Decode(Gif("GIF89a", 2, 1, Bytes{0x99}))), ImageError::kBadGifBlock);
  // Code 7 is not defined yet.
  EXPECT_EQ(Into(image, GifParser().Decode(Gif("GIF89a", 2, 1, Frame(Bytes{0x3C, 0x00})))), ImageError::kBadLzwCode);
  Bytes truncated = Gif("GIF89a", 2, 1, Frame(kRedGreen));
  truncated.resize(16);
  EXPECT_NE(Into(image, GifParser().Decode(truncated)), std::nullopt);
  // A huge logical screen is refused before pixels are allocated.
  EXPECT_EQ(Into(image, GifParser().Decode(Gif("GIF89a", 65535, 65535, Frame(kRedGreen)))), ImageError::kImageTooLarge);
  EXPECT_TRUE(image.pixels.empty());
}

TEST(Lzw, DataEndingEarlyKeepsWhatArrivedAndKwkwkCodesWork) {
  std::vector<std::uint8_t> out;
  // clear, 0, then code 6 (= "0 0", defined by the code itself), end.
  EXPECT_EQ(Into(out, DecodeGifLzw(Bytes{0x84, 0x0B}, 2, 10)), std::nullopt);
  EXPECT_EQ(out, (Bytes{0, 0, 0}));
  // clear, 0, and two bits that do not make a code.
  EXPECT_EQ(Into(out, DecodeGifLzw(Bytes{0x04}, 2, 10)), std::nullopt);
  EXPECT_EQ(out, (Bytes{0}));
  // Never more than asked for.
  EXPECT_EQ(Into(out, DecodeGifLzw(Bytes{0x84, 0x0B}, 2, 2)), std::nullopt);
  EXPECT_EQ(out, (Bytes{0, 0}));
  EXPECT_EQ(Into(out, DecodeGifLzw(Bytes{0x04}, 9, 10)), ImageError::kBadLzwCode);
}

// ------------------------------------------------------------------------ ICO
struct ChoiceCase {
  int wanted_w, wanted_h;
  int expected;
};

TEST(Ico, ChoosesTheEntryForTheWantedSize) {
  auto entry = [](std::uint32_t w, std::uint32_t bits) {
    IconEntry e;
    e.width = e.height = w;
    e.bit_count = bits;
    e.usable = true;
    return e;
  };
  std::vector<IconEntry> entries = {entry(16, 8), entry(16, 32), entry(32, 32), entry(48, 4), entry(256, 32)};
  entries.push_back(entry(64, 32));
  entries.back().usable = false;
  const ChoiceCase cases[] = {
      {16, 16, 1},    // exact size, most colours
      {32, 32, 2},    // exact
      {24, 24, 2},    // smallest larger
      {40, 40, 3},    // smallest larger, whatever its depth
      {64, 64, 4},    // the unusable 64 is passed over
      {300, 300, 4},  // nothing larger: the largest
      {0, 0, 4},      // no wish: the largest
      {8, 8, 1},      // smallest larger than 8 is 16 (the 32-bit one)
  };
  for (const ChoiceCase& c : cases) {
    EXPECT_EQ(IcoParser::ChooseEntry(entries, c.wanted_w, c.wanted_h), c.expected) << c.wanted_w;
  }
  EXPECT_EQ(IcoParser::ChooseEntry({}, 16, 16), -1);
}

Bytes IconFile(std::uint16_t type, std::uint16_t count, std::uint32_t size, std::uint32_t offset, const Bytes& body) {
  Bytes out;
  PutU16LE(out, 0);
  PutU16LE(out, type);
  PutU16LE(out, count);
  for (std::uint16_t i = 0; i < count; ++i) {
    for (std::uint8_t b : Bytes{16, 16, 0, 0, 1, 0, 32, 0}) out.push_back(b);
    PutU32LE(out, size);
    PutU32LE(out, offset);
  }
  for (std::uint8_t b : body) out.push_back(b);
  return out;
}

TEST(Ico, DirectoryChecksAndEntriesOutsideTheFile) {
  const Bytes png = RgbaPng(16, 16);
  const auto size = static_cast<std::uint32_t>(png.size());
  EXPECT_TRUE(IcoParser::IsIcon(IconFile(1, 1, size, 22, png)));
  EXPECT_TRUE(IcoParser::IsIcon(IconFile(2, 1, size, 22, png)));
  EXPECT_FALSE(IcoParser::IsIcon(IconFile(3, 1, size, 22, png)));
  EXPECT_FALSE(IcoParser::IsIcon(IconFile(1, 0, size, 22, png)));
  Bytes short_directory = IconFile(1, 1, size, 22, png);
  short_directory[4] = 200;  // 200 entries would reach past the end
  EXPECT_FALSE(IcoParser::IsIcon(short_directory));
  DecodedImage image;
  EXPECT_EQ(Into(image, IcoParser().Decode(IconFile(1, 1, size, 22, png), 16, 16)), std::nullopt);
  EXPECT_EQ(image.width, 16);
  EXPECT_EQ(Into(image, IcoParser().Decode(IconFile(1, 1, size + 1, 22, png), 16, 16)), ImageError::kNoUsableIconEntry);
  EXPECT_EQ(Into(image, IcoParser().Decode(IconFile(1, 1, size, 0xFFFFFFF0u, png), 16, 16)), ImageError::kNoUsableIconEntry);
  EXPECT_EQ(Into(image, IcoParser().Decode(IconFile(1, 1, 0, 22, png), 16, 16)), ImageError::kNoUsableIconEntry);
}

// ------------------------------------------------------------------------ BMP
Bytes Bmp(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t compression, std::size_t pixel_bytes,
          std::uint32_t offset = 54) {
  Bytes out = {'B', 'M'};
  PutU32LE(out, 0);
  PutU32LE(out, 0);
  PutU32LE(out, offset);
  PutU32LE(out, 40);
  PutU32LE(out, static_cast<std::uint32_t>(w));
  PutU32LE(out, static_cast<std::uint32_t>(h));
  PutU16LE(out, 1);
  PutU16LE(out, bits);
  PutU32LE(out, compression);
  for (int i = 0; i < 5; ++i) PutU32LE(out, 0);
  out.resize(out.size() + pixel_bytes, 0x7F);
  return out;
}

TEST(Bmp, HostileAndBrokenHeadersFail) {
  struct Case {
    Bytes data;
    std::optional<ImageError> expected;
  };
  const Case cases[] = {
      {Bmp(2, 2, 24, 0, 16), std::nullopt},
      {Bmp(2, -2, 24, 0, 16), std::nullopt},
      {Bmp(0, 2, 24, 0, 16), ImageError::kBadBitmapHeader},
      {Bmp(2, 0, 24, 0, 16), ImageError::kBadBitmapHeader},
      {Bmp(2, 2, 24, 0, 15), ImageError::kTruncated},
      {Bmp(2, 2, 7, 0, 16), ImageError::kUnsupportedBitDepth},
      {Bmp(2, 2, 24, 4, 16), ImageError::kUnsupportedCompression},  // JPEG inside
      {Bmp(2, 2, 24, 3, 16), ImageError::kUnsupportedCompression},  // bit fields need 16 or 32
      {Bmp(2, 2, 24, 0, 16, 20), ImageError::kBadBitmapHeader},      // pixels inside the header
      {Bmp(2, 2, 24, 0, 16, 0xFFFFFFF0u), ImageError::kTruncated},
      {Bmp(0x7FFFFFFF, 2, 24, 0, 16), ImageError::kImageTooLarge},
      {Bmp(2, static_cast<std::int32_t>(0x80000000u), 24, 0, 16), ImageError::kImageTooLarge},
      {Bmp(30000, 30000, 24, 0, 16), ImageError::kTruncated},  // checked before allocating
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    DecodedImage image;
    EXPECT_EQ(Into(image, BmpParser().Decode(cases[i].data)), cases[i].expected) << "case " << i;
    if (cases[i].expected) {
      EXPECT_TRUE(image.pixels.empty()) << "case " << i;
    }
  }
}

TEST(Bmp, RunLengthDataThatRunsOffTheBitmapIsClipped) {
  // 4 x 2, 8-bit RLE: a run of 200, a delta far away, an absolute run past the edge.
  Bytes bmp = Bmp(4, 2, 8, 1, 0, 54 + 8);
  bmp[46] = 2;  // two palette entries
  for (std::uint8_t b : Bytes{0, 0, 255, 0, 255, 0, 0, 0}) bmp.push_back(b);
  for (std::uint8_t b : Bytes{200, 1, 0, 2, 250, 250, 0, 5, 1, 1, 1, 1, 1, 0, 0, 1}) bmp.push_back(b);
  DecodedImage image;
  ASSERT_EQ(Into(image, BmpParser().Decode(bmp)), std::nullopt);
  // Index 0 is red, index 1 blue: the run fills the bottom row, the top row keeps index 0.
  EXPECT_EQ(image.pixels, (Bytes{0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255,
                                 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255}));
}

}  // namespace
}  // namespace movarin::imaging
