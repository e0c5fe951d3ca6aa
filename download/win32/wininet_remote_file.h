#pragma once
// The remote file control's Internet functions on WinINet and its local file on the
// Windows file system. Each call blocks until WinINet answers; the control processes
// window messages between the calls.
#include <windows.h>
#include <wininet.h>

#include "download/internet_file.h"
#include "platform/win32/handles.h"

namespace movarin::download::win32 {

struct InternetHandleTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { InternetCloseHandle(h); }
};
using UniqueInternetHandle = movarin::win32::UniqueHandle<HINTERNET, InternetHandleTraits>;

class WinInetApi final : public InternetApi {
 public:
  bool OpenSession(InternetAccess access, const std::string& proxy) override;
  bool HasSession() const override { return static_cast<bool>(session_); }
  void CloseSession() override { session_.reset(); }
  bool Connect(const std::string& host, std::uint16_t port, const std::optional<std::string>& user,
               const std::optional<std::string>& password) override;
  void CloseConnection() override { connection_.reset(); }
  bool OpenHeadRequest(const std::string& path, bool secure) override;
  bool SendRequest() override;
  std::optional<std::string> QueryRawHeaders() override;
  std::string QueryStatusCode() override;
  void CloseRequest() override { request_.reset(); }
  // Only an answer of status 200 counts as opened: an error page is no copy of the file.
  // Redirects are followed as the download engine follows them (never https to http).
  bool OpenUrl(const std::string& url) override;
  // InternetSetFilePointer where WinINet can move; otherwise the bytes are read and
  // dropped, which moves the position just as well.
  bool MoveForward(std::int64_t distance) override;
  // A read that finds the end of the body before the opened address's announced length
  // fails: a connection broken off is no complete copy.
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
  void CloseUrl() override { url_.reset(); }

  // How long a connection attempt and a wait for data may last.
  static constexpr DWORD kConnectTimeoutMs = 15000;
  static constexpr DWORD kReceiveTimeoutMs = 30000;

 private:
  UniqueInternetHandle session_;
  UniqueInternetHandle connection_;
  UniqueInternetHandle request_;
  UniqueInternetHandle url_;
  // The Content-Length of the opened address, and the bytes read or skipped of it.
  std::optional<std::int64_t> url_length_;
  std::int64_t url_position_ = 0;
};

class WindowsCopyFiles final : public CopyFiles {
 public:
  std::optional<std::int64_t> Length(const std::string& path) override;
  std::unique_ptr<CopyTarget> Open(const std::string& path, bool keep) override;
};

}  // namespace movarin::download::win32
