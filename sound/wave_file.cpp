#include "sound/wave_file.h"

#include <optional>

#include "base/byte_reader.h"

namespace movarin::sound {
namespace {

struct Chunk {
  FourCC id = 0;
  std::uint32_t size = 0;
  FourCC form_type = 0;           // RIFF and LIST chunks only
  std::uint64_t data_offset = 0;  // just after the id and size
};

bool HasFormType(FourCC id) { return id == kRiffId || id == kListId; }

// Descends into a chunk from the reader's position, as the multimedia file call does.
// Without `wanted` the chunk at the position is entered; with it, chunks are skipped
// (data padded to an even length) until one with that id is found. With a parent, the
// search starts inside the parent's data and ends at the parent's end. On success the
// position is the chunk's data (after the form type of a RIFF or LIST chunk).
std::optional<Chunk> Descend(base::ByteReader& reader, const Chunk* parent,
                             std::optional<FourCC> wanted) {
  std::uint64_t position = reader.position();
  std::uint64_t parent_end = UINT64_MAX;
  if (parent) {
    parent_end = parent->data_offset + parent->size;
    if (position < parent->data_offset || position >= parent_end) return std::nullopt;
  }
  for (;;) {
    if (position + kChunkHeaderBytes > parent_end) return std::nullopt;
    const auto id = reader.U32(position);
    const auto size = reader.U32(position + 4);
    if (!id || !size) return std::nullopt;
    Chunk chunk{*id, *size, 0, position + kChunkHeaderBytes};
    if (!wanted || *wanted == chunk.id) {
      std::uint64_t data = chunk.data_offset;
      if (HasFormType(chunk.id)) {
        const auto form_type = reader.U32(chunk.data_offset);
        if (!form_type) return std::nullopt;
        chunk.form_type = *form_type;
        data += kFormTypeBytes;
      }
      if (!reader.Seek(data)) return std::nullopt;
      return chunk;
    }
    // Sizes are 32-bit, positions 64-bit: the sum cannot wrap.
    position = chunk.data_offset + chunk.size + (chunk.size & 1u);
  }
}

}  // namespace

base::Result<WaveLayout, WaveReadError> ReadWaveLayout(std::span<const std::uint8_t> file) {
  base::ByteReader reader(file);

  const auto riff = Descend(reader, nullptr, std::nullopt);
  if (!riff) return WaveReadError{WaveError::kCannotDescend};
  if (riff->id != kRiffId || riff->form_type != kWaveFormType)
    return WaveReadError{WaveError::kIncorrectFormat};

  const auto fmt = Descend(reader, &*riff, kFmtId);
  if (!fmt) return WaveReadError{WaveError::kNoFmtChunk};
  if (fmt->size < kMinFormatBytes) return WaveReadError{WaveError::kFmtChunkTooSmall, fmt->size};

  // The record is read from the file, not from the chunk: a 16-byte chunk gives its 16
  // bytes and whatever follows it.
  const std::uint64_t available = reader.remaining();
  const std::uint64_t got = available < kFormatRecordReadBytes ? available : kFormatRecordReadBytes;
  if (got < kMinFormatBytes) return WaveReadError{WaveError::kNotEnoughDataRead};
  WaveLayout layout;
  layout.format.format_tag = reader.ReadU16();
  layout.format.channels = reader.ReadU16();
  layout.format.samples_per_second = reader.ReadU32();
  layout.format.average_bytes_per_second = reader.ReadU32();
  layout.format.block_align = reader.ReadU16();
  layout.format.bits_per_sample = reader.ReadU16();

  // Back to the first sub-chunk after the form type: "data" may come before "fmt ".
  if (!reader.Seek(riff->data_offset + kFormTypeBytes)) return WaveReadError{WaveError::kCouldNotSeek};

  const auto data = Descend(reader, &*riff, kDataId);
  if (!data) return WaveReadError{WaveError::kNoDataChunk};
  layout.data_offset = data->data_offset;
  layout.declared_data_size = data->size;
  return layout;
}

base::Result<std::span<const std::uint8_t>, WaveReadError> WaveSamples(
    std::span<const std::uint8_t> file, const WaveLayout& layout) {
  const auto samples = base::ByteReader(file).Bytes(layout.data_offset, layout.declared_data_size);
  if (!samples) return WaveReadError{WaveError::kDataChunkShort};
  return *samples;
}

}  // namespace movarin::sound
