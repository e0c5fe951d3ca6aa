#pragma once
// The one way the program fetches a small document over HTTP (the update check's reply,
// the sponsor page and its pictures): a GET through the download engine's WinINet
// transfer, which keeps the windows responsive while it waits.
#include <cstddef>
#include <functional>
#include <string>

#include "base/failure.h"
#include "base/result.h"
#include "download/win32/inet_transfer.h"

namespace movarin::download::win32 {

struct FetchedDocument {
  int status = 0;            // the answer's status code (any: an error page is an answer too)
  std::string content_type;  // the Content-Type header, empty when absent
  std::string body;
};

class HttpFetch {
 public:
  // process_messages runs while the fetch waits; it defaults to the program's pump.
  explicit HttpFetch(std::function<void()> process_messages = {});
  HttpFetch(const HttpFetch&) = delete;
  HttpFetch& operator=(const HttpFetch&) = delete;

  // The whole answer to a GET of `url`. A failure when no complete answer arrived: no
  // connection, a connection closed without a status line, a time-out, a body cut off
  // before its announced length, a body larger than max_bytes, a cancel, or a fetch
  // already running (one at a time).
  base::Result<FetchedDocument, base::Failure> Get(const std::string& url, std::size_t max_bytes);

  // Ends a running Get at once (from a message processed while it waits).
  void Cancel();
  bool Running() const { return running_; }

 private:
  InetTransfer transfer_;
  bool running_ = false;
  bool cancelled_ = false;
};

}  // namespace movarin::download::win32
