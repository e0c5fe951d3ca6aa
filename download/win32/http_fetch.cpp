#include "download/win32/http_fetch.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "download/download_messages.h"
#include "download/http_header.h"
#include "platform/win32/message_pump.h"

namespace movarin::download::win32 {

namespace {

constexpr std::size_t kReadBytes = 64 * 1024;

const base::Failure kCancelled{static_cast<std::int64_t>(ERROR_INTERNET_OPERATION_CANCELLED),
                               "The operation was cancelled"};
const base::Failure kBusy{0, "Another fetch is running"};
const base::Failure kTooLarge{0, "The answer is too large"};
const base::Failure kCutOff{0, std::string(messages::kConnectionReset)};
const base::Failure kNoAnswer{0, std::string(messages::kCannotEstablishConnection)};

int StatusCode(const std::string& block) {
  const std::string field = StatusField(block);
  if (field.size() != 3) return 0;
  int code = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return 0;
    code = code * 10 + (c - '0');
  }
  return code;
}

}  // namespace

HttpFetch::HttpFetch(std::function<void()> process_messages)
    : transfer_(process_messages ? std::move(process_messages)
                                 : std::function<void()>(&movarin::win32::ProcessPendingMessages)) {}

void HttpFetch::Cancel() {
  if (!running_) return;
  cancelled_ = true;
  transfer_.Cancel();
}

base::Result<FetchedDocument, base::Failure> HttpFetch::Get(const std::string& url, std::size_t max_bytes) {
  if (running_) return kBusy;
  running_ = true;
  cancelled_ = false;
  struct Done {
    bool& running;
    ~Done() { running = false; }
  } done{running_};

  transfer_.SetAddress(url);
  transfer_.SetCredentials({}, {});
  if (auto started = transfer_.StartRequest("GET", {}, {}); !started) return started.error();
  while (transfer_.StillExecuting()) {
    if (cancelled_) break;
  }
  if (cancelled_) return kCancelled;
  auto header_block = transfer_.HeaderBlock();
  if (!header_block) return header_block.error();
  const std::string& block = *header_block;

  FetchedDocument document;
  document.status = StatusCode(block);
  // WinINet reads a connection closed without a status line as an answer with no head.
  if (document.status == 0) {
    transfer_.Cancel();
    return kNoAnswer;
  }
  document.content_type = HeaderValue(block, "Content-Type");
  const ContentLength announced = ParseContentLength(HeaderValue(block, "Content-Length"));
  for (;;) {
    const Chunk chunk = transfer_.ReadChunk(kReadBytes);
    if (cancelled_) return kCancelled;
    if (chunk.status == ChunkStatus::kBroken) return kCutOff;
    if (chunk.status == ChunkStatus::kEndOfBody) break;
    if (chunk.bytes.size() > max_bytes - document.body.size()) {
      transfer_.Cancel();
      return kTooLarge;
    }
    document.body.append(chunk.bytes.begin(), chunk.bytes.end());
  }
  transfer_.Cancel();  // ends the request and frees its worker
  if (announced.kind == ContentLength::Kind::kValue &&
      static_cast<std::uint64_t>(announced.value) > document.body.size()) {
    return kCutOff;
  }
  return document;
}

}  // namespace movarin::download::win32
