// The RIFF/WAVE reader against files written byte by byte: every message the player
// shows, the chunk rules (descent, search inside the RIFF chunk, padding), the format
// record read past a short "fmt " chunk, and declared sizes that lie.
#include <gtest/gtest.h>

#include "sound/wave_file.h"
#include "tests/native/sound/wave_builder.h"

namespace movarin::sound {
namespace {

using namespace test;

struct ErrorCase {
  const char* name;
  std::string file;
  std::string message;
};

std::string MessageFor(const std::string& file) {
  const auto bytes = Bytes(file);
  const auto layout = ReadWaveLayout(bytes);
  if (!layout) return WaveErrorText(layout.error());
  const auto samples = WaveSamples(bytes, *layout);
  if (!samples) return WaveErrorText(samples.error());
  return "";
}

const std::string kFmt = Chunk("fmt ", PcmFormat(1, 8000, 16));

TEST(WaveFileTest, EveryBrokenFileGetsItsMessage) {
  const std::vector<ErrorCase> cases = {
      {"empty file", "", "Cannot descend"},
      {"shorter than a chunk header", std::string("RIFF\x10\0\0", 7), "Cannot descend"},
      {"RIFF without its form type", std::string("RIFF\x04\0\0\0", 8), "Cannot descend"},
      {"form type is not WAVE", Riff(kFmt + Chunk("data", "ab"), "AVI "), "Incorrect format"},
      {"lower-case riff", "riff" + Riff(kFmt).substr(4), "Incorrect format"},
      {"big-endian RIFX", "RIFX" + Riff(kFmt).substr(4), "Incorrect format"},
      {"a LIST chunk first", Chunk("LIST", "WAVE" + kFmt), "Incorrect format"},
      {"no fmt chunk", Riff(Chunk("data", "abcd")), "Could not find fmt chunk"},
      {"chunk ids are exact", Riff(Chunk("FMT ", PcmFormat(1, 8000, 16))), "Could not find fmt chunk"},
      {"fmt only inside a LIST", Riff(Chunk("LIST", "INFO" + kFmt) + Chunk("data", "ab")),
       "Could not find fmt chunk"},
      {"fmt after the RIFF chunk's declared end",
       Riff(Chunk("junk", "abcd"), "WAVE", 12) + kFmt + Chunk("data", "ab"), "Could not find fmt chunk"},
      {"RIFF declaring only its form type", Riff(kFmt + Chunk("data", "ab"), "WAVE", 4),
       "Could not find fmt chunk"},
      {"missing padding byte misleads the search",
       Riff(Chunk("junk", "abc", std::nullopt, false) + kFmt + Chunk("data", "ab")), "Could not find fmt chunk"},
      {"fmt of 14 bytes", Riff(Chunk("fmt ", PcmFormat(1, 8000, 16).substr(0, 14)) + Chunk("data", "ab")),
       "Not enough data, only 14, wanted 16"},
      {"fmt of 0 bytes", Riff(Chunk("fmt ", "") + Chunk("data", "ab")), "Not enough data, only 0, wanted 16"},
      {"fmt cut off by the end of the file", Riff(Chunk("fmt ", PcmFormat(1, 8000, 16)).substr(0, 8 + 14)),
       "Not enough data read"},
      {"no data chunk", Riff(kFmt + Chunk("LIST", "INFO")), "Could not descend into data"},
      {"data after the RIFF chunk's declared end", Riff(kFmt, "WAVE", 4 + 24) + Chunk("data", "ab"),
       "Could not descend into data"},
      {"data shorter than declared", Riff(kFmt + Chunk("data", "abcd", 1000)), "Could not read full buffer"},
      {"data cut off by the end of the file", PcmWave(std::string(100, 'x')).substr(0, 90),
       "Could not read full buffer"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(MessageFor(c.file), c.message) << c.name;
  // The seek back to the first sub-chunk cannot fail on a file (it lies inside the bytes
  // already read); its message is still the player's own.
  EXPECT_EQ(WaveErrorText({WaveError::kCouldNotSeek}), "Could not seek");
}

TEST(WaveFileTest, PcmFileWithSixteenByteFormat) {
  const std::string samples = "\x01\x02\x03\x04\x05\x06";
  const auto bytes = Bytes(PcmWave(samples, 2, 22050, 16));
  const auto layout = ReadWaveLayout(bytes);
  ASSERT_TRUE(layout.ok()) << WaveErrorText(layout.error());
  EXPECT_EQ(layout->format.format_tag, 1);
  EXPECT_EQ(layout->format.channels, 2);
  EXPECT_EQ(layout->format.samples_per_second, 22050u);
  EXPECT_EQ(layout->format.average_bytes_per_second, 88200u);
  EXPECT_EQ(layout->format.block_align, 4);
  EXPECT_EQ(layout->format.bits_per_sample, 16);
  EXPECT_EQ(layout->data_offset, 44u);
  const auto data = WaveSamples(bytes, *layout);
  ASSERT_TRUE(data.ok());
  EXPECT_EQ(std::string(data->begin(), data->end()), samples);
}

TEST(WaveFileTest, ChunkOrderAndPadding) {
  // Each file holds the samples "abc" (odd, padded) somewhere the reader must find them.
  const std::string data = Chunk("data", "abc");
  const std::vector<std::pair<const char*, std::string>> files = {
      // The format record is read as 20 bytes from the file: with "fmt " last and only
      // its 16 bytes left, 16 arrive and that is enough. The seek back to the first
      // sub-chunk then finds "data" before it.
      {"data before fmt, fmt at the very end of the file", Riff(data + kFmt)},
      {"padded odd chunks before both", Riff(Chunk("junk", "x") + Chunk("LIST", "INFOabcde") + kFmt + data)},
      {"an extended format record", Riff(Chunk("fmt ", PcmFormat(1, 8000, 16) + Le16(22) + std::string(22, '\0')) + data)},
      {"chunks after data", Riff(kFmt + data + Chunk("LIST", "INFO" + Chunk("INAM", "x")))},
      // A RIFF chunk whose size runs past the end of the file (a stream never finished).
      {"RIFF size larger than the file", Riff(kFmt + data, "WAVE", 0xFFFFFFF0u)},
      // The last odd chunk of a file without its padding byte still reads.
      {"unpadded odd data at the end", [&] {
         std::string file = Riff(kFmt + Chunk("data", "abc", std::nullopt, false));
         file.pop_back();  // the RIFF chunk's own padding byte
         return file;
       }()},
  };
  for (const auto& [name, file] : files) {
    const auto bytes = Bytes(file);
    const auto layout = ReadWaveLayout(bytes);
    ASSERT_TRUE(layout.ok()) << name << ": " << WaveErrorText(layout.error());
    EXPECT_EQ(layout->format.samples_per_second, 8000u) << name;
    const auto samples = WaveSamples(bytes, *layout);
    ASSERT_TRUE(samples.ok()) << name;
    EXPECT_EQ(std::string(samples->begin(), samples->end()), "abc") << name;
  }
}

TEST(WaveFileTest, HugeDeclaredSizesOnlyFailTheRead) {
  // Sizes near 4 GiB in a file of a few dozen bytes: skipping over them must not wrap
  // around, and the data is never copied or allocated by its declared size.
  EXPECT_EQ(MessageFor(Riff(Chunk("junk", "", 0xFFFFFFFFu) + kFmt + Chunk("data", "ab"))),
            "Could not find fmt chunk");
  EXPECT_EQ(MessageFor(Riff(Chunk("fmt ", PcmFormat(1, 8000, 16), 0xFFFFFFFFu) + Chunk("data", "ab"))),
            "Could not descend into data");
  EXPECT_EQ(MessageFor(Riff(kFmt + Chunk("data", "ab", 0xFFFFFFFFu), "WAVE", 0xFFFFFFFFu)),
            "Could not read full buffer");
  EXPECT_EQ(MessageFor(Riff(kFmt + Chunk("data", "ab", 0x7FFFFFFFu))), "Could not read full buffer");
}

}  // namespace
}  // namespace movarin::sound
