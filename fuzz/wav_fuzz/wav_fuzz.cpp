// RIFF/WAVE reading of hostile data: the layout, then the samples it points at; every
// byte of the samples is touched so that a view outside the input is found at once.
#include <cstddef>
#include <cstdint>
#include <span>

#include "sound/wave_file.h"

using namespace movarin::sound;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const auto layout = ReadWaveLayout(file);
  if (!layout) {
    (void)WaveErrorText(layout.error());
    return 0;
  }
  const auto samples = WaveSamples(file, *layout);
  if (!samples) return 0;
  unsigned sum = 0;
  for (std::uint8_t b : *samples) sum += b;
  volatile unsigned sink = sum;
  (void)sink;
  return 0;
}
