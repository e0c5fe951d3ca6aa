#pragma once
// The test HTTP server as a Wine test reaches it: its address and folder (set by
// wine-run.sh --with-server), and a tiny WinINet GET for its control requests and for
// checking what it serves. Never cached: every call goes to the server.
#include <optional>
#include <string>

namespace movarin::test {

// MOVARIN_TEST_SERVER ("http://127.0.0.1:PORT/", always ending in "/") and
// MOVARIN_TEST_SERVER_ROOT (as a Windows path).
std::optional<std::string> TestServerUrl();
std::optional<std::string> TestServerRoot();

struct HttpReply {
  bool ok = false;          // a complete answer arrived (any status)
  int status = 0;           // the status code, 0 when no answer
  std::string status_line;  // e.g. "HTTP/1.1 404 File Not Found"
  std::string headers;      // the raw header block, CR LF line ends
  std::string body;
  std::string error;        // why ok is false
};

HttpReply HttpGet(const std::string& url);

// "%XX" for every byte outside A-Z a-z 0-9 - _ . ~ /
std::string UrlEncode(const std::string& text);

// GET <MOVARIN_TEST_SERVER>__control/<request>; true when the server answered 200.
// Example: ControlServer("set?path=/files/a.dll&mode=status&status=" + UrlEncode("404 Not Found")).
bool ControlServer(const std::string& request);
// GET <MOVARIN_TEST_SERVER>__control/reset.
bool ResetServer();
// The server's request log (see tools/test_server/README.md), empty on failure.
std::string ServerLog();

}  // namespace movarin::test
