#include "download/download_engine.h"

#include <utility>

#include "download/download_messages.h"
#include "download/http_header.h"
#include "download/progress.h"
#include "download/url.h"

namespace movarin::download {

namespace {

// Failures the engine finds itself, numbered like the platform's own.
const Failure kOverflow{6, "Overflow"};
const Failure kBadFileName{52, "Bad file name or number"};

// "C:\..." : characters 2 and 3 are ":\".
bool IsDriveLetterPath(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

// Clears the running mark however Download is left.
class RunningScope {
 public:
  explicit RunningScope(bool& running) : running_(running) { running_ = true; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;
  ~RunningScope() { running_ = false; }

 private:
  bool& running_;
};

}  // namespace

// The state of one Download call.
struct DownloadEngine::Call {
  std::string url;
  std::string destination;
  std::string user_name;
  std::string password;
  std::int64_t received = 0;
  std::int64_t announced = 0;
  // False when the answer carried no usable Content-Length: the body is then read to
  // the end of the server's message.
  bool length_known = true;
  bool body_ended = false;
  // Without a Content-Length, a partial answer's Content-Range still says where the
  // server's message ends, so a body cut short can be told from a complete one.
  std::optional<std::int64_t> range_span;
  // The new file beside the destination, once created; removed unless committed.
  std::unique_ptr<ReplacingOutput> file;
  ExpectedDigest expected;
  // The body as written so far, hashed when there is a digest to meet.
  base::Sha256 body_hash;
};

DownloadEngine::DownloadEngine(Transfer& transfer, FileSystem& files, ProcessMessages process_messages)
    : transfer_(transfer), files_(files), process_messages_(std::move(process_messages)) {}

void DownloadEngine::Cancel() {
  cancel_flag_ = true;
  // A read or a request that waits on a stalled server must end now, not at its
  // time-out: the transfer returns from its wait as soon as it is cancelled.
  if (running_) transfer_.Cancel();
}

bool DownloadEngine::Download(const std::string& url, const std::string& destination,
                              const std::string& user_name, const std::string& password) {
  return Download(url, destination, ExpectedDigest(), user_name, password);
}

bool DownloadEngine::Download(const std::string& url, const std::string& destination,
                              const ExpectedDigest& expected, const std::string& user_name,
                              const std::string& password) {
  // One download at a time: a call from an event handler of the running one is refused.
  if (running_) return false;
  RunningScope running(running_);
  Call call;
  call.url = url;
  call.destination = destination;
  call.user_name = user_name;
  call.password = password;
  call.expected = expected;

  cancel_flag_ = false;
  RaiseEvent(std::string(messages::kGettingFileInformation));
  process_messages_();
  if (call.expected.IsUnusable()) {
    RaiseError(std::string(messages::kUnusableDigest));
    cancel_flag_ = true;
    return false;
  }
  if (RequestPhase(call)) TransferPhase(call);
  return Close(call);
}

bool DownloadEngine::RequestPhase(Call& call) {
  auto request_failure = [this](const Failure& failure) {
    RaiseError(messages::RequestFailure(failure.description));
    cancel_flag_ = true;
    return false;
  };
  auto report = [this](const std::string& text) {
    RaiseError(text);
    cancel_flag_ = true;
    return false;
  };

  transfer_.SetAddress(call.url);
  transfer_.SetCredentials(call.user_name, call.password);
  const std::string range = "Range: bytes=" + std::to_string(call.received) + "-\r\n";
  if (auto started = transfer_.StartRequest("GET", "", range); !started) {
    return request_failure(started.error());
  }
  while (transfer_.StillExecuting()) {
    process_messages_();
    if (cancel_flag_) return false;
  }
  // A cancel that arrived while the last wait ended must not be read as an empty answer.
  if (cancel_flag_) return false;

  const auto header_block = transfer_.HeaderBlock();
  if (!header_block) return request_failure(header_block.error());
  const std::string& block = *header_block;
  const std::string status = StatusField(block);
  if (status == "200" || status == "206") {
    // the body follows
  } else if (status == "204") {
    return report(std::string(messages::kNothingToDownload));
  } else if (status == "401") {
    return report(std::string(messages::kAuthorizationFailed));
  } else if (status == "404") {
    return report(messages::NotFound(transfer_.Address()));
  } else if (status == "\r\n") {
    return report(std::string(messages::kCannotEstablishConnection));
  } else {
    return report(messages::ServerResponse(FirstLineThroughCr(block)));
  }

  const ContentLength length = ParseContentLength(transfer_.Header("Content-Length"));
  switch (length.kind) {
    case ContentLength::Kind::kValue:
      call.announced = length.value;
      break;
    case ContentLength::Kind::kNone:
    case ContentLength::Kind::kNegative:
      call.length_known = false;
      call.range_span = ContentRangeSpan(transfer_.Header("Content-Range"));
      break;
    case ContentLength::Kind::kOverflow:
      return request_failure(kOverflow);
  }
  // Nothing announced: the download is complete as it stands. No file is created, and
  // one of that name (a library in the system folder) is left as it is.
  if (call.length_known && call.announced == 0) return false;

  if (call.length_known && IsDriveLetterPath(call.destination)) {
    const std::string root = call.destination.substr(0, call.destination.find('\\') + 1);
    // A drive whose free space cannot be read has none to offer: nothing is written to
    // a disk that may not take it.
    const auto free_bytes = files_.FreeBytes(root);
    const std::uint64_t available = free_bytes ? *free_bytes : 0;
    if (available < static_cast<std::uint64_t>(call.announced)) {
      return report(std::string(messages::kNotEnoughSpace));
    }
  }
  process_messages_();
  call.received = 0;
  return true;
}

void DownloadEngine::TransferPhase(Call& call) {
  auto transfer_failure = [&](const Failure& failure) {
    RaiseError(messages::TransferFailure(failure.number, failure.description));
    cancel_flag_ = true;
    call.file.reset();  // removes what was written
  };

  const std::size_t last_backslash = call.destination.rfind('\\');
  const std::string folder =
      last_backslash == std::string::npos ? std::string() : call.destination.substr(0, last_backslash + 1);
  const std::string name = last_backslash == std::string::npos
                               ? call.destination
                               : call.destination.substr(last_backslash + 1);
  // Nothing is ever written outside the destination's folder.
  if (!IsPlainFileName(name)) return transfer_failure(kBadFileName);
  if (!folder.empty() && !files_.FolderExists(folder)) {
    if (auto created = files_.CreateFolder(folder); !created) return transfer_failure(created.error());
  }
  auto opened = files_.OpenReplacing(call.destination);
  if (!opened) return transfer_failure(opened.error());
  call.file = std::move(*opened);

  if (!call.length_known || call.announced > 0) {
    for (;;) {
      const Chunk chunk = transfer_.ReadChunk(kChunkBytes);
      const std::span<const std::uint8_t> bytes =
          chunk.status == ChunkStatus::kData ? chunk.bytes : std::span<const std::uint8_t>();
      if (!bytes.empty()) {
        if (auto written = call.file->Write(bytes); !written) return transfer_failure(written.error());
        if (call.expected.digest()) call.body_hash.Update(bytes);
      }
      if (cancel_flag_) break;
      call.received += static_cast<std::int64_t>(bytes.size());
      if (call.length_known) {
        RaiseProgress(ProgressPercent(call.received, call.announced));
        process_messages_();
        // A chunk of one byte or none ends the body; so does a body longer than announced,
        // which can never become complete.
        if (bytes.size() <= 1 || call.received > call.announced) break;
      } else {
        if (chunk.status == ChunkStatus::kEndOfBody &&
            (!call.range_span || *call.range_span == call.received)) {
          call.body_ended = true;
          RaiseProgress(100);
        }
        process_messages_();
        if (chunk.status != ChunkStatus::kData) break;
      }
    }
  }
}

bool DownloadEngine::Close(Call& call) {
  const bool complete =
      call.length_known ? call.received == call.announced : call.body_ended;
  bool result = false;
  if (complete) {
    if (!cancel_flag_ && !BodyMatches(call)) cancel_flag_ = true;
    if (!cancel_flag_ && call.file) {
      if (auto committed = call.file->Commit(); !committed) {
        RaiseError(messages::TransferFailure(committed.error().number, committed.error().description));
        cancel_flag_ = true;
      }
    }
    if (!cancel_flag_) {
      RaiseComplete();
      result = true;
    }
  } else if (!call.file) {
    // No file was started: the failure that stopped the download has been reported.
    cancel_flag_ = true;
  } else if (!cancel_flag_) {
    RaiseError(std::string(messages::kConnectionReset));
  }
  call.file.reset();  // a file that was not committed is removed
  transfer_.Cancel();
  return result;
}

bool DownloadEngine::BodyMatches(Call& call) {
  const base::Sha256Digest* expected = call.expected.digest();
  if (expected == nullptr) return true;
  // An empty answer creates no file, and is checked like any other body.
  const base::Sha256Digest actual = call.body_hash.Finish();
  if (actual == *expected) return true;
  // Gone before the failure is reported: a host's box may stand a while.
  call.file.reset();
  RaiseError(messages::DigestMismatch(base::Sha256ToHex(*expected), base::Sha256ToHex(actual)));
  return false;
}

void DownloadEngine::RaiseError(const std::string& text) {
  if (listener_) listener_->OnError(text);
}
void DownloadEngine::RaiseEvent(const std::string& text) {
  if (listener_) listener_->OnStatus(text);
}
void DownloadEngine::RaiseProgress(int percent) {
  if (listener_) listener_->OnProgress(percent);
}
void DownloadEngine::RaiseComplete() {
  if (listener_) listener_->OnComplete();
}

}  // namespace movarin::download
