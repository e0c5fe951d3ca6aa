// Hostile HEAD answers for the remote file control: the raw header text, read directly
// and through an information request, must give results of the known forms.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "download/internet_file.h"
#include "download/remote_file_headers.h"

namespace {

using namespace movarin::download;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckInformation(const RemoteFileInformation& info, std::string_view raw) {
  Check(info.size >= -1);
  Check(info.last_modified.size() <= raw.size() || info.last_modified == kLastModifiedNotAvailable);
  Check(info.last_modified.find("\r\n") == std::string::npos);
}

// Answers every request with the fuzzed header text (or, for a text longer than the
// buffer, with the status code path, as WinINet does).
class HeaderAnswer final : public InternetApi {
 public:
  explicit HeaderAnswer(std::string raw) : raw_(std::move(raw)) {}
  bool OpenSession(InternetAccess, const std::string&) override { return session_ = true; }
  bool HasSession() const override { return session_; }
  void CloseSession() override { session_ = false; }
  bool Connect(const std::string&, std::uint16_t, const std::optional<std::string>&,
               const std::optional<std::string>&) override {
    return session_;
  }
  void CloseConnection() override {}
  bool OpenHeadRequest(const std::string&, bool) override { return true; }
  bool SendRequest() override { return true; }
  std::optional<std::string> QueryRawHeaders() override {
    if (raw_.size() >= kRawHeaderBufferChars) return std::nullopt;
    return raw_;
  }
  std::string QueryStatusCode() override { return raw_.substr(0, 32); }
  void CloseRequest() override {}
  bool OpenUrl(const std::string&) override { return false; }
  bool MoveForward(std::int64_t) override { return false; }
  std::optional<std::size_t> Read(std::span<std::uint8_t>) override { return std::nullopt; }
  void CloseUrl() override {}

 private:
  std::string raw_;
  bool session_ = false;
};

class NoFiles final : public CopyFiles {
 public:
  std::optional<std::int64_t> Length(const std::string&) override { return std::nullopt; }
  std::unique_ptr<CopyTarget> Open(const std::string&, bool) override { return nullptr; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  CheckInformation(InformationFromRawHeaders(raw), raw);
  const RemoteFileInformation by_status = InformationFromStatusCode(raw);
  Check(by_status.size == -1 && by_status.last_modified == kLastModifiedNotAvailable);
  const int code = StatusCodeOfStatusLine(raw);
  Check(code == -1 || (code >= 0 && code <= 999));

  HeaderAnswer api(raw);
  NoFiles files;
  InternetFile file(api, files, {});
  file.settings.url = "http://127.0.0.1:8080/database.mdb";
  file.RequestInformation();
  CheckInformation({file.FileExists(), file.FileSize(), file.LastModified()}, raw);
  file.StartDownload();  // ends with "Could not find Url"
  Check(!file.Busy());
  return 0;
}
