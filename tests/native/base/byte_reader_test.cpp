#include "base/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/checked_size.h"

namespace movarin::base {
namespace {

constexpr std::array<std::uint8_t, 8> kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};

TEST(ByteReaderOffsets, ReadLittleAndBigEndianValuesOfEveryWidth) {
  ByteReader reader(kBytes);
  EXPECT_EQ(reader.U8(7), 0x88);
  EXPECT_EQ(reader.U16(0), 0x0201);
  EXPECT_EQ(reader.U16BE(0), 0x0102);
  EXPECT_EQ(reader.U32(4), 0x88070605u);
  EXPECT_EQ(reader.U32BE(0), 0x01020304u);
  EXPECT_EQ(reader.U64(0), 0x8807060504030201ull);
  EXPECT_EQ(reader.I16(6), static_cast<std::int16_t>(0x8807));
  EXPECT_EQ(reader.I32(4), static_cast<std::int32_t>(0x88070605u));
}

TEST(ByteReaderOffsets, AReadThatReachesPastTheEndFailsWholly) {
  ByteReader reader(kBytes);
  struct Case {
    std::uint64_t offset;
    bool u16, u32, u64;
  };
  // Each width fails as soon as its last byte would lie outside.
  for (const Case& c : {Case{0, true, true, true}, Case{1, true, true, false}, Case{4, true, true, false},
                        Case{5, true, false, false}, Case{6, true, false, false}, Case{7, false, false, false},
                        Case{8, false, false, false}, Case{~0ull, false, false, false},
                        Case{~0ull - 1, false, false, false}}) {
    SCOPED_TRACE(c.offset);
    EXPECT_EQ(reader.U16(c.offset).has_value(), c.u16);
    EXPECT_EQ(reader.U32(c.offset).has_value(), c.u32);
    EXPECT_EQ(reader.U64(c.offset).has_value(), c.u64);
  }
  EXPECT_FALSE(reader.Bytes(~0ull, 2).has_value());
  EXPECT_FALSE(reader.Bytes(2, ~0ull).has_value());
  EXPECT_TRUE(reader.Bytes(8, 0).has_value());
  EXPECT_FALSE(reader.Sub(4, 5).has_value());
  auto sub = reader.Sub(4, 4);
  ASSERT_TRUE(sub.has_value());
  EXPECT_EQ(sub->U32(0), 0x88070605u);
  EXPECT_FALSE(sub->U8(4).has_value());
}

TEST(ByteReaderCursor, ReadsInSequenceAndFailsStickilyAtTheEnd) {
  ByteReader reader(kBytes);
  EXPECT_EQ(reader.ReadU16(), 0x0201);
  EXPECT_EQ(reader.ReadU32BE(), 0x03040506u);
  EXPECT_EQ(reader.position(), 6u);
  EXPECT_TRUE(reader.ok());
  // Only two bytes are left: a four-byte read fails without moving.
  EXPECT_EQ(reader.ReadU32(), 0u);
  EXPECT_TRUE(reader.failed());
  EXPECT_EQ(reader.position(), 6u);
  // The failure stays even after a read that fits.
  EXPECT_EQ(reader.ReadU16(), 0x8807);
  EXPECT_TRUE(reader.failed());
  EXPECT_TRUE(reader.AtEnd());
  reader.Reset();
  EXPECT_TRUE(reader.ok());
  EXPECT_TRUE(reader.ReadBytes(1).empty());
  EXPECT_TRUE(reader.failed());
}

TEST(ByteReaderCursor, SeekSkipAndByteRunsStayInside) {
  ByteReader reader(kBytes);
  EXPECT_TRUE(reader.Seek(8));
  EXPECT_FALSE(reader.Seek(9));
  EXPECT_TRUE(reader.failed());
  reader.Reset();
  EXPECT_TRUE(reader.Seek(2));
  EXPECT_FALSE(reader.Skip(~0ull));
  EXPECT_EQ(reader.position(), 2u);
  reader.Reset();
  auto run = reader.ReadBytes(3);
  ASSERT_EQ(run.size(), 3u);
  EXPECT_EQ(run[0], 0x03);
  EXPECT_EQ(reader.remaining(), 3u);
}

TEST(ByteReader, AnEmptyReaderReadsNothing) {
  ByteReader reader;
  EXPECT_FALSE(reader.U8(0).has_value());
  EXPECT_EQ(reader.ReadU8(), 0);
  EXPECT_TRUE(reader.failed());
  EXPECT_TRUE(reader.Bytes(0, 0).has_value());
}

TEST(CheckedSize, OverflowIsNoResultNotAWrappedNumber) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  EXPECT_EQ(CheckedAdd<std::uint64_t>(kMax - 1, 1), kMax);
  EXPECT_FALSE(CheckedAdd<std::uint64_t>(kMax, 1));
  EXPECT_EQ(CheckedMul<std::uint64_t>(1ull << 32, (1ull << 32) - 1), kMax - ((1ull << 32) - 1));
  EXPECT_FALSE(CheckedMul<std::uint64_t>(1ull << 32, 1ull << 32));
  EXPECT_EQ(CheckedMul<std::uint32_t>(0, 0xFFFFFFFFu), 0u);
  EXPECT_EQ(CheckedMulAdd<std::uint32_t>(0x10000, 0xFFFF, 0xFFFF), 0xFFFFFFFFu);
  EXPECT_FALSE(CheckedMulAdd<std::uint32_t>(0x10000, 0xFFFF, 0x10000));
  EXPECT_EQ(ToSize(12), 12u);
}

}  // namespace
}  // namespace movarin::base
