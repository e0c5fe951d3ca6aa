// Opening a 100,000-row catalogue and listing all of it (the whole-catalogue query, every
// field read), against mdbtools' mdb-export printing the same table, in the same run.
// Prints the ratio ours / mdb-export at the end.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet_writer.h"

namespace {

namespace fs = std::filesystem;
namespace cat = movarin::catalogue;

constexpr std::size_t kRows = 100000;
std::string g_catalogue;  // the file every benchmark reads
std::string g_tool;       // movarin-catalog, when given

std::vector<movarin::tools::catalog_writer::CatalogueEntry> Entries() {
  std::vector<movarin::tools::catalog_writer::CatalogueEntry> entries;
  entries.reserve(kRows);
  for (std::size_t i = 0; i < kRows; ++i) {
    // Names in an order that is not sorted, so the ORDER BY has work to do.
    const std::size_t n = (i * 7919) % kRows;
    entries.push_back({"lib" + std::to_string(n) + (n % 3 ? "ctl.ocx" : ".dll"),
                       std::to_string(n % 10) + ".0." + std::to_string(n % 1000) + ".1"});
  }
  return entries;
}

void OursOpenAndList(benchmark::State& state) {
  for (auto _ : state) {
    auto opened = cat::Connection::Open(g_catalogue, cat::kCataloguePassword);
    auto* connection = opened.ok() ? &*opened : nullptr;
    if (connection == nullptr) return state.SkipWithError("cannot open the catalogue");
    auto result = connection->Execute(cat::kWholeCatalogueQuery);
    auto* rows = result.ok() ? &*result : nullptr;
    if (rows == nullptr) return state.SkipWithError("the query failed");
    std::size_t bytes = 0;
    for (std::size_t r = 0; r < rows->RecordCount(); ++r) {
      for (std::size_t c = 0; c < rows->FieldCount(); ++c) bytes += rows->Field(r, c).size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}

// Runs a command with its output thrown away; false when it failed.
bool RunQuietly(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void MdbExport(benchmark::State& state) {
  for (auto _ : state) {
    if (!RunQuietly("mdb-export '" + g_catalogue + "' Files")) {
      return state.SkipWithError("mdb-export failed (is mdbtools installed?)");
    }
  }
}

// The same work as a whole program, to compare like with like: process start included.
void OurToolList(benchmark::State& state) {
  for (auto _ : state) {
    if (!RunQuietly("'" + g_tool + "' list '" + g_catalogue + "'")) {
      return state.SkipWithError("movarin-catalog list failed");
    }
  }
}

class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  RecordingReporter() : ConsoleReporter(OO_None) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    // The median of the repetitions when there are several, else the one run.
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        seconds[name] = run.GetAdjustedRealTime();
        has_median.insert(name);
      } else if (run.run_type == Run::RT_Iteration && !has_median.count(name)) {
        seconds[name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;  // in the reporter's time unit
  std::set<std::string> has_median;
};

}  // namespace

// catalogue_open_bench [--tool <movarin-catalog>] [benchmark options]
int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (std::string(args[i]) == "--tool") {
      g_tool = args[i + 1];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      break;
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());

  const fs::path folder = fs::temp_directory_path() / ("movarin-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  g_catalogue = (folder / "database.mdb").string();
  const auto written = movarin::tools::catalog_writer::WriteCatalogueFile(g_catalogue, Entries(), {});
  if (!written.ok()) {
    std::fprintf(stderr, "cannot write the catalogue: %s\n", written.error().Message().c_str());
    return 1;
  }

  benchmark::RegisterBenchmark("OursOpenAndList", OursOpenAndList)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("MdbExport", MdbExport)->Unit(benchmark::kMillisecond);
  if (!g_tool.empty()) {
    benchmark::RegisterBenchmark("OurToolList", OurToolList)->Unit(benchmark::kMillisecond);
  }
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  fs::remove_all(folder);

  const auto& s = reporter.seconds;
  if (!s.count("OursOpenAndList") || !s.count("MdbExport")) {
    std::printf("catalogue_open: no ratio (a benchmark did not run)\n");
    return 1;
  }
  std::printf("catalogue_open: %zu rows, open+list %.2f ms (median), mdb-export %.2f ms, "
              "ratio ours/mdb-export = %.3f (goal <= 0.5)\n",
              kRows, s.at("OursOpenAndList"), s.at("MdbExport"),
              s.at("OursOpenAndList") / s.at("MdbExport"));
  if (s.count("OurToolList")) {
    std::printf("catalogue_open: as programs, movarin-catalog list %.2f ms, "
                "ratio = %.3f\n", s.at("OurToolList"), s.at("OurToolList") / s.at("MdbExport"));
  }
  return 0;
}
