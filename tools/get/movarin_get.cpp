// movarin-get <url> <destination path> [--stats]
// Runs the download engine over WinINet and prints each event on its own line as it is
// raised, then "result: True" or "result: False". With --stats two lines follow:
// "elapsed seconds: <time the download took>" and "peak working set: <bytes>", which the
// download benchmark reads.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "download/win32/inet_download.h"
#include "platform/win32/message_pump.h"
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

// The lines go out through one buffer of our own: the C runtime's printf costs several
// microseconds a call under Wine, and a 100 MB file raises some 100,000 progress events,
// so printing each one would weigh on the download time this tool measures. Progress
// lines wait in the buffer; every other line is written at once, with those before it.
// The buffer goes straight to the output handle: the C runtime's unbuffered standard
// output writes what does not fill a whole block one byte per system call.
class Output {
 public:
  void Line(std::string_view line, bool flush) {
    text_ += line;
    text_ += '\n';
    if (flush || text_.size() >= kFlushBytes) Flush();
  }
  void Flush() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    std::size_t done = 0;
    while (done < text_.size()) {
      DWORD written = 0;
      const DWORD part = static_cast<DWORD>(std::min<std::size_t>(text_.size() - done, kFlushBytes));
      if (!WriteFile(out, text_.data() + done, part, &written, nullptr) || written == 0) break;
      done += written;
    }
    text_.clear();
  }

 private:
  static constexpr std::size_t kFlushBytes = 64 * 1024;
  std::string text_;
};

class PrintingListener final : public DownloadListener {
 public:
  explicit PrintingListener(Output& out) : out_(out) {}
  // Each line names the event as the engine's users know it.
  void OnError(const std::string& e) override { out_.Line("DownloadErrors: " + Visible(e), true); }
  void OnStatus(const std::string& e) override { out_.Line("DownloadEvents: " + Visible(e), true); }
  void OnComplete() override { out_.Line("DowloadComplete", true); }
  void OnProgress(int percent) override {
    char line[32] = "DownloadProgress: ";
    constexpr std::size_t kPrefix = sizeof "DownloadProgress: " - 1;
    const auto end = std::to_chars(line + kPrefix, line + sizeof line, percent).ptr;
    out_.Line(std::string_view(line, static_cast<std::size_t>(end - line)), false);
  }

 private:
  Output& out_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
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

  Output out;
  PrintingListener listener(out);
  movarin::download::win32::InetDownload download;
  download.engine().SetListener(&listener);
  // The engine processes window messages while it works. The first look at the message
  // queue sets up the window system for this process (under Wine that includes connecting
  // to the display), a start-up cost a program with windows has paid long before it
  // downloads anything: it is paid here, before the clock starts.
  movarin::win32::ProcessPendingMessages();
  LARGE_INTEGER frequency{}, started{}, ended{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  const bool result = download.engine().Download(url, destination);
  QueryPerformanceCounter(&ended);
  out.Line(result ? "result: True" : "result: False", true);
  if (stats) {
    const double seconds = static_cast<double>(ended.QuadPart - started.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    char elapsed[64];
    std::snprintf(elapsed, sizeof elapsed, "elapsed seconds: %.6f", seconds);
    out.Line(elapsed, true);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
      out.Line("peak working set: " + std::to_string(counters.PeakWorkingSetSize), true);
    }
  }
  return result ? 0 : 1;
}
