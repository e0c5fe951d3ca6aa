// The download engine with its WinINet transfer and the real disk, against the test
// HTTP server and its bad behaviours.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "download/download_messages.h"
#include "download/win32/inet_download.h"
#include "download/win32/inet_transfer.h"
#include "platform/win32/message_pump.h"
#include "platform/win32/text.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/test_server.h"
#include "tests/native/download/fake_download_parts.h"

namespace movarin::download {
namespace {

using movarin::test::ControlServer;
using movarin::test::FileExists;
using movarin::test::FolderEntries;
using movarin::test::ReadWholeFile;
using movarin::test::ResetServer;
using movarin::test::TempFolder;
using movarin::test::UrlEncode;
using movarin::test::WriteWholeFile;
using Lines = std::vector<std::string>;

const std::string kStart = "Events: Getting file information";
const std::string kReset = "Errors: The connection with the server was reset.";

using testing::RecordingListener;

std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<char>(x >> 16);
  }
  return bytes;
}

// The engine under test, reached by timer procedures (which carry no context).
DownloadEngine* g_engine = nullptr;
int g_timer_ticks = 0;
void CALLBACK CancelOnTimer(HWND, UINT, UINT_PTR, DWORD) {
  ++g_timer_ticks;
  if (g_engine) g_engine->Cancel();
}
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_timer_ticks; }

class EngineAgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server = test::TestServerUrl().value_or("");
    ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
    ASSERT_TRUE(ResetServer());
    ASSERT_FALSE(folder.path().empty());
    const auto root = test::TestServerRoot();
    ASSERT_TRUE(root) << "MOVARIN_TEST_SERVER_ROOT is not set";
    served = *root + "\\files\\";
    download.engine().SetListener(&listener);
    g_engine = &download.engine();
    g_timer_ticks = 0;
  }
  void TearDown() override {
    g_engine = nullptr;
    ResetServer();
  }
  // Puts a file of `size` bytes on the server; returns its content.
  std::string Serve(const std::string& name, std::size_t size, unsigned seed = 1) {
    std::string bytes = Pattern(size, seed);
    EXPECT_TRUE(WriteWholeFile(served + name, bytes));
    return bytes;
  }
  void Behave(const std::string& name, const std::string& settings) {
    ASSERT_TRUE(ControlServer("set?path=/files/" + name + "&" + settings)) << settings;
  }
  bool Get(const std::string& name, const std::string& dest) {
    listener.lines.clear();
    return download.engine().Download(server + "files/" + name, dest);
  }

  std::string server;
  std::string served;
  TempFolder folder{"movarin-dl"};
  RecordingListener listener;
  win32::InetDownload download;
};

TEST_F(EngineAgainstServer, EveryStatusHasItsMessageAndLeavesTheOldFile) {
  Serve("a.ocx", 100);
  const std::string dest = folder / "a.ocx";
  ASSERT_TRUE(WriteWholeFile(dest, "older"));
  struct Case {
    std::string status;
    std::string error;
  };
  const Case cases[] = {
      {"204 No Content", "Nothing to download!"},
      {"401 Unauthorized", "Authorization failed!"},
      {"404 File Not Found", messages::NotFound(server + "files/a.ocx")},
      {"500 Internal Server Error",
       "The server returned the following response:\r\rHTTP/1.1 500 Internal Server Error\r"},
      {"403 Forbidden", "The server returned the following response:\r\rHTTP/1.1 403 Forbidden\r"},
      {"302 Found", "The server returned the following response:\r\rHTTP/1.1 302 Found\r"},
  };
  for (const auto& c : cases) {
    Behave("a.ocx", "mode=status&status=" + UrlEncode(c.status));
    EXPECT_FALSE(Get("a.ocx", dest));
    EXPECT_EQ(listener.lines, (Lines{kStart, "Errors: " + c.error})) << c.status;
  }
  // A file the server does not have.
  EXPECT_FALSE(Get("missing.ocx", folder / "missing.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: " + messages::NotFound(server + "files/missing.ocx")}));
  EXPECT_TRUE(ReadWholeFile(dest) == std::string("older"));
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"a.ocx"}));
}

TEST_F(EngineAgainstServer, ThreeThousandBytesReplaceALongerFileExactly) {
  const std::string body = Serve("ACTSKIN4.OCX", 3000);
  const std::string dest = folder / "ACTSKIN4.OCX";
  ASSERT_TRUE(WriteWholeFile(dest, Pattern(5000, 9)));
  EXPECT_TRUE(Get("ACTSKIN4.OCX", dest));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 34", "Progress: 68", "Progress: 100",
                                   "Progress: 100", "Complete"}));
  EXPECT_TRUE(ReadWholeFile(dest) == std::string(body));
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"ACTSKIN4.OCX"}));
  const std::string log = test::ServerLog();
  EXPECT_NE(log.find("GET /files/ACTSKIN4.OCX HTTP/1.1\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Range: bytes=0-\r\n"), std::string::npos) << log;
}

TEST_F(EngineAgainstServer, ThousandAndTwentyFiveBytesEndOnTheOneByteChunk) {
  const std::string body = Serve("b.dll", 1025);
  EXPECT_TRUE(Get("b.dll", folder / "b.dll"));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 100", "Progress: 100", "Complete"}));
  EXPECT_TRUE(ReadWholeFile(folder / "b.dll") == std::string(body));
}

// The percentage of a progress event, worked out in whole numbers: halves go to the even
// neighbour.
int ExpectedPercent(std::uint64_t received, std::uint64_t announced) {
  const std::uint64_t scaled = received * 100;
  std::uint64_t percent = scaled / announced;
  const std::uint64_t twice_rest = 2 * (scaled % announced);
  if (twice_rest > announced || (twice_rest == announced && percent % 2 == 1)) ++percent;
  return static_cast<int>(percent);
}

TEST_F(EngineAgainstServer, ABodyOfSeveralBuffersArrivesWholeWithOneProgressEventPerChunk) {
  // Over three times the transfer's buffer, and not a whole number of chunks.
  const std::size_t size = 3 * win32::InetTransfer::kBufferBytes + 1000;
  const std::string body = Serve("big.ocx", size);
  const std::string dest = folder / "big.ocx";
  ASSERT_TRUE(WriteWholeFile(dest, "older"));
  EXPECT_TRUE(Get("big.ocx", dest));
  Lines expected{kStart};
  for (std::uint64_t received = 0; received < size;) {
    received += std::min<std::uint64_t>(DownloadEngine::kChunkBytes, size - received);
    expected.push_back("Progress: " + std::to_string(ExpectedPercent(received, size)));
  }
  expected.push_back("Progress: 100");  // the empty read that ends the body
  expected.push_back("Complete");
  EXPECT_EQ(listener.lines, expected);
  EXPECT_TRUE(ReadWholeFile(dest) == body);
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"big.ocx"}));
}

TEST_F(EngineAgainstServer, ChunksOfAnySizeComeInOrderAcrossTheEndOfTheTransfersBuffer) {
  // Chunk sizes that do not divide the buffer: some chunks lie across its end.
  const std::string body = Serve("odd.ocx", 3 * win32::InetTransfer::kBufferBytes + 333, 5);
  win32::InetTransfer transfer(&movarin::win32::ProcessPendingMessages);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);  // the second request runs on the same worker
    transfer.SetAddress(server + "files/odd.ocx");
    ASSERT_TRUE(transfer.StartRequest("GET", "", ""));
    while (transfer.StillExecuting()) {
    }
    ASSERT_TRUE(transfer.HeaderBlock());
    std::string got;
    const std::size_t sizes[] = {1000, 777, 4096, 1};
    Chunk chunk;
    for (std::size_t i = 0;; ++i) {
      const std::size_t wanted = sizes[i % std::size(sizes)];
      chunk = transfer.ReadChunk(wanted);
      if (chunk.status != ChunkStatus::kData) break;
      ASSERT_LE(chunk.bytes.size(), wanted);
      // Only the last chunk of the body may be short.
      if (chunk.bytes.size() < wanted) {
        ASSERT_EQ(got.size() + chunk.bytes.size(), body.size());
      }
      got.append(chunk.bytes.begin(), chunk.bytes.end());
    }
    EXPECT_EQ(chunk.status, ChunkStatus::kEndOfBody);
    EXPECT_TRUE(got == body) << got.size() << " bytes of " << body.size();
    transfer.Cancel();
  }
}

TEST_F(EngineAgainstServer, CancelDuringASlowBodyStopsSilently) {
  Serve("slow.ocx", 20000);
  const std::string dest = folder / "slow.ocx";
  ASSERT_TRUE(WriteWholeFile(dest, "older"));
  Behave("slow.ocx", "mode=slow&bytes=512&delay_ms=50");
  listener.on_progress = [this](int) { download.engine().Cancel(); };
  EXPECT_FALSE(Get("slow.ocx", dest));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 5"}));
  EXPECT_TRUE(ReadWholeFile(dest) == std::string("older"));
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"slow.ocx"}));
}

TEST_F(EngineAgainstServer, AStalledServerIsCancelledByATimerWhileTheReadWaits) {
  Serve("stall.ocx", 100000);
  Behave("stall.ocx", "mode=stall&bytes=2048&delay_ms=60000");
  const UINT_PTR timer = SetTimer(nullptr, 0, 700, CancelOnTimer);
  ASSERT_NE(timer, 0u);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(Get("stall.ocx", folder / "stall.ocx"));
  const auto waited = std::chrono::steady_clock::now() - started;
  KillTimer(nullptr, timer);
  EXPECT_GE(g_timer_ticks, 1) << "timers run while the engine waits";
  // Well before the server would end its stall: the cancel reached the waiting read.
  EXPECT_LT(waited, std::chrono::seconds(30));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 1", "Progress: 2"}));
  EXPECT_TRUE(FolderEntries(folder.path()).empty());

  // The engine is ready for the next download at once.
  ResetServer();
  const std::string body = Serve("after.ocx", 3000);
  EXPECT_TRUE(Get("after.ocx", folder / "after.ocx"));
  EXPECT_TRUE(ReadWholeFile(folder / "after.ocx") == std::string(body));
}

TEST_F(EngineAgainstServer, TimersRunDuringASlowDownload) {
  const std::string body = Serve("paced.ocx", 8192);
  Behave("paced.ocx", "mode=slow&bytes=1024&delay_ms=100");
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
  EXPECT_TRUE(Get("paced.ocx", folder / "paced.ocx"));
  KillTimer(nullptr, timer);
  EXPECT_GE(g_timer_ticks, 3);
  EXPECT_TRUE(ReadWholeFile(folder / "paced.ocx") == std::string(body));
}

TEST_F(EngineAgainstServer, ResetAndShortBodiesFailAndKeepTheOlderFile) {
  Serve("r.ocx", 3000);
  const std::string dest = folder / "r.ocx";
  ASSERT_TRUE(WriteWholeFile(dest, "older"));
  for (const std::string behaviour : {"mode=reset&bytes=1500", "mode=long-length&length=5000",
                                      "mode=stall&bytes=1500&delay_ms=1"}) {
    Behave("r.ocx", behaviour);
    EXPECT_FALSE(Get("r.ocx", dest)) << behaviour;
    ASSERT_FALSE(listener.lines.empty());
    EXPECT_EQ(listener.lines.front(), kStart);
    if (behaviour.rfind("mode=reset", 0) == 0) {
      // A reset that overtakes the head makes the request itself fail; one that comes
      // during the body leaves it short. Either way it is one failure and nothing is lost.
      EXPECT_TRUE(listener.lines.back() == kReset ||
                  listener.lines.back().rfind("Errors: Error: ", 0) == 0)
          << listener.lines.back();
    } else {
      EXPECT_EQ(listener.lines.back(), kReset) << behaviour;
    }
    EXPECT_EQ(std::count_if(listener.lines.begin(), listener.lines.end(),
                            [](const std::string& line) { return line.rfind("Errors: ", 0) == 0; }),
              1);
    EXPECT_EQ(std::count(listener.lines.begin(), listener.lines.end(), "Complete"), 0);
    EXPECT_TRUE(ReadWholeFile(dest) == std::string("older")) << behaviour;
    EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"r.ocx"})) << behaviour;
  }
}

TEST_F(EngineAgainstServer, WithoutContentLengthTheBodyIsReadToTheEnd) {
  const std::string body = Serve("n.ocx", 300000);
  const std::string dest = folder / "n.ocx";
  ASSERT_TRUE(WriteWholeFile(dest, "older"));
  Behave("n.ocx", "mode=no-length");
  EXPECT_TRUE(Get("n.ocx", dest));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 100", "Complete"}));
  EXPECT_TRUE(ReadWholeFile(dest) == std::string(body));

  // Cut off before the server's own end: a failure, and the good file stays. The reset
  // may reach WinINet while it still reads the head (then the request itself fails) or
  // during the body (then the engine finds the body shorter than its Content-Range).
  Behave("n.ocx", "mode=reset&bytes=150000&omit=Content-Length");
  EXPECT_FALSE(Get("n.ocx", dest));
  ASSERT_EQ(listener.lines.size(), 2u);
  EXPECT_TRUE(listener.lines[1] == kReset ||
              listener.lines[1].rfind("Errors: Error: ", 0) == 0)
      << listener.lines[1];
  EXPECT_TRUE(ReadWholeFile(dest) == std::string(body));
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"n.ocx"}));
}

TEST_F(EngineAgainstServer, ZeroContentLengthLeavesTheFileAsItWas) {
  Serve("z.ocx", 10);
  const std::string dest = folder / "z.ocx";
  ASSERT_TRUE(WriteWholeFile(dest, "older"));
  Behave("z.ocx", "mode=zero-length");
  EXPECT_TRUE(Get("z.ocx", dest));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Complete"}));
  EXPECT_TRUE(ReadWholeFile(dest) == std::string("older"));
  // Nor is a file created where there was none.
  EXPECT_TRUE(Get("z.ocx", folder / "y.ocx"));
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"z.ocx"}));
}

TEST_F(EngineAgainstServer, AMissingFolderIsCreatedOnlyOneLevelDeep) {
  const std::string body = Serve("f.ocx", 2000);
  EXPECT_TRUE(Get("f.ocx", folder / "new\\f.ocx"));
  EXPECT_TRUE(ReadWholeFile(folder / "new\\f.ocx") == std::string(body));

  EXPECT_FALSE(Get("f.ocx", folder / "x\\y\\f.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: Cannot write file to disk.\r\rError 76: Path not found"}));
  EXPECT_FALSE(test::FolderExists(folder / "x"));
}

TEST_F(EngineAgainstServer, TheFreeSpaceCheckUsesTheDrive) {
  Serve("huge.ocx", 100);
  // A length no test disk has free.
  Behave("huge.ocx", "mode=long-length&length=1000000000000000");
  EXPECT_FALSE(Get("huge.ocx", folder / "huge.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: There is not enough free space on disk for this file."}));
  EXPECT_TRUE(FolderEntries(folder.path()).empty());

  // A path that does not start with a drive letter is not checked: the same answer then
  // fails only when the body ends short.
  const std::string prefixed = "\\\\?\\" + folder.path() + "\\huge.ocx";
  EXPECT_FALSE(Get("huge.ocx", prefixed));
  EXPECT_EQ(listener.lines.back(), kReset);
  EXPECT_EQ(listener.lines[1], "Progress: 0");
  EXPECT_TRUE(FolderEntries(folder.path()).empty());

  // A drive that is not there has no free space to read: it has none.
  Serve("small.ocx", 100);
  EXPECT_FALSE(Get("small.ocx", "Q:\\small.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: There is not enough free space on disk for this file."}));
}

// How many requests of the server's log asked for this path.
int RequestsFor(const std::string& path) {
  const std::string log = movarin::test::ServerLog();
  const std::string line = "GET " + path + " HTTP/";
  int count = 0;
  for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
  return count;
}

TEST_F(EngineAgainstServer, RedirectsAreFollowedToTheFileAndTheLastAnswerCounts) {
  CreateDirectoryA((served + "mirror").c_str(), nullptr);
  const std::string bytes = Serve("mirror\\real.ocx", 3000, 7);
  // Each redirect status, each form of address: absolute on another host name of the
  // same server, an absolute path, a relative path.
  const std::string port_part = server.substr(std::string("http://127.0.0.1").size());
  const std::string elsewhere = "http://localhost" + port_part + "files/mirror/real.ocx";
  struct Case {
    const char* status;
    std::string to;
  };
  const Case cases[] = {{"301 Moved Permanently", elsewhere},
                        {"302 Found", "/files/mirror/real.ocx"},
                        {"303 See Other", "mirror/real.ocx"},
                        {"307 Temporary Redirect", "./mirror/../mirror/real.ocx"},
                        {"308 Permanent Redirect", elsewhere}};
  for (const Case& c : cases) {
    ASSERT_TRUE(ResetServer());
    Behave("r.ocx", "mode=redirect&status=" + UrlEncode(c.status) + "&to=" + UrlEncode(c.to));
    const std::string dest = folder / "r.ocx";
    EXPECT_TRUE(Get("r.ocx", dest)) << c.status;
    EXPECT_EQ(listener.lines.back(), "Complete") << c.status;
    EXPECT_TRUE(ReadWholeFile(dest) == bytes) << c.status;
    EXPECT_EQ(RequestsFor("/files/mirror/real.ocx"), 1) << c.status;
    EXPECT_NE(movarin::test::ServerLog().find("Range: bytes=0-"), std::string::npos);
  }

  // A chain of two, the second to a file that is not there: the 404 is what counts, and
  // the file downloaded before stays as it was.
  ASSERT_TRUE(ResetServer());
  Behave("r.ocx", "mode=redirect&to=" + UrlEncode("/files/hop.ocx"));
  Behave("hop.ocx", "mode=redirect&status=" + UrlEncode("307 Temporary Redirect") + "&to=gone.ocx");
  EXPECT_FALSE(Get("r.ocx", folder / "r.ocx"));
  ASSERT_EQ(listener.lines.size(), 2u);
  EXPECT_EQ(listener.lines[1], "Errors: " + messages::NotFound(server + "files/r.ocx"));
  EXPECT_TRUE(ReadWholeFile(folder / "r.ocx") == bytes);
  EXPECT_EQ(RequestsFor("/files/gone.ocx"), 1);
}

TEST_F(EngineAgainstServer, ARedirectLoopEndsAtTheLimitWithTheRedirectAsTheAnswer) {
  Behave("loop.ocx", "mode=redirect&to=loop.ocx");
  EXPECT_FALSE(Get("loop.ocx", folder / "loop.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: The server returned the following response:\r\rHTTP/1.1 302 Found\r"}));
  EXPECT_EQ(RequestsFor("/files/loop.ocx"), 11) << "the first request and ten redirects";
  EXPECT_TRUE(FolderEntries(folder.path()).empty());

  // A redirect to an address of another kind is not followed either.
  Behave("ftp.ocx", "mode=redirect&to=" + UrlEncode("ftp://127.0.0.1/ftp.ocx"));
  EXPECT_FALSE(Get("ftp.ocx", folder / "ftp.ocx"));
  EXPECT_EQ(listener.lines.back(),
            "Errors: The server returned the following response:\r\rHTTP/1.1 302 Found\r");
}

TEST_F(EngineAgainstServer, NamesThatLeaveTheFolderAreRefused) {
  Serve("ok.ocx", 100);
  for (const std::string& dest : {folder / "..", folder / "a/b.ocx"}) {
    EXPECT_FALSE(Get("ok.ocx", dest)) << dest;
    EXPECT_EQ(listener.lines,
              (Lines{kStart, "Errors: Cannot write file to disk.\r\rError 52: Bad file name or number"}));
  }
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
}

TEST_F(EngineAgainstServer, ANetworkFailureIsARequestFailure) {
  // Port 1 on the loopback has no listener.
  listener.lines.clear();
  EXPECT_FALSE(download.engine().Download("http://127.0.0.1:1/files/a.ocx", folder / "a.ocx"));
  ASSERT_EQ(listener.lines.size(), 2u);
  EXPECT_EQ(listener.lines[1], "Errors: Error: Cannot connect to the server occurred.");
  EXPECT_FALSE(download.engine().Download("gopher://127.0.0.1/a.ocx", folder / "a.ocx"));
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
}

}  // namespace
}  // namespace movarin::download
