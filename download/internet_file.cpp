#include "download/internet_file.h"

#include <array>
#include <utility>

#include "download/http_header.h"
#include "download/redirect.h"
#include "download/url.h"

namespace movarin::download {

namespace {

namespace text = internet_file_messages;

// Asks the connection for the default port of its service.
constexpr std::uint16_t kDefaultServicePort = 0;

// Marks the control busy for the lifetime of one public operation.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  ~BusyScope() { busy_ = false; }

 private:
  bool& busy_;
};

}  // namespace

std::optional<SessionOptions> SessionOptionsFor(const InternetFileSettings& settings) {
  switch (settings.connect_type) {
    case 0:
      return SessionOptions{InternetAccess::kPreconfigured, {}};
    case 1: {
      std::string proxy = settings.proxy_server;
      proxy.push_back(':');
      proxy.append(std::to_string(settings.proxy_port));
      return SessionOptions{InternetAccess::kProxy, std::move(proxy)};
    }
    case 2:
      return SessionOptions{InternetAccess::kDirect, {}};
    default:
      return std::nullopt;
  }
}

HostAndPort SplitHostAndPort(const std::string& host_text, std::uint16_t default_port) {
  // "[::1]:8080": the port follows the closing bracket.
  std::size_t search_from = 0;
  if (!host_text.empty() && host_text.front() == '[') {
    const std::size_t close = host_text.find(']');
    if (close == std::string::npos) return {host_text, default_port};
    search_from = close;
  }
  const std::size_t colon = host_text.find(':', search_from);
  if (colon == std::string::npos) return {host_text, default_port};
  std::string host = host_text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  const std::string_view port_text = std::string_view(host_text).substr(colon + 1);
  if (port_text.empty()) return {host, default_port};
  // A port that is not a number stays part of the host text, where the connection fails.
  const auto port = ParsePortNumber(port_text);
  if (!port) return {host_text, default_port};
  return {host, *port};
}

InternetFile::InternetFile(InternetApi& api, CopyFiles& files, ProcessMessages process_messages)
    : api_(api), files_(files), process_messages_(std::move(process_messages)) {}

InternetFile::~InternetFile() {
  api_.CloseUrl();
  api_.CloseRequest();
  api_.CloseConnection();
  api_.CloseSession();
}

void InternetFile::Pump() {
  if (process_messages_) process_messages_();
}

void InternetFile::EnsureSession() {
  if (api_.HasSession()) return;
  if (auto options = SessionOptionsFor(settings)) api_.OpenSession(options->access, options->proxy);
}

void InternetFile::RequestInformation() {
  if (busy_) return;
  BusyScope busy(busy_);
  Inform();
}

void InternetFile::Inform() {
  information_requested_ = true;
  std::string address = settings.url;
  std::optional<std::string> user, password;
  if (!settings.site_user.empty()) {
    user = settings.site_user;
    password = settings.site_password;
  }
  // The server the site's credentials were given for: the first one asked.
  std::optional<std::pair<HostAndPort, bool>> credentials_server;

  Pump();
  EnsureSession();
  Pump();
  // WinINet is told not to follow redirects: it would follow one from https to http. They
  // are followed here, as the download engine follows them, up to kMaxRedirects.
  for (int redirects = 0;; ++redirects) {
    const bool secure = IsSecureAddress(address);
    std::string host_text = address;
    std::string path;
    SplitUrl(host_text, path);
    if (path.empty()) path.push_back('/');
    const HostAndPort target = SplitHostAndPort(host_text, secure ? kHttpsPort : kDefaultServicePort);
    if (!credentials_server) credentials_server.emplace(target, secure);
    // The site's user name and password go to the server they were given for, nowhere else.
    const bool same_server = credentials_server->first.host == target.host &&
                             credentials_server->first.port == target.port && credentials_server->second == secure;
    const bool connected = api_.Connect(target.host, target.port, same_server ? user : std::nullopt,
                                        same_server ? password : std::nullopt);
    if (!connected || !api_.OpenHeadRequest(path, secure)) break;
    Pump();
    api_.SendRequest();
    Pump();
    const std::optional<std::string> raw = api_.QueryRawHeaders();
    if (!raw) {
      information_ = InformationFromStatusCode(api_.QueryStatusCode());
      break;
    }
    if (redirects < kMaxRedirects && IsRedirectStatus(StatusField(*raw))) {
      auto next = RedirectTarget(address, HeaderValue(*raw, "Location"));
      if (next) {
        address = std::move(*next);
        api_.CloseRequest();
        api_.CloseConnection();
        continue;
      }
    }
    // The last answer, or a redirect that is not followed, as it stands.
    information_ = InformationFromRawHeaders(*raw);
    break;
  }
  Pump();
  api_.CloseRequest();
  api_.CloseConnection();
  if (in_copy_) api_.CloseSession();
}

void InternetFile::StartDownload() {
  if (busy_) return;
  BusyScope busy(busy_);
  Copy(0);
}

void InternetFile::ResumeDownload() {
  if (busy_) return;
  BusyScope busy(busy_);
  Copy(files_.Length(settings.local_file).value_or(0));
}

void InternetFile::EndCopy(CopyTarget* file) {
  api_.CloseUrl();
  api_.CloseSession();
  if (file) file->Close();
}

void InternetFile::Copy(std::int64_t resume_position) {
  cancel_requested_ = false;
  Pump();
  EnsureSession();
  Pump();
  in_copy_ = false;
  // The information is asked for at most once: later copies do not refresh it.
  if (!information_requested_) Inform();
  in_copy_ = true;

  Pump();
  if (!api_.OpenUrl(settings.url)) {
    EndCopy(nullptr);
    if (listener_) listener_->DownloadError(std::string(text::kCouldNotFindUrl));
    return;
  }
  std::int64_t total = 0;
  if (resume_position != 0) {
    Pump();
    if (!api_.MoveForward(resume_position)) {
      EndCopy(nullptr);
      if (listener_) listener_->DownloadError(std::string(text::kErrorSettingPosition));
      return;
    }
    total = resume_position;
  }

  Pump();
  std::unique_ptr<CopyTarget> file = files_.Open(settings.local_file, resume_position != 0);
  if (!file) {
    EndCopy(nullptr);
    if (listener_) listener_->DownloadError(std::string(text::kCouldNotOpenLocalFile));
    return;
  }
  std::array<std::uint8_t, kBlockBytes> block;
  for (;;) {
    Pump();
    const std::optional<std::size_t> got = api_.Read(block);
    if (!got || *got > block.size()) {
      Pump();
      EndCopy(file.get());
      if (listener_) listener_->DownloadError(std::string(text::kCouldNotReadUrl));
      return;
    }
    Pump();
    total += static_cast<std::int64_t>(*got);
    const bool finished = *got == 0;
    if (!finished && !file->Write(std::span<const std::uint8_t>(block.data(), *got))) {
      EndCopy(file.get());
      if (listener_) listener_->DownloadError(std::string(text::kCouldNotWriteLocalFile));
      return;
    }
    if (listener_) listener_->ReadProgress(total);
    Pump();
    if (cancel_requested_) {
      Pump();
      if (listener_) listener_->DownloadCancelled(total);
      EndCopy(file.get());
      return;
    }
    if (finished) {
      EndCopy(file.get());
      if (listener_) listener_->DownloadComplete();
      return;
    }
  }
}

}  // namespace movarin::download
