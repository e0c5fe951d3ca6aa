#include "tests/support/win32/test_server.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <vector>

#include "platform/win32/text.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::test {
namespace {

struct InternetHandleCloser {
  void operator()(void* h) const { InternetCloseHandle(static_cast<HINTERNET>(h)); }
};
using UniqueInternet = std::unique_ptr<void, InternetHandleCloser>;

// Bodies of test answers are small; a bound keeps a misbehaving server from filling memory.
constexpr std::size_t kMaxBody = 256u << 20;

std::string QueryText(HINTERNET request, DWORD info) {
  DWORD bytes = 0;
  HttpQueryInfoW(request, info, nullptr, &bytes, nullptr);
  if (bytes == 0) return {};
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
  if (!HttpQueryInfoW(request, info, buffer.data(), &bytes, nullptr)) return {};
  return win32::Narrow(std::wstring_view(buffer.data(), bytes / sizeof(wchar_t)));
}

}  // namespace

std::optional<std::string> TestServerUrl() {
  auto url = EnvVar("MOVARIN_TEST_SERVER");
  if (!url || url->empty()) return std::nullopt;
  if (url->back() != '/') url->push_back('/');
  return url;
}

std::optional<std::string> TestServerRoot() {
  auto root = EnvVar("MOVARIN_TEST_SERVER_ROOT");
  if (!root || root->empty()) return std::nullopt;
  std::string path = WindowsPath(*root);
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

HttpReply HttpGet(const std::string& url) {
  HttpReply reply;
  UniqueInternet session(InternetOpenW(L"MovarinTest", INTERNET_OPEN_TYPE_DIRECT, nullptr,
                                       nullptr, 0));
  if (!session) {
    reply.error = "InternetOpen failed: " + std::to_string(GetLastError());
    return reply;
  }
  DWORD timeout_ms = 30000;
  InternetSetOptionW(session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout_ms,
                     sizeof timeout_ms);
  InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout_ms,
                     sizeof timeout_ms);
  UniqueInternet request(InternetOpenUrlW(
      session.get(), win32::Widen(url).c_str(), nullptr, 0,
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
          INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI,
      0));
  if (!request) {
    reply.error = "InternetOpenUrl failed: " + std::to_string(GetLastError());
    return reply;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                     &size, nullptr)) {
    reply.status = static_cast<int>(status);
  }
  reply.headers = QueryText(request.get(), HTTP_QUERY_RAW_HEADERS_CRLF);
  reply.status_line = reply.headers.substr(0, reply.headers.find("\r\n"));
  char chunk[8192];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.get(), chunk, sizeof chunk, &got)) {
      reply.error = "InternetReadFile failed: " + std::to_string(GetLastError());
      return reply;
    }
    if (got == 0) break;
    if (reply.body.size() + got > kMaxBody) {
      reply.error = "body too large";
      return reply;
    }
    reply.body.append(chunk, got);
  }
  reply.ok = reply.status != 0;
  if (!reply.ok) reply.error = "no status in the answer";
  return reply;
}

std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
        c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

bool ControlServer(const std::string& request) {
  const auto server = TestServerUrl();
  if (!server) return false;
  const HttpReply reply = HttpGet(*server + "__control/" + request);
  return reply.ok && reply.status == 200;
}

bool ResetServer() { return ControlServer("reset"); }

std::string ServerLog() {
  const auto server = TestServerUrl();
  if (!server) return {};
  HttpReply reply = HttpGet(*server + "__control/log");
  return reply.ok && reply.status == 200 ? reply.body : std::string();
}

}  // namespace movarin::test
