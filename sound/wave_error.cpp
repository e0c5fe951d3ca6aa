#include "sound/wave_error.h"

#include <array>
#include <string_view>
#include <utility>

#include "sound/wave_file.h"

namespace movarin::sound {
namespace {

constexpr std::array<std::pair<WaveError, std::string_view>, 9> kTexts{{
    {WaveError::kCannotOpenFile, "Cannot open file"},
    {WaveError::kCannotDescend, "Cannot descend"},
    {WaveError::kIncorrectFormat, "Incorrect format"},
    {WaveError::kNoFmtChunk, "Could not find fmt chunk"},
    {WaveError::kFmtChunkTooSmall, "Not enough data, only "},
    {WaveError::kNotEnoughDataRead, "Not enough data read"},
    {WaveError::kCouldNotSeek, "Could not seek"},
    {WaveError::kNoDataChunk, "Could not descend into data"},
    {WaveError::kDataChunkShort, "Could not read full buffer"},
}};

}  // namespace

std::string WaveErrorText(const WaveReadError& error) {
  std::string text;
  for (const auto& [code, message] : kTexts) {
    if (code == error.code) text = message;
  }
  if (error.code == WaveError::kFmtChunkTooSmall) {
    text += std::to_string(error.fmt_chunk_size) + ", wanted " + std::to_string(kMinFormatBytes);
  }
  return text;
}

}  // namespace movarin::sound
