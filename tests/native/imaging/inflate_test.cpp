// Our DEFLATE decoder against the zlib library on the same streams.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "imaging/inflate.h"
#include "imaging/zlib_library.h"
#include "tests/native/imaging/test_pictures.h"

namespace movarin::imaging {
namespace {

using testing::Bytes;
using testing::ErrorOf;

// Text-like data with long and short repeats, so every kind of match occurs.
Bytes SampleData(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < size) {
    if (out.size() > 300 && rng() % 3 == 0) {
      const std::size_t dist = 1 + rng() % std::min<std::size_t>(out.size(), 40000);
      const std::size_t len = 3 + rng() % 300;
      for (std::size_t i = 0; i < len && out.size() < size; ++i) out.push_back(out[out.size() - dist]);
    } else {
      const std::size_t len = 1 + rng() % 20;
      for (std::size_t i = 0; i < len && out.size() < size; ++i) out.push_back(static_cast<std::uint8_t>(rng() % 40 + 60));
    }
  }
  return out;
}

Bytes Deflate(const Bytes& raw, int level, int strategy) {
  z_stream zs{};
  deflateInit2(&zs, level, Z_DEFLATED, 15, 8, strategy);
  Bytes out(deflateBound(&zs, raw.size()) + 64);
  zs.next_in = const_cast<Bytef*>(raw.data());
  zs.avail_in = static_cast<uInt>(raw.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

struct Variant {
  std::size_t size;
  int level;
  int strategy;
};

TEST(Inflate, AgreesWithZlibOnEveryLevelStrategyAndSize) {
  const Variant variants[] = {
      {0, 6, Z_DEFAULT_STRATEGY},       {1, 6, Z_DEFAULT_STRATEGY},    {100, 0, Z_DEFAULT_STRATEGY},
      {70000, 0, Z_DEFAULT_STRATEGY},   {5000, 1, Z_DEFAULT_STRATEGY}, {200000, 6, Z_DEFAULT_STRATEGY},
      {200000, 9, Z_DEFAULT_STRATEGY},  {50000, 6, Z_FIXED},           {50000, 6, Z_HUFFMAN_ONLY},
      {50000, 6, Z_RLE},                {50000, 9, Z_FILTERED},        {1 << 20, 6, Z_DEFAULT_STRATEGY},
  };
  unsigned seed = 1;
  for (const Variant& v : variants) {
    SCOPED_TRACE("size " + std::to_string(v.size) + " level " + std::to_string(v.level) + " strategy " +
                 std::to_string(v.strategy));
    const Bytes raw = SampleData(v.size, seed++);
    const Bytes packed = Deflate(raw, v.level, v.strategy);
    const auto ours = InflateZlibStream(packed, raw.size());
    const auto theirs = ZlibLibraryInflate(packed, raw.size());
    ASSERT_TRUE(ours) << ImageErrorText(ours.error());
    ASSERT_TRUE(theirs) << ImageErrorText(theirs.error());
    EXPECT_EQ(*ours, raw);
    EXPECT_EQ(*theirs, raw);
    // One byte less room than needed: both refuse.
    if (!raw.empty()) {
      EXPECT_EQ(ErrorOf(InflateZlibStream(packed, raw.size() - 1)), ImageError::kOutputTooLarge);
      EXPECT_EQ(ErrorOf(ZlibLibraryInflate(packed, raw.size() - 1)), ImageError::kOutputTooLarge);
    }
  }
}

// Damaged streams: both decoders accept the same ones with the same output, and neither
// reads or writes out of bounds (checked under ASan).
TEST(Inflate, AgreesWithZlibOnDamagedStreams) {
  std::mt19937 rng(7);
  const Bytes raw = SampleData(4000, 99);
  const Bytes originals[] = {Deflate(raw, 6, Z_DEFAULT_STRATEGY), Deflate(raw, 6, Z_FIXED),
                             Deflate(raw, 0, Z_DEFAULT_STRATEGY)};
  int accepted = 0, refused = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes packed = originals[round % 3];
    const int flips = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < flips; ++i) packed[2 + rng() % (packed.size() - 2)] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
    if (rng() % 4 == 0) packed.resize(rng() % packed.size());
    const auto ours = InflateZlibStream(packed, 8000);
    const auto theirs = ZlibLibraryInflate(packed, 8000);
    ASSERT_EQ(ours.ok(), theirs.ok()) << "round " << round;
    if (ours) {
      ASSERT_EQ(*ours, *theirs) << "round " << round;
      ++accepted;
    } else {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
}

TEST(Inflate, RefusesBadHeadersChecksumsAndTruncation) {
  const Bytes raw = SampleData(1000, 3);
  const Bytes good = Deflate(raw, 6, Z_DEFAULT_STRATEGY);
  Bytes bad_method = good;
  bad_method[0] = 0x79;  // method 9
  EXPECT_EQ(ErrorOf(InflateZlibStream(bad_method, 2000)), ImageError::kBadZlibHeader);
  Bytes bad_check = good;
  bad_check[1] ^= 1;  // header check no longer a multiple of 31
  EXPECT_EQ(ErrorOf(InflateZlibStream(bad_check, 2000)), ImageError::kBadZlibHeader);
  Bytes dictionary = {0x78, 0xBB};  // FDICT set
  EXPECT_EQ(ErrorOf(InflateZlibStream(dictionary, 2000)), ImageError::kBadZlibHeader);
  Bytes bad_adler = good;
  bad_adler.back() ^= 0xFF;
  EXPECT_EQ(ErrorOf(InflateZlibStream(bad_adler, 2000)), ImageError::kChecksumMismatch);
  for (std::size_t cut : {std::size_t(0), std::size_t(1), std::size_t(2), good.size() / 2, good.size() - 1}) {
    Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(InflateZlibStream(truncated, 2000)) << cut;
  }
  // Bytes after the end of the stream are ignored, as zlib does.
  Bytes trailing = good;
  trailing.insert(trailing.end(), {1, 2, 3});
  const auto trailed = InflateZlibStream(trailing, 2000);
  ASSERT_TRUE(trailed);
  EXPECT_EQ(*trailed, raw);
}

TEST(Inflate, RawBlocksOfEachTypeAndInvalidOnes) {
  // Stored block "abc": BFINAL 1, BTYPE 00, LEN 3, NLEN ~3.
  const auto stored = InflateRawDeflate(Bytes{0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'}, 10);
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(ErrorOf(InflateRawDeflate(Bytes{0x01, 0x03, 0x00, 0xFC, 0xFE, 'a', 'b', 'c'}, 10)),
            ImageError::kBadStoredLength);
  // An empty stored block before any output (once a null-pointer copy).
  const auto empty = InflateRawDeflate(Bytes{0x01, 0x00, 0x00, 0xFF, 0xFF}, 10);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
  // Block type 3 does not exist.
  EXPECT_EQ(ErrorOf(InflateRawDeflate(Bytes{0x07, 0x00}, 10)), ImageError::kBadBlockType);
  // Fixed block: literal 'a' then a match of length 3 at distance 1, end of block.
  const Bytes fixed = Deflate(Bytes{'a', 'a', 'a', 'a'}, 6, Z_FIXED);
  const auto repeated = InflateZlibStream(fixed, 10);
  ASSERT_TRUE(repeated);
  EXPECT_EQ(*repeated, (Bytes{'a', 'a', 'a', 'a'}));
  // A distance reaching before the start: fixed block, length code 257 (3), distance 0 (1)
  // with nothing produced yet.
  EXPECT_EQ(ErrorOf(InflateRawDeflate(Bytes{0x03, 0x02, 0x00}, 10)), ImageError::kBadDistance);
}

TEST(Adler32, MatchesZlib) {
  const Bytes data = SampleData(100000, 5);
  EXPECT_EQ(Adler32(data), adler32(1, data.data(), static_cast<uInt>(data.size())));
  EXPECT_EQ(Adler32({}), 1u);
}

}  // namespace
}  // namespace movarin::imaging
