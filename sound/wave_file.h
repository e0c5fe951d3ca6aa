#pragma once
// Reading a RIFF/WAVE sound file by the rules of the platform's multimedia file calls:
// descend into the first chunk, check "RIFF"/"WAVE", search the "fmt " chunk inside it,
// check its size and read the format record, seek back to the first sub-chunk, search
// the "data" chunk and read it whole.
//
// Every byte is outside data: sizes are checked against the bytes that are really
// there before anything is used or allocated, so a declared size of 4 GiB in a short
// file only makes the read fail.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/result.h"
#include "sound/wave_error.h"

namespace movarin::sound {

using FourCC = std::uint32_t;

// A four-character code as the file stores it (first character in the lowest byte).
// Shorter names are padded with blanks, so "fmt" is the chunk id "fmt ".
constexpr FourCC MakeFourCC(const char (&name)[5]) {
  return static_cast<FourCC>(static_cast<std::uint8_t>(name[0])) |
         static_cast<FourCC>(static_cast<std::uint8_t>(name[1])) << 8 |
         static_cast<FourCC>(static_cast<std::uint8_t>(name[2])) << 16 |
         static_cast<FourCC>(static_cast<std::uint8_t>(name[3])) << 24;
}

inline constexpr FourCC kRiffId = MakeFourCC("RIFF");
inline constexpr FourCC kListId = MakeFourCC("LIST");
inline constexpr FourCC kWaveFormType = MakeFourCC("WAVE");
inline constexpr FourCC kFmtId = MakeFourCC("fmt ");
inline constexpr FourCC kDataId = MakeFourCC("data");

// A chunk header: id and size, 4 bytes each; RIFF and LIST chunks carry a form type in
// the first 4 bytes of their data. Chunk data is padded to an even length.
inline constexpr std::uint64_t kChunkHeaderBytes = 8;
inline constexpr std::uint64_t kFormTypeBytes = 4;
// The "fmt " chunk must declare at least the 16 bytes of the PCM format record.
inline constexpr std::uint32_t kMinFormatBytes = 16;
// The format record is read as 20 bytes (its 18 bytes and the record's alignment), from
// the start of the "fmt " chunk's data, even where the chunk is shorter.
inline constexpr std::uint64_t kFormatRecordReadBytes = 20;

// The format record the wave-out device is opened with. The extra-size field that
// follows it in the file is not carried over: the player holds no extra format bytes.
struct WaveFormat {
  std::uint16_t format_tag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samples_per_second = 0;
  std::uint32_t average_bytes_per_second = 0;
  std::uint16_t block_align = 0;
  std::uint16_t bits_per_sample = 0;
};

// Where the sound is inside the file.
struct WaveLayout {
  WaveFormat format;
  std::uint64_t data_offset = 0;      // first byte of the "data" chunk's data
  std::uint32_t declared_data_size = 0;
};

// The reading steps up to the "data" chunk.
base::Result<WaveLayout, WaveReadError> ReadWaveLayout(std::span<const std::uint8_t> file);

// The whole "data" chunk, as a view into `file`; kDataChunkShort when the file ends
// before the declared size.
base::Result<std::span<const std::uint8_t>, WaveReadError> WaveSamples(
    std::span<const std::uint8_t> file, const WaveLayout& layout);

}  // namespace movarin::sound
