#include "download/win32/wininet_remote_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "download/http_header.h"
#include "download/redirect.h"
#include "download/remote_file_headers.h"
#include "platform/win32/text.h"

namespace movarin::download::win32 {

using movarin::win32::Narrow;
using movarin::win32::UniqueFile;
using movarin::win32::Widen;

namespace {

constexpr DWORD kHttpOk = 200;

DWORD AccessType(InternetAccess access) {
  switch (access) {
    case InternetAccess::kPreconfigured: return INTERNET_OPEN_TYPE_PRECONFIG;
    case InternetAccess::kProxy: return INTERNET_OPEN_TYPE_PROXY;
    case InternetAccess::kDirect: return INTERNET_OPEN_TYPE_DIRECT;
  }
  return INTERNET_OPEN_TYPE_PRECONFIG;
}

class WindowsCopyTarget final : public CopyTarget {
 public:
  explicit WindowsCopyTarget(UniqueFile file) : file_(std::move(file)) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      if (!file_ || !WriteFile(file_.get(), bytes.data(), count, &written, nullptr) || written == 0) return false;
      bytes = bytes.subspan(written);
    }
    return true;
  }
  void Close() override { file_.reset(); }

 private:
  UniqueFile file_;
};

}  // namespace

bool WinInetApi::OpenSession(InternetAccess access, const std::string& proxy) {
  const std::wstring agent = Widen(kInternetFileAgent);
  const std::wstring proxy_text = Widen(proxy);
  session_.reset(InternetOpenW(agent.c_str(), AccessType(access),
                               access == InternetAccess::kProxy ? proxy_text.c_str() : nullptr, nullptr, 0));
  if (!session_) return false;
  // A server that never answers must not hold the window for minutes.
  DWORD connect = kConnectTimeoutMs, receive = kReceiveTimeoutMs;
  InternetSetOptionW(session_.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionW(session_.get(), INTERNET_OPTION_SEND_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionW(session_.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
  return true;
}

bool WinInetApi::Connect(const std::string& host, std::uint16_t port, const std::optional<std::string>& user,
                         const std::optional<std::string>& password) {
  connection_.reset();
  if (!session_) return false;
  const std::wstring wide_host = Widen(host);
  const std::wstring wide_user = Widen(user.value_or(""));
  const std::wstring wide_password = Widen(password.value_or(""));
  connection_.reset(InternetConnectW(session_.get(), wide_host.c_str(), port, user ? wide_user.c_str() : nullptr,
                                     user ? wide_password.c_str() : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  return static_cast<bool>(connection_);
}

bool WinInetApi::OpenHeadRequest(const std::string& path, bool secure) {
  request_.reset();
  if (!connection_) return false;
  const std::wstring wide_path = Widen(path);
  // The control follows redirects itself: WinINet would follow one from https to http.
  // Certificate checks stay on; no failure of them is ever ignored.
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI;
  if (secure) flags |= INTERNET_FLAG_SECURE;
  request_.reset(HttpOpenRequestW(connection_.get(), L"HEAD", wide_path.c_str(), L"HTTP/1.0", nullptr, nullptr,
                                  flags, 0));
  return static_cast<bool>(request_);
}

bool WinInetApi::SendRequest() { return request_ && HttpSendRequestW(request_.get(), nullptr, 0, nullptr, 0); }

std::optional<std::string> WinInetApi::QueryRawHeaders() {
  if (!request_) return std::nullopt;
  std::array<wchar_t, kRawHeaderBufferChars> buffer{};
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request_.get(), HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &bytes, nullptr)) {
    return std::nullopt;
  }
  return Narrow(std::wstring_view(buffer.data(), std::min<std::size_t>(bytes / sizeof(wchar_t), buffer.size())));
}

std::string WinInetApi::QueryStatusCode() {
  if (!request_) return {};
  std::array<wchar_t, 32> buffer{};
  DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE, buffer.data(), &bytes, nullptr)) return {};
  // The whole buffer, NULs included: the caller cuts it at its first NUL.
  return Narrow(std::wstring_view(buffer.data(), buffer.size()));
}

bool WinInetApi::OpenUrl(const std::string& url) {
  url_.reset();
  if (!session_) return false;
  std::string address = url;
  DWORD status = 0;
  for (int redirects = 0;; ++redirects) {
    const std::wstring wide_url = Widen(address);
    // Reuse the connection, and always fetch from the server: a stale cached copy is no
    // copy. Redirects are followed below, never from https to http.
    url_.reset(InternetOpenUrlW(session_.get(), wide_url.c_str(), nullptr, 0,
                                INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                    INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI,
                                0));
    if (!url_) return false;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(url_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
      status = kHttpOk;  // no HTTP answer, so no status to check
      break;
    }
    if (redirects >= kMaxRedirects || !IsRedirectStatus(std::to_string(status))) break;
    std::array<wchar_t, 2048> location{};
    DWORD bytes = static_cast<DWORD>(location.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(url_.get(), HTTP_QUERY_LOCATION, location.data(), &bytes, nullptr)) break;
    auto next = RedirectTarget(address, Narrow(std::wstring_view(location.data(), bytes / sizeof(wchar_t))));
    if (!next) break;
    address = std::move(*next);
  }
  if (status != kHttpOk) {
    url_.reset();
    return false;
  }
  url_position_ = 0;
  url_length_.reset();
  std::array<wchar_t, 32> length{};
  DWORD bytes = static_cast<DWORD>(length.size() * sizeof(wchar_t));
  if (HttpQueryInfoW(url_.get(), HTTP_QUERY_CONTENT_LENGTH, length.data(), &bytes, nullptr)) {
    const ContentLength parsed = ParseContentLength(Narrow(std::wstring_view(length.data(), bytes / sizeof(wchar_t))));
    if (parsed.kind == ContentLength::Kind::kValue) url_length_ = parsed.value;
  }
  return true;
}

bool WinInetApi::MoveForward(std::int64_t distance) {
  if (!url_ || distance < 0) return false;
  if (distance <= std::numeric_limits<LONG>::max() &&
      InternetSetFilePointer(url_.get(), static_cast<LONG>(distance), nullptr, FILE_CURRENT, 0) !=
          INVALID_SET_FILE_POINTER) {
    url_position_ += distance;
    return true;
  }
  std::vector<std::uint8_t> dropped(64 * 1024);
  while (distance > 0) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::int64_t>(distance, static_cast<std::int64_t>(dropped.size())));
    if (!InternetReadFile(url_.get(), dropped.data(), want, &got) || got == 0) return false;
    distance -= got;
    url_position_ += got;
  }
  return true;
}

std::optional<std::size_t> WinInetApi::Read(std::span<std::uint8_t> buffer) {
  if (!url_) return std::nullopt;
  DWORD got = 0;
  if (!InternetReadFile(url_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got)) return std::nullopt;
  url_position_ += got;
  if (got == 0 && url_length_ && url_position_ < *url_length_) return std::nullopt;
  return got;
}

std::optional<std::int64_t> WindowsCopyFiles::Length(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::unique_ptr<CopyTarget> WindowsCopyFiles::Open(const std::string& path, bool keep) {
  UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER zero{};
  if (keep) {
    if (!SetFilePointerEx(file.get(), zero, nullptr, FILE_END)) return nullptr;
  } else if (!SetEndOfFile(file.get())) {
    return nullptr;
  }
  return std::make_unique<WindowsCopyTarget>(std::move(file));
}

}  // namespace movarin::download::win32
