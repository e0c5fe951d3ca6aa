// Listing a 100,000-row catalogue (the whole-catalogue query, every field read), three ways
// in the same run: `movarin-catalog list` as a whole program, the same open + list inside
// this process, and mdbtools' mdb-export printing the same table (the reference). The three
// are run in turns, round after round, so that a busy machine slows them alike; the medians
// of wall time and of CPU time (user + system) give the ratios against mdb-export.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet_writer.h"

namespace {

namespace fs = std::filesystem;
namespace cat = movarin::catalogue;

constexpr std::size_t kRows = 100000;

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

struct Timing {
  double wall_ms = 0;
  double cpu_ms = 0;
};

double Milliseconds(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Runs a program with its output thrown away; its wall time and the CPU time it used, or
// nothing when it failed.
std::optional<Timing> RunProgram(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const auto& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // posix_spawn rather than fork: a forked copy would make every page of this process
  // copy-on-write, and the in-process runs would pay for that.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto started = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return std::nullopt;
  const auto ended = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return Timing{std::chrono::duration<double, std::milli>(ended - started).count(),
                Milliseconds(usage.ru_utime) + Milliseconds(usage.ru_stime)};
}

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Opens the catalogue and reads every field of the whole-catalogue query, as the tool does.
std::optional<Timing> OpenAndList(const std::string& catalogue) {
  const auto started = std::chrono::steady_clock::now();
  const double cpu_started = ProcessCpuMs();
  auto opened = cat::Connection::Open(catalogue, cat::kCataloguePassword);
  if (!opened) return std::nullopt;
  auto rows = opened->Execute(cat::kWholeCatalogueQuery);
  if (!rows) return std::nullopt;
  std::size_t bytes = 0;
  for (std::size_t r = 0; r < rows->RecordCount(); ++r) {
    for (std::size_t c = 0; c < rows->FieldCount(); ++c) bytes += rows->Field(r, c).size();
  }
  if (bytes == 0) return std::nullopt;
  const double cpu = ProcessCpuMs() - cpu_started;
  const auto ended = std::chrono::steady_clock::now();
  return Timing{std::chrono::duration<double, std::milli>(ended - started).count(), cpu};
}

struct Series {
  const char* name;
  std::function<std::optional<Timing>()> run;
  std::vector<double> wall;
  std::vector<double> cpu;
  bool failed = false;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

// catalogue_open_bench --tool <movarin-catalog> [--rounds <n>] [--other-tool <movarin-catalog>]
// --other-tool adds another build of the tool (an older one, say) to the same rounds.
int main(int argc, char** argv) {
  std::string tool;
  std::string other_tool;
  int rounds = 15;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--tool") == 0) tool = argv[i + 1];
    if (std::strcmp(argv[i], "--other-tool") == 0) other_tool = argv[i + 1];
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));
  }
  if (tool.empty()) {
    std::fputs("usage: catalogue_open_bench --tool <movarin-catalog> [--rounds <n>] [--other-tool <movarin-catalog>]\n", stderr);
    return 2;
  }

  const fs::path folder = fs::temp_directory_path() / ("movarin-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string catalogue = (folder / "database.mdb").string();
  const auto written = movarin::tools::catalog_writer::WriteCatalogueFile(catalogue, Entries(), {});
  if (!written.ok()) {
    std::fprintf(stderr, "cannot write the catalogue: %s\n", written.error().Message().c_str());
    return 1;
  }

  std::vector<Series> series;
  series.push_back({"movarin-catalog list", [&] { return RunProgram({tool, "list", catalogue}); }, {}, {}});
  series.push_back({"open+list in-process", [&] { return OpenAndList(catalogue); }, {}, {}});
  series.push_back({"mdb-export", [&] { return RunProgram({"mdb-export", catalogue, "Files"}); }, {}, {}});
  if (!other_tool.empty()) {
    series.push_back({"other movarin-catalog", [&] { return RunProgram({other_tool, "list", catalogue}); }, {}, {}});
  }

  // One round unmeasured warms the page cache and the allocator for all three alike; then
  // each round runs the three in turn, starting with a different one each time.
  for (int round = -1; round < rounds; ++round) {
    for (std::size_t k = 0; k < series.size(); ++k) {
      Series& s = series[(k + static_cast<std::size_t>(round + 1)) % series.size()];
      if (s.failed) continue;
      const auto timing = s.run();
      if (!timing) {
        s.failed = true;
        continue;
      }
      if (round < 0) continue;
      s.wall.push_back(timing->wall_ms);
      s.cpu.push_back(timing->cpu_ms);
    }
  }
  fs::remove_all(folder);

  for (const Series& s : series) {
    if (s.failed || s.wall.empty()) {
      std::printf("catalogue_open: %s failed; no ratio%s\n", s.name,
                  s.name == std::string("mdb-export") ? " (is mdbtools installed?)" : "");
      return 1;
    }
  }
  const Series& tool_list = series[0];
  const Series& in_process = series[1];
  const Series& reference = series[2];
  std::printf("catalogue_open: %zu rows, medians of %d interleaved rounds (wall / CPU):\n", kRows, rounds);
  for (const Series& s : series) {
    std::printf("catalogue_open:   %-22s %8.2f ms / %8.2f ms\n", s.name, Median(s.wall), Median(s.cpu));
  }
  const double reference_wall = Median(reference.wall);
  const double reference_cpu = Median(reference.cpu);
  std::printf("catalogue_open: whole-program ratio movarin-catalog list / mdb-export = %.3f "
              "(CPU %.3f) (goal <= 0.5)\n",
              Median(tool_list.wall) / reference_wall, Median(tool_list.cpu) / reference_cpu);
  if (series.size() > 3) {
    std::printf("catalogue_open: other tool's ratio / mdb-export = %.3f (CPU %.3f)\n",
                Median(series[3].wall) / reference_wall, Median(series[3].cpu) / reference_cpu);
  }
  std::printf("catalogue_open: in-process ratio open+list / mdb-export = %.3f (CPU %.3f) "
              "(keep <= 0.3)\n",
              Median(in_process.wall) / reference_wall, Median(in_process.cpu) / reference_cpu);
  return 0;
}
