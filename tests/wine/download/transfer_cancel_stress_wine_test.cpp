// Cancelling the WinINet transfer at random moments, many times, against the test server:
// no WinINet handle is used after it was closed or by a thread that did not open it,
// every handle is closed once, no thread or kernel handle is left behind, and the
// downloads that run to their end after the cancelled ones get exactly their bytes.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <optional>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "download/win32/inet_transfer.h"
#include "download/win32/internet_calls.h"
#include "download/win32/windows_file_system.h"
#include "platform/win32/message_pump.h"
#include "tests/native/download/fake_download_parts.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/test_server.h"

namespace movarin::download {
namespace {

using movarin::test::ControlServer;
using movarin::test::FolderEntries;
using movarin::test::ReadWholeFile;
using movarin::test::TempFolder;
using movarin::test::WriteWholeFile;
using win32::InternetCalls;

// Who opened which WinINet handle, and every call that broke the rule "a handle is used
// and closed only by the thread that opened it, and never after it was closed". Before
// each call on a request the watch may pause a moment, which widens the gap between the
// transfer's look at its cancel flag and the call, where a cancel from the user-interface
// thread lands.
class HandleWatch {
 public:
  void Opened(HINTERNET handle) {
    if (!handle) return;
    std::lock_guard lock(mutex_);
    owners_[handle] = GetCurrentThreadId();
    ++opened_;
  }
  void Using(HINTERNET handle, const char* call) {
    Pause();
    std::lock_guard lock(mutex_);
    Check(handle, call);
  }
  void Closing(HINTERNET handle) {
    std::lock_guard lock(mutex_);
    Check(handle, "InternetCloseHandle");
    owners_.erase(handle);
    ++closed_;
  }
  std::vector<std::string> Faults() {
    std::lock_guard lock(mutex_);
    return faults_;
  }
  int StillOpen() {
    std::lock_guard lock(mutex_);
    return static_cast<int>(owners_.size());
  }
  int Opened() {
    std::lock_guard lock(mutex_);
    return opened_;
  }
  int Closed() {
    std::lock_guard lock(mutex_);
    return closed_;
  }

 private:
  bool Check(HINTERNET handle, const char* call) {
    const auto owner = owners_.find(handle);
    if (owner == owners_.end()) {
      faults_.push_back(std::string(call) + " on a closed handle");
      return false;
    }
    if (owner->second != GetCurrentThreadId()) {
      faults_.push_back(std::string(call) + " on another thread's handle");
      return false;
    }
    return true;
  }
  void Pause() {
    unsigned ms = 0;
    {
      std::lock_guard lock(mutex_);
      ms = std::uniform_int_distribution<unsigned>(0, 3)(random_);
    }
    if (ms > 0) Sleep(ms - 1);
  }

  std::mutex mutex_;
  std::map<HINTERNET, DWORD> owners_;
  int opened_ = 0;
  int closed_ = 0;
  std::vector<std::string> faults_;
  std::minstd_rand random_{7};
};

// The wrappers are plain functions with WinINet's signatures; they reach the watch here.
HandleWatch* g_watch = nullptr;

HINTERNET WINAPI WatchedOpen(LPCWSTR agent, DWORD type, LPCWSTR proxy, LPCWSTR bypass, DWORD flags) {
  HINTERNET handle = InternetOpenW(agent, type, proxy, bypass, flags);
  g_watch->Opened(handle);
  return handle;
}
HINTERNET WINAPI WatchedConnect(HINTERNET session, LPCWSTR host, INTERNET_PORT port, LPCWSTR user,
                                LPCWSTR password, DWORD service, DWORD flags, DWORD_PTR context) {
  g_watch->Using(session, "InternetConnect");
  HINTERNET handle = InternetConnectW(session, host, port, user, password, service, flags, context);
  g_watch->Opened(handle);
  return handle;
}
BOOL WINAPI WatchedSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
  g_watch->Using(handle, "InternetSetOption");
  return InternetSetOptionW(handle, option, buffer, length);
}
HINTERNET WINAPI WatchedOpenRequest(HINTERNET connection, LPCWSTR verb, LPCWSTR object,
                                    LPCWSTR version, LPCWSTR referrer, LPCWSTR* accept, DWORD flags,
                                    DWORD_PTR context) {
  g_watch->Using(connection, "HttpOpenRequest");
  HINTERNET handle = HttpOpenRequestW(connection, verb, object, version, referrer, accept, flags, context);
  g_watch->Opened(handle);
  return handle;
}
BOOL WINAPI WatchedSend(HINTERNET request, LPCWSTR headers, DWORD headers_length, LPVOID body,
                        DWORD body_length) {
  g_watch->Using(request, "HttpSendRequest");
  return HttpSendRequestW(request, headers, headers_length, body, body_length);
}
BOOL WINAPI WatchedQuery(HINTERNET request, DWORD level, LPVOID buffer, LPDWORD length, LPDWORD index) {
  g_watch->Using(request, "HttpQueryInfo");
  return HttpQueryInfoW(request, level, buffer, length, index);
}
BOOL WINAPI WatchedRead(HINTERNET request, LPVOID buffer, DWORD wanted, LPDWORD got) {
  g_watch->Using(request, "InternetReadFile");
  return InternetReadFile(request, buffer, wanted, got);
}
BOOL WINAPI WatchedClose(HINTERNET handle) {
  g_watch->Closing(handle);
  return InternetCloseHandle(handle);
}

InternetCalls WatchedCalls() {
  InternetCalls calls;
  calls.open = WatchedOpen;
  calls.connect = WatchedConnect;
  calls.set_option = WatchedSetOption;
  calls.open_request = WatchedOpenRequest;
  calls.send_request = WatchedSend;
  calls.query_info = WatchedQuery;
  calls.read_file = WatchedRead;
  calls.close = WatchedClose;
  return calls;
}

int ThreadsOfThisProcess() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

DWORD KernelHandles() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<char>(x >> 16);
  }
  return bytes;
}

// Cancels the engine from a timer, as a host's cancel button does from its message.
DownloadEngine* g_engine = nullptr;
void CALLBACK CancelOnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_engine) g_engine->Cancel();
}

// Waits, processing messages, until `done` holds or the time is up.
template <typename Done>
bool WaitFor(Done done, std::chrono::seconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    movarin::win32::ProcessPendingMessages();
    Sleep(20);
  }
  return true;
}

// Rounds write in turn to these destinations.
constexpr const char* kRoundNames[] = {"r0.ocx", "r1.ocx", "r2.ocx", "r3.ocx", "r4.ocx", "r5.ocx", "r6.ocx"};

TEST(TransferCancelStress, CancelsAtRandomMomentsTouchNoClosedHandleAndLeaveNothingBehind) {
  const std::string server = test::TestServerUrl().value_or("");
  ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
  ASSERT_TRUE(test::ResetServer());
  const auto root = test::TestServerRoot();
  ASSERT_TRUE(root);
  TempFolder folder{"movarin-cancel"};

  // Each path has its own behaviour; stalls end soon, so that the workers they hold end
  // within the test.
  struct Served {
    std::string name;
    std::size_t size;
    std::string behaviour;  // empty: normal
  };
  const std::vector<Served> served = {
      {"big.ocx", 400000, ""},
      {"small.ocx", 3000, ""},
      {"slow.ocx", 30000, "mode=slow&bytes=700&delay_ms=3"},
      {"stall.ocx", 50000, "mode=stall&bytes=5000&delay_ms=400"},
      {"stallhead.ocx", 50000, "mode=stall&bytes=0&delay_ms=300"},
      {"nolength.ocx", 90000, "mode=no-length"},
      {"reset.ocx", 90000, "mode=reset&bytes=20000"},
      {"missing.ocx", 100, "mode=status&status=404%20Not%20Found"},
  };
  std::map<std::string, std::string> bodies;
  for (std::size_t i = 0; i < served.size(); ++i) {
    bodies[served[i].name] = Pattern(served[i].size, static_cast<unsigned>(i + 1));
    ASSERT_TRUE(WriteWholeFile(*root + "\\files\\" + served[i].name, bodies[served[i].name]));
    if (!served[i].behaviour.empty()) {
      ASSERT_TRUE(ControlServer("set?path=/files/" + served[i].name + "&" + served[i].behaviour));
    }
  }

  HandleWatch watch;
  g_watch = &watch;
  const InternetCalls calls = WatchedCalls();
  win32::InetTransfer transfer(&movarin::win32::ProcessPendingMessages, calls);
  win32::WindowsFileSystem files;
  DownloadEngine engine(transfer, files, &movarin::win32::ProcessPendingMessages);
  testing::RecordingListener listener;
  engine.SetListener(&listener);
  g_engine = &engine;

  // One download before counting, so that WinINet's own threads and handles exist.
  ASSERT_TRUE(engine.Download(server + "files/small.ocx", folder / "warm.ocx"));
  ASSERT_TRUE(WaitFor([&] { return watch.StillOpen() == 0; }, std::chrono::seconds(30)));
  const int threads_before = ThreadsOfThisProcess();
  const DWORD handles_before = KernelHandles();

  int rounds = 300;
  if (const char* wanted = std::getenv("MOVARIN_CANCEL_ROUNDS")) rounds = std::atoi(wanted);
  std::minstd_rand random(2024);
  auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
  int cancelled_rounds = 0;
  for (int round = 0; round < rounds; ++round) {
    const Served& pick = served[std::uniform_int_distribution<std::size_t>(0, served.size() - 1)(random)];
    const std::string dest = folder / kRoundNames[round % std::size(kRoundNames)];
    ASSERT_TRUE(WriteWholeFile(dest, "older"));
    // Cancel from inside the first event, after some number of progress reports, or from
    // a timer that fires while the engine waits for the head or for the body.
    const int moment = std::uniform_int_distribution<int>(0, 2)(random);
    const int after_reports = std::uniform_int_distribution<int>(1, 40)(random);
    int reports = 0;
    listener.lines.clear();
    listener.on_progress = [&](int) {
      if (moment == 1 && ++reports == after_reports) engine.Cancel();
    };
    UINT_PTR timer = 0;
    if (moment == 0) {
      engine.Cancel();  // harmless before a download
    } else if (moment == 2) {
      timer = SetTimer(nullptr, 0, std::uniform_int_distribution<UINT>(1, 60)(random), CancelOnTimer);
    }
    const bool complete = engine.Download(server + "files/" + pick.name, dest);
    if (timer) KillTimer(nullptr, timer);  // one that has not fired belongs to this round only
    if (!complete) {
      // Whatever ended it, the older file is still there, and nothing else is.
      ASSERT_EQ(ReadWholeFile(dest), std::optional<std::string>("older")) << pick.name << " round " << round;
      ++cancelled_rounds;
    } else {
      ASSERT_EQ(ReadWholeFile(dest), std::optional<std::string>(bodies[pick.name])) << pick.name;
    }
    // Now and then, a download right after the cancelled one runs to its end with
    // exactly its bytes, while the cancelled one's worker may still be finishing.
    if (chance(20)) {
      const std::string whole = folder / "whole.ocx";
      listener.on_progress = nullptr;
      listener.lines.clear();
      ASSERT_TRUE(engine.Download(server + "files/big.ocx", whole))
          << "round " << round << ": " << listener.lines.back();
      ASSERT_EQ(ReadWholeFile(whole), std::optional<std::string>(bodies["big.ocx"])) << "round " << round;
    }
  }
  g_engine = nullptr;
  EXPECT_GT(cancelled_rounds, rounds / 4);

  // Every worker ends by itself (the stalls end within a second) and closes what it opened.
  EXPECT_TRUE(WaitFor([&] { return watch.StillOpen() == 0; }, std::chrono::seconds(90)))
      << watch.StillOpen() << " WinINet handles still open";
  EXPECT_EQ(watch.Opened(), watch.Closed());
  std::map<std::string, int> faults;
  for (const std::string& fault : watch.Faults()) ++faults[fault];
  for (const auto& [fault, count] : faults) ADD_FAILURE() << count << " x " << fault;
  EXPECT_TRUE(WaitFor([&] { return ThreadsOfThisProcess() <= threads_before; }, std::chrono::seconds(30)))
      << ThreadsOfThisProcess() << " threads, " << threads_before << " before";
  // WinINet keeps a few connections alive for a while; kernel handles must not grow
  // with the number of rounds.
  EXPECT_LE(KernelHandles(), handles_before + 16) << handles_before << " before";
  // Only the destinations: no temporary file is left beside them.
  for (const std::string& entry : FolderEntries(folder.path())) {
    EXPECT_TRUE(entry == "warm.ocx" || entry == "whole.ocx" ||
                std::find(std::begin(kRoundNames), std::end(kRoundNames), entry) != std::end(kRoundNames))
        << entry;
  }
  g_watch = nullptr;
}

}  // namespace
}  // namespace movarin::download
