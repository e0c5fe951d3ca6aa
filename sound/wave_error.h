#pragma once
// Why a sound file could not be loaded: one value per message the player shows, each
// with its text. The texts are the ones the user sees in the plain message box.
#include <cstdint>
#include <string>

namespace movarin::sound {

enum class WaveError {
  kCannotOpenFile,        // the file cannot be opened (or is larger than the player holds)
  kCannotDescend,         // no first chunk can be entered
  kIncorrectFormat,       // the first chunk is not "RIFF" with the form type "WAVE"
  kNoFmtChunk,            // no "fmt " chunk inside the RIFF chunk
  kFmtChunkTooSmall,      // the "fmt " chunk declares fewer than 16 bytes
  kNotEnoughDataRead,     // fewer than 16 bytes of the format record are in the file
  kCouldNotSeek,          // the seek back to the first sub-chunk failed
  kNoDataChunk,           // no "data" chunk inside the RIFF chunk
  kDataChunkShort,        // the "data" chunk holds fewer bytes than it declares
};

struct WaveReadError {
  WaveError code = WaveError::kCannotOpenFile;
  // The declared size of the "fmt " chunk; part of the kFmtChunkTooSmall message.
  std::uint32_t fmt_chunk_size = 0;
};

// The message box text, e.g. "Not enough data, only 14, wanted 16".
std::string WaveErrorText(const WaveReadError& error);

}  // namespace movarin::sound
