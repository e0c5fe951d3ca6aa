// Our DEFLATE decoder against the zlib library on the same data, and the decoding of a
// large PNG with each, measured in the same run. Prints the ratios at the end.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "imaging/inflate.h"
#include "imaging/png_parser.h"
#include "imaging/zlib_library.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace movarin::imaging;

constexpr std::uint32_t kSide = 2048;

// Photo-like RGBA rows: smooth gradients, soft noise, a few sharp edges.
Bytes PictureRows() {
  std::mt19937 rng(42);
  Bytes rows;
  rows.reserve(std::size_t(kSide) * (kSide * 4 + 1));
  for (std::uint32_t y = 0; y < kSide; ++y) {
    rows.push_back(0);
    for (std::uint32_t x = 0; x < kSide; ++x) {
      const double v = 128 + 100 * std::sin(x / 97.0) * std::cos(y / 131.0);
      const int noise = static_cast<int>(rng() % 9) - 4;
      const bool edge = ((x / 256) + (y / 256)) % 2 == 0;
      rows.push_back(static_cast<std::uint8_t>(std::clamp(int(v) + noise, 0, 255)));
      rows.push_back(static_cast<std::uint8_t>(edge ? 40 + noise + 4 : x * 255 / kSide));
      rows.push_back(static_cast<std::uint8_t>(y * 255 / kSide));
      rows.push_back(static_cast<std::uint8_t>(edge ? 255 : 128 + noise));
    }
  }
  return rows;
}

std::uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Applies the five row filters in turn, as encoders mix them.
Bytes Filtered(const Bytes& rows) {
  const std::size_t stride = kSide * 4 + 1;
  Bytes out(rows.size());
  for (std::uint32_t y = 0; y < kSide; ++y) {
    const std::uint8_t* row = rows.data() + y * stride + 1;
    const std::uint8_t* prev = y ? rows.data() + (y - 1) * stride + 1 : nullptr;
    std::uint8_t* dst = out.data() + y * stride;
    const int kind = static_cast<int>(y % 5);
    dst[0] = static_cast<std::uint8_t>(kind);
    for (std::size_t i = 0; i < stride - 1; ++i) {
      const int a = i >= 4 ? row[i - 4] : 0, b = prev ? prev[i] : 0, c = prev && i >= 4 ? prev[i - 4] : 0;
      const int pred = kind == 0 ? 0 : kind == 1 ? a : kind == 2 ? b : kind == 3 ? (a + b) / 2 : Paeth(a, b, c);
      dst[i + 1] = static_cast<std::uint8_t>(row[i] - pred);
    }
  }
  return out;
}

Bytes Compress(const Bytes& raw) {
  uLongf size = compressBound(raw.size());
  Bytes out(size);
  compress2(out.data(), &size, raw.data(), raw.size(), 6);
  out.resize(size);
  return out;
}

void PutChunk(Bytes& png, const char* type, const Bytes& data) {
  for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<std::uint8_t>(data.size() >> s));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  const auto crc = static_cast<std::uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start)));
  for (int s = 24; s >= 0; s -= 8) png.push_back(static_cast<std::uint8_t>(crc >> s));
}

struct Data {
  Bytes raw;         // filtered rows, as inflated
  Bytes compressed;  // zlib stream
  Bytes png;
  Data() {
    raw = Filtered(PictureRows());
    compressed = Compress(raw);
    png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    for (std::uint32_t v : {kSide, kSide}) {
      for (int s = 24; s >= 0; s -= 8) ihdr.push_back(static_cast<std::uint8_t>(v >> s));
    }
    for (std::uint8_t b : {8, 6, 0, 0, 0}) ihdr.push_back(b);
    PutChunk(png, "IHDR", ihdr);
    for (std::size_t i = 0; i < compressed.size(); i += 65536) {
      PutChunk(png, "IDAT", Bytes(compressed.begin() + i, compressed.begin() + std::min(compressed.size(), i + 65536)));
    }
    PutChunk(png, "IEND", {});
  }
};

const Data& TheData() {
  static const Data data;
  return data;
}

void BM_InflateOwn(benchmark::State& state) {
  const Data& d = TheData();
  for (auto _ : state) {
    const auto out = InflateZlibStream(d.compressed, d.raw.size());
    if (!out || *out != d.raw) state.SkipWithError("own inflate failed");
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(d.raw.size()));
}
BENCHMARK(BM_InflateOwn)->Unit(benchmark::kMillisecond);

void BM_InflateZlib(benchmark::State& state) {
  const Data& d = TheData();
  for (auto _ : state) {
    const auto out = ZlibLibraryInflate(d.compressed, d.raw.size());
    if (!out) state.SkipWithError("zlib failed");
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(d.raw.size()));
}
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond);

void DecodePng(benchmark::State& state, bool use_zlib) {
  const Data& d = TheData();
  for (auto _ : state) {
    const auto image = PngParser({.use_zlib_library = use_zlib}).Decode(d.png);
    if (!image) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(image);
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * kSide * kSide);
}
void BM_DecodePng2048WithZlib(benchmark::State& state) { DecodePng(state, true); }
void BM_DecodePng2048WithOwnInflate(benchmark::State& state) { DecodePng(state, false); }
BENCHMARK(BM_DecodePng2048WithZlib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng2048WithOwnInflate)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's CPU time per iteration (the median when repeated) for the ratios:
// the machine is shared, and CPU time is what both single-threaded decoders spend.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  std::map<std::string, std::vector<double>> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
        times[r.run_name.function_name].push_back(r.GetAdjustedCPUTime());
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) {
    auto v = times[name];
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TheData();  // build the data before timing
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double own = reporter.Median("BM_InflateOwn"), zlib = reporter.Median("BM_InflateZlib");
  const double png_zlib = reporter.Median("BM_DecodePng2048WithZlib");
  const double png_own = reporter.Median("BM_DecodePng2048WithOwnInflate");
  const double mb = TheData().raw.size() / 1e6;
  std::printf("\nCPU time per run.\ninflate %.1f MB (from %.1f MB): own %.2f ms, zlib %.2f ms; speed own/zlib = %.2f (goal >= 0.50)\n", mb,
              TheData().compressed.size() / 1e6, own, zlib, zlib / own);
  std::printf("PNG %ux%u RGBA decode: with zlib %.2f ms, with own inflate %.2f ms; zlib inflate alone %.2f ms;"
              " decode/inflate-alone = %.2f\n",
              kSide, kSide, png_zlib, png_own, zlib, png_zlib / zlib);
  benchmark::Shutdown();
  return 0;
}
