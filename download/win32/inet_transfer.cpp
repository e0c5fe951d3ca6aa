#include "download/win32/inet_transfer.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "download/http_header.h"
#include "download/redirect.h"
#include "download/url.h"
#include "download/win32/internet_calls.h"
#include "platform/win32/handles.h"
#include "platform/win32/slim_lock.h"
#include "platform/win32/text.h"

namespace movarin::download::win32 {

using movarin::win32::Narrow;
using movarin::win32::SlimCondition;
using movarin::win32::SlimLock;
using movarin::win32::UniqueKernelHandle;
using movarin::win32::Widen;

namespace {

// The most one WinINet read takes; the worker stops reading ahead while the buffer has
// less room.
constexpr DWORD kReadBytes = 64 * 1024;
// The first reads, and every read after a slow one, are as small as the engine's chunks.
constexpr DWORD kFirstReadBytes = static_cast<DWORD>(DownloadEngine::kChunkBytes);
// A read that returns full within this time found its data waiting; after so many of
// them in a row the read size doubles.
constexpr LONGLONG kFastReadMs = 30;
constexpr int kFastReadsToGrow = 2;
// While the body streams in, a reader that ran dry is woken only once this many bytes
// are waiting for it, or once it has waited kMostHoldMs: every wake-up switches threads,
// and at full speed one per read would cost the worker a good part of its time. A slow
// read wakes it at once.
constexpr std::uint64_t kWakeBytes = 256 * 1024;
constexpr LONGLONG kMostHoldMs = 10;

LONGLONG Now() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}
LONGLONG TicksPerSecond() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}
constexpr DWORD kConnectTimeoutMs = 30000;
constexpr DWORD kReceiveTimeoutMs = 60000;
// How long one wait of the user-interface thread lasts at most before it looks again.
constexpr DWORD kHeaderPollMs = 20;
// How often a reader waiting for body bytes looks at the window input. The look is a
// trip through the system, the wait for bytes is not.
constexpr DWORD kInputLookMs = 10;
// How long a new request waits for the worker to finish closing a cancelled one.
constexpr DWORD kWorkerFinishWaitMs = 20;

struct KnownError {
  DWORD code;
  const char* text;
};
// WinINet's own codes, whose texts the system does not always carry.
constexpr KnownError kInternetErrors[] = {
    {ERROR_INTERNET_TIMEOUT, "The operation timed out"},
    {ERROR_INTERNET_INTERNAL_ERROR, "An internal error occurred in the Internet transfer"},
    {ERROR_INTERNET_INVALID_URL, "The URL is invalid"},
    {ERROR_INTERNET_UNRECOGNIZED_SCHEME, "The URL does not use a recognized protocol"},
    {ERROR_INTERNET_NAME_NOT_RESOLVED, "The server name could not be resolved"},
    {ERROR_INTERNET_OPERATION_CANCELLED, "The operation was cancelled"},
    {ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The request is not in a state for this operation"},
    {ERROR_INTERNET_CANNOT_CONNECT, "Cannot connect to the server"},
    {ERROR_INTERNET_CONNECTION_ABORTED, "The connection with the server was terminated abnormally"},
    {ERROR_INTERNET_CONNECTION_RESET, "The connection with the server was reset"},
    {ERROR_HTTP_INVALID_SERVER_RESPONSE, "The server returned an invalid or unrecognized response"},
    {ERROR_HTTP_HEADER_NOT_FOUND, "The requested header could not be found"},
    {ERROR_INTERNET_SEC_CERT_DATE_INVALID, "The server's certificate date is invalid"},
    {ERROR_INTERNET_SEC_CERT_CN_INVALID, "The server's certificate name is invalid"},
    {ERROR_INTERNET_INVALID_CA, "The server's certificate authority is not trusted"},
    {ERROR_INTERNET_SEC_INVALID_CERT, "The server's certificate is invalid"},
    {ERROR_INTERNET_SEC_CERT_ERRORS, "The server's certificate has errors"},
    {ERROR_INTERNET_SEC_CERT_REVOKED, "The server's certificate has been revoked"},
    {ERROR_INTERNET_SEC_CERT_REV_FAILED, "The server's certificate could not be checked for revocation"},
    {ERROR_INTERNET_SEC_CERT_NO_REV, "The server's certificate carries no revocation information"},
    {ERROR_INTERNET_SECURITY_CHANNEL_ERROR, "The secure connection with the server failed"},
    {ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR, "The server redirected from a secure to a plain connection"},
    {ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED, "The server asks for a client certificate"},
};

Failure FailureOf(DWORD code) {
  return Failure{static_cast<std::int64_t>(code), DescribeInternetError(code)};
}

}  // namespace

std::string DescribeInternetError(unsigned long code) {
  for (const auto& known : kInternetErrors) {
    if (known.code == code) return known.text;
  }
  wchar_t* text = nullptr;
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS;
  HMODULE wininet = GetModuleHandleW(L"wininet.dll");
  if (wininet && code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST) {
    flags |= FORMAT_MESSAGE_FROM_HMODULE;
  }
  const DWORD length = FormatMessageW(flags, wininet, code, 0, reinterpret_cast<wchar_t*>(&text),
                                      0, nullptr);
  std::string description;
  if (length != 0 && text) {
    description = Narrow(std::wstring_view(text, length));
    // System texts end in a full stop and a line break; the messages add their own.
    while (!description.empty() &&
           (description.back() == '\n' || description.back() == '\r' ||
            description.back() == ' ' || description.back() == '.')) {
      description.pop_back();
    }
  }
  if (text) LocalFree(text);
  if (description.empty()) description = "Internet error " + std::to_string(code);
  return description;
}

namespace {

struct RequestArgs {
  std::string url;
  std::wstring host;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
  std::wstring path;
  bool secure = false;
  std::wstring verb;
  std::string body;
  std::wstring extra_headers;
  std::wstring user_name;
  std::wstring password;
};

}  // namespace

// The ring buffer of body bytes a worker reads into; each worker has its own.
using Ring = std::vector<std::uint8_t>;

// What the worker and the user-interface thread share, one per request. The worker
// keeps its own reference, so a worker that outlives its transfer never touches freed
// memory. The WinINet handles are not shared: the worker alone opens, uses and closes
// them.
struct InetTransfer::Shared {
  SlimLock mutex;
  SlimCondition room;        // the worker waits here for buffer room
  SlimCondition data;        // the reader waits here for body bytes
  UniqueKernelHandle signal;  // auto-reset: the answer's head arrived, or the request ended
  bool cancelled = false;
  bool headers_ready = false;
  std::string header_block;
  std::optional<Failure> failure;
  // The request, as the worker sends it.
  RequestArgs args;
  // The body bytes [head, tail) are in the ring at their position modulo its size.
  // Positions count from the body's first byte. The worker alone writes the ring, the
  // reader alone reads it, each outside the lock within its own part.
  std::shared_ptr<Ring> ring;
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
  bool body_done = false;
  ChunkStatus end = ChunkStatus::kEndOfBody;
  // Who sleeps: wake-ups cost a switch of threads, so they are sent only when needed.
  // A waiting reader wants to be woken once the tail reaches wake_at.
  bool reader_waiting = false;
  std::uint64_t wake_at = 0;
  LONGLONG waiting_since = 0;
  bool writer_waiting = false;

  void Signal() { SetEvent(signal.get()); }
  std::size_t Room() const { return ring->size() - static_cast<std::size_t>(tail - head); }
  bool Cancelled() {
    std::lock_guard lock(mutex);
    return cancelled;
  }
};

namespace {

// The parts of an address that a request needs. Which scheme, port and encryption an
// address asks for is decided by the portable parser; the request only passes them on.
base::Result<RequestArgs, Failure> CrackAddress(const std::string& url) {
  const std::optional<ServerAddress> parts = ParseServerAddress(url);
  if (!parts) return FailureOf(ERROR_INTERNET_INVALID_URL);
  RequestArgs args;
  args.url = url;
  args.host = Widen(parts->host);
  args.port = parts->port;
  args.secure = parts->secure;
  args.path = Widen(parts->path);
  return args;
}

// A WinINet handle closed through the transfer's table when the worker is done with it.
class OwnedInternet {
 public:
  OwnedInternet(const InternetCalls& calls, HINTERNET handle) : calls_(calls), handle_(handle) {}
  OwnedInternet(const OwnedInternet&) = delete;
  OwnedInternet& operator=(const OwnedInternet&) = delete;
  ~OwnedInternet() {
    if (handle_) calls_.close(handle_);
  }
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  const InternetCalls& calls_;
  HINTERNET handle_;
};

std::string RawHeaders(const InternetCalls& calls, HINTERNET request) {
  DWORD bytes = 0;
  calls.query_info(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &bytes, nullptr);
  if (bytes == 0) return {};
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
  if (!calls.query_info(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &bytes, nullptr)) {
    return {};
  }
  return Narrow(std::wstring_view(buffer.data(), bytes / sizeof(wchar_t)));
}

void SetTimeouts(const InternetCalls& calls, HINTERNET session) {
  DWORD connect = kConnectTimeoutMs;
  DWORD receive = kReceiveTimeoutMs;
  calls.set_option(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  calls.set_option(session, INTERNET_OPTION_SEND_TIMEOUT, &connect, sizeof connect);
  calls.set_option(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

// How a request ended, for the user-interface thread.
struct Outcome {
  std::optional<Failure> failure;  // the request itself failed (no answer)
  ChunkStatus end = ChunkStatus::kBroken;
};

Outcome CancelledOutcome() {
  return {FailureOf(ERROR_INTERNET_OPERATION_CANCELLED), ChunkStatus::kBroken};
}

// Sends the request and hands its head and body over to the user-interface thread. Every
// handle is opened, used and closed on this thread, and none is used once the transfer is
// cancelled: the flag is looked at before each call. All of them are closed when this
// returns.
// The request as the next hop of a redirect sends it: the same verb, headers, body and
// credentials to another address.
std::optional<RequestArgs> NextHop(const RequestArgs& args, std::string_view header_block) {
  // Only reading requests follow: another verb's answer is handed over as it is.
  if (args.verb != L"GET" && args.verb != L"HEAD") return std::nullopt;
  if (!IsRedirectStatus(StatusField(header_block))) return std::nullopt;
  auto target = RedirectTarget(args.url, HeaderValue(header_block, "Location"));
  if (!target) return std::nullopt;
  auto next = CrackAddress(*target);
  if (!next) return std::nullopt;
  next->verb = args.verb;
  next->body = args.body;
  next->extra_headers = args.extra_headers;
  // The user's name and password go to the server they were given for, nowhere else.
  if (next->host == args.host && next->port == args.port && next->secure == args.secure) {
    next->user_name = args.user_name;
    next->password = args.password;
  }
  return std::move(*next);
}

// Sends the request and hands its head and body over to the user-interface thread. A
// redirect is followed (up to kMaxRedirects of them), so what is handed over is the last
// answer. Every handle is opened, used and closed on this thread, and none is used once
// the transfer is cancelled: the flag is looked at before each call. All of them are
// closed when this returns.
Outcome Exchange(InetTransfer::Shared& s, const RequestArgs& first, const InternetCalls& calls) {
  OwnedInternet session(calls,
                        calls.open(L"Movarin", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return {FailureOf(GetLastError())};
  SetTimeouts(calls, session.get());
  RequestArgs args = first;
  std::optional<OwnedInternet> connection;
  std::optional<OwnedInternet> request;
  std::string headers;
  for (int redirects = 0;; ++redirects) {
    request.reset();
    connection.reset();
    connection.emplace(calls, calls.connect(session.get(), args.host.c_str(), args.port, nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!*connection) return {FailureOf(GetLastError())};
    if (!args.user_name.empty()) {
      calls.set_option(connection->get(), INTERNET_OPTION_USERNAME,
                       const_cast<wchar_t*>(args.user_name.data()),
                       static_cast<DWORD>(args.user_name.size()));
    }
    if (!args.password.empty()) {
      calls.set_option(connection->get(), INTERNET_OPTION_PASSWORD,
                       const_cast<wchar_t*>(args.password.data()),
                       static_cast<DWORD>(args.password.size()));
    }
    // Redirects are followed here rather than by WinINet, which would follow one from
    // https to http and knows no limit of ours.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    if (args.secure) flags |= INTERNET_FLAG_SECURE;
    if (s.Cancelled()) return CancelledOutcome();
    request.emplace(calls, calls.open_request(connection->get(), args.verb.c_str(), args.path.c_str(),
                                              nullptr, nullptr, nullptr, flags, 0));
    if (!*request) return {FailureOf(GetLastError())};
    if (s.Cancelled()) return CancelledOutcome();
    const BOOL sent = calls.send_request(
        request->get(), args.extra_headers.empty() ? nullptr : args.extra_headers.c_str(),
        static_cast<DWORD>(args.extra_headers.size()),
        args.body.empty() ? nullptr : const_cast<char*>(args.body.data()),
        static_cast<DWORD>(args.body.size()));
    if (!sent) return {FailureOf(GetLastError())};
    if (s.Cancelled()) return CancelledOutcome();
    headers = RawHeaders(calls, request->get());
    if (redirects >= kMaxRedirects) break;
    auto next = NextHop(args, headers);
    if (!next) break;
    args = std::move(*next);
  }
  {
    std::lock_guard lock(s.mutex);
    s.header_block = std::move(headers);
    s.headers_ready = true;
  }
  s.Signal();

  Ring& ring = *s.ring;
  DWORD read_size = kFirstReadBytes;
  int fast_reads = 0;
  const LONGLONG fast_read_ticks = TicksPerSecond() * kFastReadMs / 1000;
  const LONGLONG most_hold_ticks = TicksPerSecond() * kMostHoldMs / 1000;
  for (;;) {
    std::uint64_t tail = 0;
    {
      std::lock_guard lock(s.mutex);
      s.writer_waiting = true;
      while (!s.cancelled && s.Room() < kReadBytes) s.room.Wait(s.mutex);
      s.writer_waiting = false;
      if (s.cancelled) return CancelledOutcome();
      tail = s.tail;
    }
    // A synchronous read waits until its whole buffer is full (no-wait reads are not
    // honoured on every WinINet), and the bytes it holds stay hidden while it waits. So
    // reads start at the engine's chunk size, which keeps a slow or stalled server's bytes
    // flowing chunk by chunk; they grow while the data streams in faster than it is asked
    // for and shrink after a slow read, so a read holds back at most a few tens of
    // milliseconds' worth of bytes.
    // The read goes straight into the free part of the ring (the room was there before
    // the read, and only this thread fills it), up to the ring's end at most.
    const std::size_t at = static_cast<std::size_t>(tail % ring.size());
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(read_size, ring.size() - at));
    DWORD got = 0;
    const LONGLONG started = Now();
    const BOOL read = calls.read_file(request->get(), ring.data() + at, asked, &got);
    const LONGLONG finished = Now();
    const bool fast_and_full = finished - started <= fast_read_ticks && got == asked;
    const bool streaming = fast_and_full && read_size == kReadBytes;
    if (fast_and_full) {
      if (++fast_reads >= kFastReadsToGrow) {
        fast_reads = 0;
        read_size = std::min(read_size * 2, kReadBytes);
      }
    } else {
      fast_reads = 0;
      read_size = std::max(read_size / 2, kFirstReadBytes);
    }
    bool wake_reader = false;
    {
      std::lock_guard lock(s.mutex);
      if (s.cancelled) return CancelledOutcome();
      s.tail += got;
      // A failed read may still hand over the bytes that came before the failure.
      if (!read || got == 0) return {std::nullopt, read ? ChunkStatus::kEndOfBody : ChunkStatus::kBroken};
      if (s.reader_waiting &&
          (!streaming || s.tail >= s.wake_at || finished - s.waiting_since >= most_hold_ticks)) {
        s.reader_waiting = false;
        wake_reader = true;
      }
    }
    if (wake_reader) s.data.WakeOne();
  }
}

// Hands the end of a request over to the user-interface thread.
void Publish(InetTransfer::Shared& s, const Outcome& outcome) {
  {
    std::lock_guard lock(s.mutex);
    if (outcome.failure && !s.headers_ready) s.failure = outcome.failure;
    s.headers_ready = true;
    if (!s.body_done) {
      s.body_done = true;
      s.end = outcome.end;
    }
  }
  s.data.WakeOne();
  s.Signal();
}

}  // namespace

// The worker thread's side of a transfer: the request it is given and whether it is
// busy with one. The thread keeps its own reference, like the requests' shared state.
struct InetTransfer::Worker {
  SlimLock mutex;
  // A request was handed over, or the worker must end; or the worker became idle.
  SlimCondition wake;
  std::shared_ptr<Shared> request;
  RequestArgs args;
  // From the hand-over until the request's handles are closed.
  bool busy = false;
  bool stop = false;
  std::shared_ptr<Ring> ring = std::make_shared<Ring>(kBufferBytes);
};

namespace {

// Serves requests one after the other until told to stop.
void ServeRequests(const std::shared_ptr<InetTransfer::Worker>& worker, const InternetCalls& calls) {
  for (;;) {
    std::shared_ptr<InetTransfer::Shared> request;
    RequestArgs args;
    {
      std::lock_guard lock(worker->mutex);
      while (!worker->stop && !worker->request) worker->wake.Wait(worker->mutex);
      if (!worker->request) return;
      request = std::move(worker->request);
      args = std::move(worker->args);
    }
    const Outcome outcome = Exchange(*request, args, calls);
    // Idle before the end is told: a reader that sees the end may start the next
    // request at once, and finds the worker free for it.
    {
      std::lock_guard lock(worker->mutex);
      worker->busy = false;
    }
    worker->wake.WakeAll();
    Publish(*request, outcome);
  }
}

}  // namespace

InetTransfer::InetTransfer(std::function<void()> process_messages)
    : InetTransfer(std::move(process_messages), InternetCalls::System()) {}

InetTransfer::InetTransfer(std::function<void()> process_messages, const InternetCalls& calls)
    : process_messages_(std::move(process_messages)), calls_(calls) {
  // The thread starts now, so that the first request does not wait for it. Should it
  // fail to start, the first request tries again.
  HandOver(nullptr);
}

InetTransfer::~InetTransfer() {
  Cancel();
  RetireWorker();
}

void InetTransfer::SetCredentials(const std::string& user_name, const std::string& password) {
  user_name_ = user_name;
  password_ = password;
}

void InetTransfer::RetireWorker() {
  if (!worker_state_) return;
  bool busy = false;
  {
    std::lock_guard lock(worker_state_->mutex);
    worker_state_->stop = true;
    busy = worker_state_->busy;
  }
  worker_state_->wake.WakeAll();
  // A worker still inside a blocking WinINet call (a server that stalls) is left to end by
  // itself; it holds its own share of the state and closes its own handles.
  if (worker_.joinable()) {
    if (busy) {
      worker_.detach();
    } else {
      worker_.join();
    }
  }
  worker_state_.reset();
}

bool InetTransfer::HandOver(const std::shared_ptr<Shared>& request) {
  if (worker_state_) {
    std::lock_guard lock(worker_state_->mutex);
    // A worker that was just cancelled is usually closing its handles and free a moment
    // later; one that waits on a stalled server is not worth waiting for.
    const ULONGLONG until = GetTickCount64() + kWorkerFinishWaitMs;
    while (worker_state_->busy && GetTickCount64() < until) {
      worker_state_->wake.Wait(worker_state_->mutex, kWorkerFinishWaitMs);
    }
    if (!worker_state_->busy) {
      if (request) {
        request->ring = worker_state_->ring;
        worker_state_->request = request;
        worker_state_->args = request->args;
        worker_state_->busy = true;
        worker_state_->wake.WakeAll();
      }
      return true;
    }
  }
  RetireWorker();
  auto worker = std::make_shared<Worker>();
  if (request) {
    request->ring = worker->ring;
    worker->request = request;
    worker->args = request->args;
    worker->busy = true;
  }
  try {
    worker_ = std::thread([worker, &calls = calls_] { ServeRequests(worker, calls); });
  } catch (const std::system_error&) {
    return false;
  }
  worker_state_ = std::move(worker);
  return true;
}

base::Result<void, Failure> InetTransfer::StartRequest(const std::string& verb, const std::string& body,
                                                       const std::string& extra_headers) {
  Cancel();
  shared_.reset();
  cancel_requested_ = false;
  read_position_ = 0;
  released_ = 0;
  known_end_ = 0;
  auto cracked = CrackAddress(address_);
  if (!cracked) return cracked.error();
  auto shared = std::make_shared<Shared>();
  shared->args = std::move(*cracked);
  shared->args.verb = Widen(verb);
  shared->args.body = body;
  shared->args.extra_headers = Widen(extra_headers);
  shared->args.user_name = Widen(user_name_);
  shared->args.password = Widen(password_);
  shared->signal.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!shared->signal) return FailureOf(GetLastError());
  if (!HandOver(shared)) return Failure{7, "Out of memory"};
  shared_ = std::move(shared);
  return {};
}

void InetTransfer::Wait(unsigned timeout_ms) {
  HANDLE signal = shared_->signal.get();
  const DWORD woke =
      MsgWaitForMultipleObjectsEx(1, &signal, timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woke == WAIT_OBJECT_0 + 1 && process_messages_) process_messages_();
}

bool InetTransfer::StillExecuting() {
  if (!shared_) return false;
  auto running = [this] {
    std::lock_guard lock(shared_->mutex);
    return !shared_->headers_ready && !shared_->cancelled;
  };
  if (!running()) return false;
  // Keep the caller's polling loop from spinning: wait a little for the answer.
  Wait(kHeaderPollMs);
  return shared_ && running();
}

base::Result<std::string, Failure> InetTransfer::HeaderBlock() {
  if (!shared_) return FailureOf(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
  std::lock_guard lock(shared_->mutex);
  if (shared_->failure) return *shared_->failure;
  if (!shared_->headers_ready) return FailureOf(ERROR_INTERNET_OPERATION_CANCELLED);
  return shared_->header_block;
}

std::string InetTransfer::Header(const std::string& name) {
  if (!shared_) return {};
  std::lock_guard lock(shared_->mutex);
  return HeaderValue(shared_->header_block, name);
}

void InetTransfer::Release(Shared& s) {
  // The caller holds the lock.
  s.head = read_position_;
  released_ = read_position_;
  if (s.writer_waiting && s.Room() >= kReadBytes) s.room.WakeOne();
}

Chunk InetTransfer::TakeChunk(Shared& s, std::size_t count) {
  const Ring& ring = *s.ring;
  const std::size_t at = static_cast<std::size_t>(read_position_ % ring.size());
  read_position_ += count;
  if (count <= ring.size() - at) return {ChunkStatus::kData, std::span(ring.data() + at, count)};
  const std::size_t first = ring.size() - at;
  wrapped_chunk_.assign(ring.begin() + static_cast<std::ptrdiff_t>(at), ring.end());
  wrapped_chunk_.insert(wrapped_chunk_.end(), ring.begin(),
                        ring.begin() + static_cast<std::ptrdiff_t>(count - first));
  return {ChunkStatus::kData, wrapped_chunk_};
}

Chunk InetTransfer::ReadChunk(std::size_t max_bytes) {
  if (!shared_ || max_bytes == 0) return {ChunkStatus::kBroken, {}};
  // The host may run a new request from inside the wait; keep this one's state alive.
  const std::shared_ptr<Shared> shared = shared_;
  Shared& s = *shared;
  // At most half the ring, so the worker can always get ahead of a waiting reader.
  const std::size_t wanted = std::min(max_bytes, kBufferBytes / 2);
  // The chunk handed out last is done with: its room goes back to the worker now and
  // then, not after every chunk, so most chunks need no lock.
  if (read_position_ - released_ >= kReadBytes) {
    std::lock_guard lock(s.mutex);
    Release(s);
  }
  for (;;) {
    if (cancel_requested_ || shared_ != shared) return {ChunkStatus::kBroken, {}};
    if (known_end_ - read_position_ >= wanted) return TakeChunk(s, wanted);
    std::optional<ChunkStatus> end;
    {
      std::lock_guard lock(s.mutex);
      if (s.cancelled) return {ChunkStatus::kBroken, {}};
      Release(s);
      known_end_ = s.tail;
      if (known_end_ - read_position_ < wanted) {
        if (s.body_done) {
          end = s.end;
        } else {
          // Until the worker has a batch of bytes or the body ends; now and then the
          // window input wants a look.
          s.reader_waiting = true;
          s.wake_at = read_position_ + std::max<std::uint64_t>(wanted, kWakeBytes);
          s.waiting_since = Now();
          s.data.Wait(s.mutex, kInputLookMs);
          s.reader_waiting = false;
        }
      }
    }
    if (end) {
      const std::size_t have = static_cast<std::size_t>(known_end_ - read_position_);
      if (have == 0) return {*end, {}};
      return TakeChunk(s, have);
    }
    LookAtInput();
  }
}

void InetTransfer::LookAtInput() {
  const ULONGLONG now = GetTickCount64();
  if (now - last_input_look_ < kInputLookMs) return;
  last_input_look_ = now;
  if (MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0 &&
      process_messages_) {
    process_messages_();
  }
}

void InetTransfer::Cancel() {
  cancel_requested_ = true;
  if (!shared_) return;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->cancelled = true;
  }
  // Only a signal: the worker closes its handles itself. Closing the request here, on
  // another thread, could close it between the worker's look at the flag and its next
  // call, and by then the freed handle may name another request. A worker that waits on
  // a stalled server ends at the server's next bytes or at the receive time-out; nothing
  // waits for it, and every wait on this side returns at once.
  shared_->room.WakeAll();
  shared_->Signal();
}

}  // namespace movarin::download::win32
