#pragma once
// The remote file control `InternetFile`: asks a server about one remote file without
// fetching it (a HEAD request giving whether it exists, its size and its date) and copies
// it to a local path, from the start or resuming after the bytes already there, with a
// cancel request and four events.
//
// This is the portable part: the order of the steps, the state between them, the
// results and the events. It drives the Internet functions through InternetApi (shaped
// like WinINet: a root handle, a connection, a request, an opened address) and the local
// file through CopyFiles, and processes the host's pending window messages at fixed
// points, so a host's cancel button can reach CancelDownload during a copy.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "download/remote_file_headers.h"

namespace movarin::download {

// How the root Internet handle reaches the network.
enum class InternetAccess {
  kPreconfigured,  // the system's Internet settings
  kProxy,          // through the proxy named by the proxy text
  kDirect,
};

// The agent text of every Internet handle.
inline constexpr std::string_view kInternetFileAgent =
    "Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)";

// The Internet functions the control needs. Each handle is held by the implementation;
// a close of a handle that is not open does nothing.
class InternetApi {
 public:
  virtual ~InternetApi() = default;

  // The root handle.
  virtual bool OpenSession(InternetAccess access, const std::string& proxy) = 0;
  virtual bool HasSession() const = 0;
  virtual void CloseSession() = 0;

  // An HTTP connection on the root handle; credentials only when `user` is given.
  virtual bool Connect(const std::string& host, std::uint16_t port,
                       const std::optional<std::string>& user,
                       const std::optional<std::string>& password) = 0;
  virtual void CloseConnection() = 0;
  // A HEAD request on the connection: HTTP/1.0, always from the server, never a cache,
  // redirects not followed (the control follows them itself). `secure`: over TLS, with
  // the server's certificate checked.
  virtual bool OpenHeadRequest(const std::string& path, bool secure) = 0;
  virtual bool SendRequest() = 0;
  // The raw response headers with CR LF line ends, or nullopt when the query fails (for
  // example because they do not fit kRawHeaderBufferChars characters).
  virtual std::optional<std::string> QueryRawHeaders() = 0;
  // The status code of the request as text, as the system fills a fixed-size buffer
  // (cut at its first NUL by the caller); empty when the query fails.
  virtual std::string QueryStatusCode() = 0;
  virtual void CloseRequest() = 0;

  // Opens a whole address for reading on the root handle. A redirect is followed as the
  // download engine follows one (never from https to http).
  virtual bool OpenUrl(const std::string& url) = 0;
  // Moves the read position of the opened address forward by `distance` bytes.
  virtual bool MoveForward(std::int64_t distance) = 0;
  // Reads up to buffer.size() bytes; nullopt when the read fails, 0 at the end.
  virtual std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
  virtual void CloseUrl() = 0;
};

// The local file of a copy.
class CopyTarget {
 public:
  virtual ~CopyTarget() = default;
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // Closes the file (the destructor closes it too).
  virtual void Close() = 0;
};

class CopyFiles {
 public:
  virtual ~CopyFiles() = default;
  // The length of the file in bytes, or nullopt when it does not exist or cannot be read.
  virtual std::optional<std::int64_t> Length(const std::string& path) = 0;
  // Opens the file for writing raw bytes, creating it when missing. Without `keep`, the
  // file is emptied first; with it, the bytes written go after the existing ones.
  virtual std::unique_ptr<CopyTarget> Open(const std::string& path, bool keep) = 0;
};

// The control's events, raised synchronously inside a copy.
class InternetFileListener {
 public:
  virtual ~InternetFileListener() = default;
  virtual void DownloadComplete() = 0;
  // After every read of a copy: the running byte total.
  virtual void ReadProgress(std::int64_t bytes_read) = 0;
  virtual void DownloadError(const std::string& description) = 0;
  // The copy noticed the cancel request: the running byte total.
  virtual void DownloadCancelled(std::int64_t position) = 0;
};

// The texts of DownloadError.
namespace internet_file_messages {
inline constexpr std::string_view kCouldNotFindUrl = "Could not find Url";
inline constexpr std::string_view kCouldNotReadUrl = "Could not read Url";
inline constexpr std::string_view kErrorSettingPosition = "Error, while setting position";
inline constexpr std::string_view kCouldNotOpenLocalFile = "Could not open local file";
inline constexpr std::string_view kCouldNotWriteLocalFile = "Could not write local file";
}  // namespace internet_file_messages

// The connection settings, as a host sets them before each request. A new control
// starts with these defaults.
struct InternetFileSettings {
  // Local path the copy writes.
  std::string local_file;
  // 0: the system's preconfigured settings, 1: through proxy_server:proxy_port,
  // 2: direct. Any other value opens no Internet handle, so the requests then fail.
  std::int32_t connect_type = 0;
  // "http://host[:port]/path" or "https://host[:port]/path".
  std::string url;
  // The server port. Kept with the settings; the connection takes the port written in
  // url, else the default port of the scheme.
  std::uint16_t port = 80;
  // Credentials for the site; sent only when site_user is not empty.
  std::string site_user;
  std::string site_password;
  std::uint16_t proxy_port = 8080;
  std::string proxy_server;
};

// The access type and proxy text a connection type opens the root handle with; nullopt
// for a value that opens none. The proxy text is proxy_server + ":" + proxy_port.
struct SessionOptions {
  InternetAccess access = InternetAccess::kPreconfigured;
  std::string proxy;
};
std::optional<SessionOptions> SessionOptionsFor(const InternetFileSettings& settings);

// Where a HEAD request goes: the host text of the address with a port written in it
// taken apart ("host:8080" gives "host" and 8080), else the host with default_port
// (0: the default port of HTTP; an https address passes 443).
struct HostAndPort {
  std::string host;
  std::uint16_t port = 80;
};
HostAndPort SplitHostAndPort(const std::string& host_text, std::uint16_t default_port);

using ProcessMessages = std::function<void()>;

class InternetFile {
 public:
  // All three must outlive the control.
  InternetFile(InternetApi& api, CopyFiles& files, ProcessMessages process_messages);
  InternetFile(const InternetFile&) = delete;
  InternetFile& operator=(const InternetFile&) = delete;
  ~InternetFile();

  InternetFileSettings settings;

  void SetListener(InternetFileListener* listener) { listener_ = listener; }

  // Asks the server about settings.url and fills FileExists, FileSize and LastModified.
  // When no request could be made at all, the three keep their values.
  void RequestInformation();
  // Copies the remote file into settings.local_file from its first byte.
  void StartDownload();
  // Continues settings.local_file: skips as many bytes of the remote file as the local
  // file holds and appends the rest (from the first byte when the file cannot be read).
  void ResumeDownload();
  // The running copy stops after its current read.
  void CancelDownload() { cancel_requested_ = true; }

  // Results of the last information request; False, 0 and empty text before the first.
  bool FileExists() const { return information_.exists; }
  std::int64_t FileSize() const { return information_.size; }
  const std::string& LastModified() const { return information_.last_modified; }

  // True while a request or a copy runs. A request or copy asked for meanwhile (from an
  // event handler or a processed message) is ignored.
  bool Busy() const { return busy_; }

  // Bytes read at most per read of a copy.
  static constexpr std::size_t kBlockBytes = 2048;

 private:
  void EnsureSession();
  void Inform();
  void Copy(std::int64_t resume_position);
  void Pump();
  // Closes the opened address and the root handle (and the file, when given).
  void EndCopy(CopyTarget* file);

  InternetApi& api_;
  CopyFiles& files_;
  ProcessMessages process_messages_;
  InternetFileListener* listener_ = nullptr;

  RemoteFileInformation information_;
  bool information_requested_ = false;
  bool in_copy_ = false;
  bool cancel_requested_ = false;
  bool busy_ = false;
};

}  // namespace movarin::download
