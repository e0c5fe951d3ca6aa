// The two cues the build synthesises (written by Python's wave module, an independent
// writer) read by our reader: short 16-bit PCM, audible, unclipped, and starting and
// ending in silence so they never click.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/files.h"
#include "sound/wave_file.h"

namespace movarin::sound {
namespace {

std::vector<double> Samples16(std::span<const std::uint8_t> data) {
  std::vector<double> out;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2)
    out.push_back(static_cast<std::int16_t>(data[i] | data[i + 1] << 8) / 32768.0);
  return out;
}

double Rms(const std::vector<double>& v, std::size_t from, std::size_t count) {
  double sum = 0;
  for (std::size_t i = from; i < from + count; ++i) sum += v[i] * v[i];
  return std::sqrt(sum / static_cast<double>(count));
}

TEST(CuesTest, FoundAndNotFoundAreShortCleanPcm) {
  std::vector<std::vector<double>> cues;
  for (const char* name : {"Found.wav", "Notfound.wav"}) {
    SCOPED_TRACE(name);
    const auto file = base::ReadWholeFile(std::string(MOVARIN_SOUNDS_DIR) + "/" + name, 1 << 20);
    ASSERT_TRUE(file.ok());
    const auto layout = ReadWaveLayout(*file);
    ASSERT_TRUE(layout.ok()) << WaveErrorText(layout.error());
    EXPECT_EQ(layout->format.format_tag, 1);
    EXPECT_EQ(layout->format.channels, 1);
    EXPECT_EQ(layout->format.bits_per_sample, 16);
    const double rate = layout->format.samples_per_second;
    EXPECT_EQ(layout->format.average_bytes_per_second, rate * 2);
    const auto data = WaveSamples(*file, *layout);
    ASSERT_TRUE(data.ok());
    const std::vector<double> s = Samples16(*data);
    const double seconds = static_cast<double>(s.size()) / rate;
    EXPECT_GT(seconds, 0.3);
    EXPECT_LT(seconds, 1.0);
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::abs(v));
    EXPECT_GT(peak, 0.3) << "audible";
    EXPECT_LT(peak, 0.9) << "headroom, no clipping";
    const auto ms10 = static_cast<std::size_t>(rate / 100);
    EXPECT_LT(std::abs(s.front()), 0.01) << "starts at silence";
    EXPECT_LT(Rms(s, s.size() - ms10, ms10), 0.005) << "ends in silence";
    EXPECT_GT(Rms(s, ms10, ms10 * 10), 0.05) << "the sound begins at once";
    cues.push_back(s);
  }
  EXPECT_NE(cues[0], cues[1]);
}

}  // namespace
}  // namespace movarin::sound
