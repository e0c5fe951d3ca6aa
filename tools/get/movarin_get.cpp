// movarin-get <url> <destination path> [--stats]
// Runs the download engine over WinINet and prints each event on its own line as it is
// raised, then "result: True" or "result: False". With --stats two lines follow:
// "elapsed seconds: <time the download took>" and "peak working set: <bytes>", which the
// download benchmark reads.
#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "download/win32/inet_download.h"
#include "platform/win32/text.h"

namespace {

using movarin::download::DownloadListener;

// Carriage returns and line feeds inside a message are shown as \r and \n, so every
// event stays on one line.
std::string Visible(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void PrintLine(const std::string& line, bool flush) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  if (flush) std::fflush(stdout);
}

class PrintingListener final : public DownloadListener {
 public:
  // Each line names the event as the engine's users know it.
  void OnError(const std::string& e) override { PrintLine("DownloadErrors: " + Visible(e), true); }
  void OnStatus(const std::string& e) override { PrintLine("DownloadEvents: " + Visible(e), true); }
  void OnComplete() override { PrintLine("DowloadComplete", true); }
  // Progress comes after every 1 KiB: written straight into the output buffer, and
  // flushed with the next other event.
  void OnProgress(int percent) override { std::printf("DownloadProgress: %d\n", percent); }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // "\n" line ends, bytes as written
  // A 100 MB file raises some 100,000 progress events: collect their lines in a buffer
  // rather than writing each one to the output on its own.
  static char output_buffer[64 * 1024];
  std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);
  bool stats = false;
  std::string url, destination;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = movarin::win32::Narrow(argv[i]);
    if (arg == "--stats") {
      stats = true;
    } else if (positional == 0) {
      url = arg;
      ++positional;
    } else if (positional == 1) {
      destination = arg;
      ++positional;
    } else {
      positional = 3;
    }
  }
  if (positional != 2) {
    std::fputs("usage: movarin-get <url> <destination path> [--stats]\n", stderr);
    return 2;
  }

  PrintingListener listener;
  movarin::download::win32::InetDownload download;
  download.engine().SetListener(&listener);
  LARGE_INTEGER frequency{}, started{}, ended{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  const bool result = download.engine().Download(url, destination);
  QueryPerformanceCounter(&ended);
  PrintLine(result ? "result: True" : "result: False", true);
  if (stats) {
    const double seconds = static_cast<double>(ended.QuadPart - started.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    char elapsed[64];
    std::snprintf(elapsed, sizeof elapsed, "elapsed seconds: %.6f", seconds);
    PrintLine(elapsed, true);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
      PrintLine("peak working set: " + std::to_string(counters.PeakWorkingSetSize), true);
    }
  }
  return result ? 0 : 1;
}
