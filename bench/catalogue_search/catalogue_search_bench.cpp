// The search box's prefix query on a 100,000-row catalogue written by our writer, against
// a LIKE query on the same rows that the index cannot serve (so every row is read), in the
// same run. Prints the median times and their ratio at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet_writer.h"

namespace {

namespace fs = std::filesystem;
namespace cat = movarin::catalogue;

constexpr std::size_t kRows = 100000;
const cat::Connection* g_connection = nullptr;

std::vector<movarin::tools::catalog_writer::CatalogueEntry> Entries() {
  std::vector<movarin::tools::catalog_writer::CatalogueEntry> entries;
  entries.reserve(kRows);
  const char* heads[] = {"ms", "com", "act", "vb", "Sys", "lib", "DX", "ole"};
  for (std::size_t i = 0; i < kRows; ++i) {
    const std::size_t n = (i * 7919) % kRows;
    entries.push_back({std::string(heads[n % 8]) + std::to_string(n) + (n % 3 ? "ctl.ocx" : ".dll"),
                       std::to_string(n % 10) + ".0." + std::to_string(n % 1000) + ".1"});
  }
  return entries;
}

// What users type: short beginnings of names, some finding many rows, some few or none.
std::vector<std::string> TypedTexts() {
  std::vector<std::string> typed;
  const char* heads[] = {"ms", "COM", "act", "vb", "sys", "Lib", "dx", "ole", "zz"};
  for (int i = 0; i < 90; ++i) {
    std::string text = heads[i % 9];
    if (i % 3 == 1) text += std::to_string(i % 10);
    if (i % 3 == 2) text += std::to_string(100 + i);
    typed.push_back(text);
  }
  return typed;
}

// The same rows as the prefix query, through a pattern the index cannot use.
std::string ScanQuery(const std::string& typed) {
  return "SELECT * FROM Files WHERE Filename Like '[" + typed.substr(0, 1) + "]" + typed.substr(1) + "%'";
}

std::size_t RunQuery(const std::string& sql) {
  auto result = g_connection->Execute(sql);
  auto* rows = result.ok() ? &*result : nullptr;
  if (rows == nullptr) return static_cast<std::size_t>(-1);
  std::size_t bytes = 0;
  for (std::size_t r = 0; r < rows->RecordCount(); ++r) bytes += rows->Field(r, 0).size();
  return rows->RecordCount() + bytes;
}

void PrefixSearch(benchmark::State& state) {
  const auto typed = TypedTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RunQuery(cat::SearchQuery(typed[i++ % typed.size()])));
}

void FullLikeScan(benchmark::State& state) {
  const auto typed = TypedTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RunQuery(ScanQuery(typed[i++ % typed.size()])));
}

// Median of single query times, in milliseconds.
double MedianMs(const std::vector<std::string>& queries, int rounds) {
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    for (const auto& sql : queries) {
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(RunQuery(sql));
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bool quick = false;
  if (const char* q = std::getenv("MOVARIN_BENCH_QUICK")) quick = std::string(q) == "1";

  const fs::path folder = fs::temp_directory_path() / ("movarin-search-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string path = (folder / "database.mdb").string();
  const auto written = movarin::tools::catalog_writer::WriteCatalogueFile(path, Entries(), {});
  if (!written.ok()) {
    std::fprintf(stderr, "cannot write the catalogue: %s\n", written.error().Message().c_str());
    return 1;
  }
  auto opened = cat::Connection::Open(path, cat::kCataloguePassword);
  fs::remove_all(folder);
  auto* connection = opened.ok() ? &*opened : nullptr;
  if (connection == nullptr) {
    std::fprintf(stderr, "cannot open the catalogue: %s\n", opened.error().description.c_str());
    return 1;
  }
  g_connection = connection;

  // The index is built by the first prefix search; time that once, apart.
  const auto build_start = std::chrono::steady_clock::now();
  RunQuery(cat::SearchQuery("ms"));
  const double first_search_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - build_start).count();

  // Both queries must find the same rows, or the comparison means nothing.
  for (const auto& typed : TypedTexts()) {
    if (RunQuery(cat::SearchQuery(typed)) != RunQuery(ScanQuery(typed))) {
      std::fprintf(stderr, "prefix search and scan disagree for '%s'\n", typed.c_str());
      return 1;
    }
  }

  benchmark::RegisterBenchmark("PrefixSearch", PrefixSearch)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("FullLikeScan", FullLikeScan)->Unit(benchmark::kMicrosecond);
  benchmark::RunSpecifiedBenchmarks();

  std::vector<std::string> prefix_queries;
  std::vector<std::string> scan_queries;
  for (const auto& typed : TypedTexts()) {
    prefix_queries.push_back(cat::SearchQuery(typed));
    scan_queries.push_back(ScanQuery(typed));
  }
  const int rounds = quick ? 1 : 5;
  const double prefix_ms = MedianMs(prefix_queries, rounds);
  const double scan_ms = MedianMs(scan_queries, rounds);
  std::printf("catalogue_search: %zu rows (a real .mdb written by movarin's writer), first search "
              "with index build %.2f ms\n", kRows, first_search_ms);
  std::printf("catalogue_search: median prefix search %.4f ms (goal < 1 ms), median full LIKE "
              "scan %.4f ms, ratio prefix/scan = %.4f\n", prefix_ms, scan_ms, prefix_ms / scan_ms);
  return 0;
}
