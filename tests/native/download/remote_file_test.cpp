// The remote file control's header reading and its request and copy steps, against an
// in-memory Internet and disk. The WinINet side is proven against the test server by
// tests/wine/download/remote_file_wine_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "download/internet_file.h"
#include "download/redirect.h"
#include "download/remote_file_headers.h"

namespace movarin::download {
namespace {

using Log = std::vector<std::string>;

// ---- Header reading ---------------------------------------------------------------

TEST(RemoteFileHeaders, SizeDateAndExistenceOfAnAnswer) {
  struct Case {
    const char* what;
    std::string raw;
    bool exists;
    std::int64_t size;
    std::string last_modified;
  };
  const std::string ok = "HTTP/1.1 200 OK\r\nDate: Mon, 01 Jan 2024 00:00:00 GMT\r\n";
  const Case cases[] = {
      {"size and date", ok + "Last-Modified: Tue, 02 Jan 2024 10:00:00 GMT\r\nContent-Length: 1000500\r\n\r\n",
       true, 1000500, "Tue, 02 Jan 2024 10:00:00 GMT"},
      {"neither header", ok + "Server: x\r\n\r\n", true, -1, "Not Available"},
      {"names in any case, value as received",
       ok + "LAST-modified: tue, 02 JAN 2024\r\ncontent-LENGTH: 7\r\n\r\n", true, 7, "tue, 02 JAN 2024"},
      {"beyond 32 bits", ok + "Content-Length: 5000000000\r\n\r\n", true, 5000000000LL, "Not Available"},
      {"beyond 64 bits", ok + "Content-Length: 99999999999999999999\r\n\r\n", true, -1, "Not Available"},
      {"negative", ok + "Content-Length: -5\r\n\r\n", true, -1, "Not Available"},
      {"not a number", ok + "Content-Length: many\r\n\r\n", true, -1, "Not Available"},
      {"zero", ok + "Content-Length: 0\r\n\r\n", true, 0, "Not Available"},
      {"no blank after the colon", ok + "Content-Length:5\r\nLast-Modified:x\r\n\r\n", true, -1,
       "Not Available"},
      {"empty date", ok + "Last-Modified: \r\n\r\n", true, -1, ""},
      {"last line without CR LF", ok + "Last-Modified: Tue\r\nContent-Length: 12", true, 12, "Tue"},
      {"date at the very end", ok + "Last-Modified: Wed, 03", true, -1, "Wed, 03"},
      // Only a header line's own name counts, never a longer name or another header's value.
      {"names inside other lines",
       ok + "X-Content-Length: 7\r\nX-Note: last-modified: never\r\nX-Note: content-length: 9\r\n\r\n",
       true, -1, "Not Available"},
      {"the real header after a lookalike", ok + "X-Content-Length: 7\r\nContent-Length: 5\r\n\r\n", true, 5,
       "Not Available"},
      {"first of two", ok + "Content-Length: 5\r\nContent-Length: 6\r\n\r\n", true, 5, "Not Available"},
      {"404 File Not Found", "HTTP/1.1 404 File Not Found\r\nContent-Length: 20\r\n\r\n", false, 20,
       "Not Available"},
      {"404 in other words", "HTTP/1.1 404 Not Found\r\n\r\n", false, -1, "Not Available"},
      {"404 from an HTTP/1.0 server", "HTTP/1.0 404 Object Not Found\r\n\r\n", false, -1, "Not Available"},
      {"404 without words", "HTTP/1.1 404\r\n\r\n", false, -1, "Not Available"},
      {"other errors count as existing", "HTTP/1.1 500 Internal Server Error\r\n\r\n", true, -1,
       "Not Available"},
      {"401", "HTTP/1.1 401 Unauthorized\r\n\r\n", true, -1, "Not Available"},
      {"404 words in a header are not a status", ok + "X-Old: HTTP/1.1 404 File Not Found\r\n\r\n", true, -1,
       "Not Available"},
      {"a four-digit code is no status line", "HTTP/1.1 4040 Odd\r\n\r\n", false, -1, "Not Available"},
      // No status line: no answer at all.
      {"no status line", "garbage", false, -1, "Not Available"},
      {"a bare line end", "\r\n", false, -1, "Not Available"},
      {"empty", "", false, -1, "Not Available"},
  };
  for (const Case& c : cases) {
    const RemoteFileInformation info = InformationFromRawHeaders(c.raw);
    EXPECT_EQ(info.exists, c.exists) << c.what;
    EXPECT_EQ(info.size, c.size) << c.what;
    EXPECT_EQ(info.last_modified, c.last_modified) << c.what;
  }
}

TEST(RemoteFileHeaders, StatusCodeAloneWhenTheHeadersDidNotFit) {
  EXPECT_TRUE(InformationFromStatusCode(std::string("200\0\0\0", 6)).exists);
  EXPECT_FALSE(InformationFromStatusCode("404").exists);
  EXPECT_FALSE(InformationFromStatusCode("206").exists);
  EXPECT_FALSE(InformationFromStatusCode("").exists);
  EXPECT_FALSE(InformationFromStatusCode(std::string("2\0" "00", 4)).exists);
  const RemoteFileInformation info = InformationFromStatusCode("200");
  EXPECT_EQ(info.size, -1);
  EXPECT_EQ(info.last_modified, "Not Available");
}

TEST(RemoteFileHeaders, StatusLineCode) {
  EXPECT_EQ(StatusCodeOfStatusLine("HTTP/1.1 404 File Not Found\r\n"), 404);
  EXPECT_EQ(StatusCodeOfStatusLine("http/1.0 200\r\n"), 200);
  EXPECT_EQ(StatusCodeOfStatusLine("HTTP/1.1 20\r\n"), -1);
  EXPECT_EQ(StatusCodeOfStatusLine("HTTP/1.1 2x0 OK\r\n"), -1);
  EXPECT_EQ(StatusCodeOfStatusLine("ICY 200 OK\r\n"), -1);
  EXPECT_EQ(StatusCodeOfStatusLine("HTTP/1.1\r\n404 x"), -1);
}

TEST(RemoteFileSettings, ConnectionTypesAndHosts) {
  InternetFileSettings settings;
  EXPECT_EQ(SessionOptionsFor(settings)->access, InternetAccess::kPreconfigured);
  settings.connect_type = 1;
  settings.proxy_server = "proxy.example";
  EXPECT_EQ(SessionOptionsFor(settings)->access, InternetAccess::kProxy);
  EXPECT_EQ(SessionOptionsFor(settings)->proxy, "proxy.example:8080");
  settings.proxy_server.clear();
  settings.proxy_port = 3128;
  EXPECT_EQ(SessionOptionsFor(settings)->proxy, ":3128");
  settings.proxy_port = 8080;
  EXPECT_EQ(SessionOptionsFor(settings)->proxy, ":8080");
  settings.connect_type = 2;
  EXPECT_EQ(SessionOptionsFor(settings)->access, InternetAccess::kDirect);
  for (const int other : {3, -1, 1000}) {
    settings.connect_type = other;
    EXPECT_FALSE(SessionOptionsFor(settings)) << other;
  }

  struct Case {
    const char* text;
    std::uint16_t default_port;
    const char* host;
    std::uint16_t port;
  };
  const Case cases[] = {
      {"127.0.0.1:8080", 80, "127.0.0.1", 8080}, {"example.com", 81, "example.com", 81},
      {"h:65535", 80, "h", 65535},                {"h:", 80, "h", 80},
      {"h:65536", 80, "h:65536", 80},             {"h:8o", 80, "h:8o", 80},
      {"[::1]:8080", 80, "::1", 8080},            {"[::1]", 80, "[::1]", 80},
      {"", 80, "", 80},
  };
  for (const Case& c : cases) {
    const HostAndPort target = SplitHostAndPort(c.text, c.default_port);
    EXPECT_EQ(target.host, c.host) << c.text;
    EXPECT_EQ(target.port, c.port) << c.text;
  }
}

// ---- The control against an in-memory Internet --------------------------------------

class FakeInternet final : public InternetApi {
 public:
  // What the next answers are.
  bool session_opens = true;
  bool request_opens = true;
  std::optional<std::string> raw_headers = std::string("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n");
  // Answers of the first HEAD requests, in order, before raw_headers answers the rest.
  std::deque<std::string> first_answers;
  std::string status_code = "200";
  bool url_opens = true;
  bool move_works = true;
  std::vector<std::uint8_t> body;
  std::optional<int> failing_read;  // read number (from 1) that fails
  std::function<void()> on_read;

  Log log;
  int heads = 0;
  int reads = 0;

  bool OpenSession(InternetAccess access, const std::string& proxy) override {
    static const char* const kNames[] = {"preconfigured", "proxy", "direct"};
    log.push_back(std::string("open session ") + kNames[static_cast<int>(access)] +
                  (proxy.empty() ? "" : " " + proxy));
    session_ = session_opens;
    return session_;
  }
  bool HasSession() const override { return session_; }
  void CloseSession() override {
    if (session_) log.push_back("close session");
    session_ = false;
  }
  bool Connect(const std::string& host, std::uint16_t port, const std::optional<std::string>& user,
               const std::optional<std::string>& password) override {
    log.push_back("connect " + host + ":" + std::to_string(port) +
                  (user ? " user=" + *user + " password=" + password.value_or("?") : " no credentials"));
    connection_ = session_;
    return connection_;
  }
  void CloseConnection() override {
    if (connection_) log.push_back("close connection");
    connection_ = false;
  }
  bool OpenHeadRequest(const std::string& path, bool secure) override {
    log.push_back("HEAD " + path + (secure ? " secure" : ""));
    request_ = connection_ && request_opens;
    if (request_) ++heads;
    return request_;
  }
  bool SendRequest() override { return request_; }
  std::optional<std::string> QueryRawHeaders() override {
    if (first_answers.empty()) return raw_headers;
    std::string answer = std::move(first_answers.front());
    first_answers.pop_front();
    return answer;
  }
  std::string QueryStatusCode() override { return status_code; }
  void CloseRequest() override {
    if (request_) log.push_back("close request");
    request_ = false;
  }
  bool OpenUrl(const std::string& url) override {
    log.push_back("open url " + url);
    url_ = session_ && url_opens;
    offset_ = 0;
    return url_;
  }
  bool MoveForward(std::int64_t distance) override {
    log.push_back("move " + std::to_string(distance));
    if (!url_ || !move_works) return false;
    offset_ += static_cast<std::size_t>(distance);
    return true;
  }
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
    ++reads;
    if (on_read) on_read();
    if (!url_ || (failing_read && *failing_read == reads)) return std::nullopt;
    const std::size_t n = std::min(buffer.size(), body.size() - std::min(offset_, body.size()));
    std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(offset_), n, buffer.begin());
    offset_ += n;
    return n;
  }
  void CloseUrl() override {
    if (url_) log.push_back("close url");
    url_ = false;
  }

 private:
  bool session_ = false, connection_ = false, request_ = false, url_ = false;
  std::size_t offset_ = 0;
};

class MemoryDisk final : public CopyFiles {
 public:
  std::map<std::string, std::vector<std::uint8_t>> files;
  bool opens = true;
  bool writes = true;
  Log log;

  std::optional<std::int64_t> Length(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return static_cast<std::int64_t>(it->second.size());
  }
  std::unique_ptr<CopyTarget> Open(const std::string& path, bool keep) override;
};

class MemoryTarget final : public CopyTarget {
 public:
  MemoryTarget(MemoryDisk& disk, std::vector<std::uint8_t>& bytes) : disk_(disk), bytes_(bytes) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    if (!disk_.writes) return false;
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return true;
  }
  void Close() override {
    if (!closed_) disk_.log.push_back("close file");
    closed_ = true;
  }

 private:
  MemoryDisk& disk_;
  std::vector<std::uint8_t>& bytes_;
  bool closed_ = false;
};

std::unique_ptr<CopyTarget> MemoryDisk::Open(const std::string& path, bool keep) {
  log.push_back(std::string("open ") + (keep ? "keeping " : "") + path);
  if (!opens) return nullptr;
  auto& bytes = files[path];
  if (!keep) bytes.clear();
  return std::make_unique<MemoryTarget>(*this, bytes);
}

class EventLog final : public InternetFileListener {
 public:
  Log events;
  std::function<void(std::int64_t)> on_progress;
  void DownloadComplete() override { events.push_back("complete"); }
  void ReadProgress(std::int64_t bytes) override {
    events.push_back("progress " + std::to_string(bytes));
    if (on_progress) on_progress(bytes);
  }
  void DownloadError(const std::string& text) override { events.push_back("error " + text); }
  void DownloadCancelled(std::int64_t position) override {
    events.push_back("cancelled " + std::to_string(position));
  }
};

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

class InternetFileTest : public ::testing::Test {
 protected:
  InternetFileTest() : file(net, disk, [this] { ++pumps; if (on_pump) on_pump(); }) {
    file.SetListener(&events);
    file.settings.url = "http://127.0.0.1:8080/dir/database.mdb";
    file.settings.local_file = "C:\\copy\\database.mdb";
    net.body = Pattern(5000);
  }

  FakeInternet net;
  MemoryDisk disk;
  EventLog events;
  int pumps = 0;
  std::function<void()> on_pump;
  InternetFile file;
};

TEST_F(InternetFileTest, StartsWithNoInformation) {
  EXPECT_FALSE(file.FileExists());
  EXPECT_EQ(file.FileSize(), 0);
  EXPECT_EQ(file.LastModified(), "");
  EXPECT_TRUE(net.log.empty());
}

TEST_F(InternetFileTest, InformationRequestAsksTheServerWithHead) {
  net.raw_headers = "HTTP/1.1 200 OK\r\nLast-Modified: Tue, 02 Jan 2024\r\nContent-Length: 1000500\r\n\r\n";
  file.settings.site_password = "secret";  // without a user name: no credentials
  file.RequestInformation();
  EXPECT_EQ(net.log, (Log{"open session preconfigured", "connect 127.0.0.1:8080 no credentials",
                          "HEAD /dir/database.mdb", "close request", "close connection"}));
  EXPECT_TRUE(file.FileExists());
  EXPECT_EQ(file.FileSize(), 1000500);
  EXPECT_EQ(file.LastModified(), "Tue, 02 Jan 2024");
  EXPECT_GT(pumps, 0);

  // The root handle survives between requests made before any copy; a second request
  // asks the server again.
  net.log.clear();
  file.settings.site_user = "ann";
  file.settings.url = "http://example.com/x";
  file.settings.port = 81;
  file.RequestInformation();
  // The port of the address, else the service's default (0); the Port setting is kept only.
  EXPECT_EQ(net.log, (Log{"connect example.com:0 user=ann password=secret", "HEAD /x", "close request",
                          "close connection"}));
  EXPECT_EQ(net.heads, 2);
}

TEST_F(InternetFileTest, HttpsAddressAsksOverTlsOnItsPort) {
  file.settings.url = "https://catalogue.example/database.mdb";
  file.RequestInformation();
  EXPECT_EQ(net.log, (Log{"open session preconfigured", "connect catalogue.example:443 no credentials",
                          "HEAD /database.mdb secure", "close request", "close connection"}));
  EXPECT_EQ(file.FileSize(), 5000);

  net.log.clear();
  file.settings.url = "https://127.0.0.1:8443/database.mdb";
  file.RequestInformation();
  EXPECT_EQ(net.log[0], "connect 127.0.0.1:8443 no credentials");
  EXPECT_EQ(net.log[1], "HEAD /database.mdb secure");
}

TEST_F(InternetFileTest, RedirectsFollowedButNeverFromHttpsToHttp) {
  const std::string to_mirror = "HTTP/1.1 302 Found\r\nLocation: https://mirror.example:8443/m.mdb\r\n\r\n";
  file.settings.url = "https://h/database.mdb";
  file.settings.site_user = "ann";
  file.settings.site_password = "secret";
  net.first_answers = {to_mirror};
  net.raw_headers = "HTTP/1.1 200 OK\r\nContent-Length: 123\r\n\r\n";
  file.RequestInformation();
  // The credentials stay with the server they were given for.
  EXPECT_EQ(net.log, (Log{"open session preconfigured", "connect h:443 user=ann password=secret",
                          "HEAD /database.mdb secure", "close request", "close connection",
                          "connect mirror.example:8443 no credentials", "HEAD /m.mdb secure",
                          "close request", "close connection"}));
  EXPECT_EQ(file.FileSize(), 123);

  // To plain http: not followed, the redirect answer stands (its size is no file's).
  net.log.clear();
  net.first_answers = {"HTTP/1.1 302 Found\r\nLocation: http://h/database.mdb\r\n\r\n"};
  file.RequestInformation();
  EXPECT_EQ(net.heads, 3);
  EXPECT_EQ(file.FileSize(), -1);

  // From http to https, and relative addresses, are followed.
  net.log.clear();
  file.settings.url = "http://h/database.mdb";
  file.settings.site_user.clear();
  net.first_answers = {"HTTP/1.1 301 Moved\r\nLocation: https://h/db/x.mdb\r\n\r\n",
                       "HTTP/1.1 307 Temporary\r\nLocation: y.mdb\r\n\r\n"};
  file.RequestInformation();
  EXPECT_EQ(net.log, (Log{"connect h:0 no credentials", "HEAD /database.mdb", "close request", "close connection",
                          "connect h:443 no credentials", "HEAD /db/x.mdb secure", "close request",
                          "close connection", "connect h:443 no credentials", "HEAD /db/y.mdb secure",
                          "close request", "close connection"}));
  EXPECT_EQ(file.FileSize(), 123);

  // A server that redirects for ever is asked a bounded number of times.
  const int before = net.heads;
  net.raw_headers = "HTTP/1.1 302 Found\r\nLocation: /again\r\n\r\n";
  file.RequestInformation();
  EXPECT_EQ(net.heads - before, kMaxRedirects + 1);
  EXPECT_TRUE(file.FileExists());
}

TEST_F(InternetFileTest, ConnectionTypeChoosesTheRootHandle) {
  file.settings.connect_type = 1;
  file.settings.proxy_server = "proxy.example";
  file.RequestInformation();
  EXPECT_EQ(net.log.front(), "open session proxy proxy.example:8080");

  // Any other value opens nothing: no request is made and the results stay.
  FakeInternet other_net;
  InternetFile other(other_net, disk, {});
  other.settings.url = file.settings.url;
  other.settings.connect_type = 7;
  other.RequestInformation();
  EXPECT_EQ(other_net.heads, 0);
  EXPECT_FALSE(other.FileExists());
  EXPECT_EQ(other.FileSize(), 0);
  EXPECT_EQ(other.LastModified(), "");
}

TEST_F(InternetFileTest, ResultsFromTheStatusCodeOrKeptWithoutARequest) {
  net.raw_headers = "HTTP/1.1 200 OK\r\nContent-Length: 77\r\nLast-Modified: then\r\n\r\n";
  file.RequestInformation();
  ASSERT_EQ(file.FileSize(), 77);

  // No request handle: the previous results stay.
  net.request_opens = false;
  file.RequestInformation();
  EXPECT_TRUE(file.FileExists());
  EXPECT_EQ(file.FileSize(), 77);
  EXPECT_EQ(file.LastModified(), "then");

  // Headers too large for the buffer: the status code alone.
  net.request_opens = true;
  net.raw_headers.reset();
  net.status_code = std::string("404\0\0", 5);
  file.RequestInformation();
  EXPECT_FALSE(file.FileExists());
  EXPECT_EQ(file.FileSize(), -1);
  EXPECT_EQ(file.LastModified(), "Not Available");
}

TEST_F(InternetFileTest, CopyOfFiveThousandBytes) {
  disk.files[file.settings.local_file] = Pattern(9000);  // a longer file of that name
  file.StartDownload();
  EXPECT_EQ(events.events, (Log{"progress 2048", "progress 4096", "progress 5000", "progress 5000", "complete"}));
  EXPECT_EQ(disk.files[file.settings.local_file], net.body);
  // The copy asked for the information first (once), on the same root handle, and closed
  // everything before it reported completion.
  EXPECT_EQ(net.heads, 1);
  EXPECT_EQ(net.log, (Log{"open session preconfigured", "connect 127.0.0.1:8080 no credentials",
                          "HEAD /dir/database.mdb", "close request", "close connection",
                          "open url http://127.0.0.1:8080/dir/database.mdb", "close url", "close session"}));
  EXPECT_EQ(disk.log, (Log{"open C:\\copy\\database.mdb", "close file"}));
  EXPECT_TRUE(file.FileExists());
  EXPECT_EQ(file.FileSize(), 5000);

  // A later copy does not ask again; a request made by the host after a copy closes the
  // root handle at its end.
  net.log.clear();
  events.events.clear();
  file.StartDownload();
  EXPECT_EQ(net.heads, 1);
  EXPECT_EQ(events.events.back(), "complete");
  net.log.clear();
  file.RequestInformation();
  EXPECT_EQ(net.heads, 2);
  EXPECT_EQ(net.log.back(), "close session");
}

TEST_F(InternetFileTest, CancelEndsTheCopyAfterTheBlockJustRead) {
  events.on_progress = [this](std::int64_t bytes) {
    if (bytes == 2048) file.CancelDownload();
  };
  file.StartDownload();
  EXPECT_EQ(events.events, (Log{"progress 2048", "cancelled 2048"}));
  EXPECT_EQ(disk.files[file.settings.local_file].size(), 2048u);
  EXPECT_EQ(disk.log.back(), "close file");
  EXPECT_EQ(net.log.back(), "close session");

  // A cancel that arrives through the host's messages works the same way, and the next
  // copy starts without it.
  events.on_progress = nullptr;
  events.events.clear();
  net.reads = 0;
  on_pump = [this] {
    if (net.reads == 2) file.CancelDownload();
  };
  file.StartDownload();
  EXPECT_EQ(events.events, (Log{"progress 2048", "progress 4096", "cancelled 4096"}));
}

TEST_F(InternetFileTest, ResumeAppendsAfterTheLocalBytes) {
  const std::vector<std::uint8_t> whole = net.body;
  disk.files[file.settings.local_file].assign(whole.begin(), whole.begin() + 1000);
  file.ResumeDownload();
  EXPECT_EQ(events.events, (Log{"progress 3048", "progress 5000", "progress 5000", "complete"}));
  EXPECT_EQ(disk.files[file.settings.local_file], whole);
  EXPECT_NE(std::find(net.log.begin(), net.log.end(), "move 1000"), net.log.end());
  EXPECT_EQ(disk.log.front(), "open keeping C:\\copy\\database.mdb");

  // Without a local file the copy starts from the first byte.
  disk.files.clear();
  disk.log.clear();
  net.log.clear();
  events.events.clear();
  file.ResumeDownload();
  EXPECT_EQ(disk.files[file.settings.local_file], whole);
  EXPECT_EQ(std::count_if(net.log.begin(), net.log.end(), [](const std::string& s) { return s.rfind("move", 0) == 0; }),
            0);
  EXPECT_EQ(events.events.back(), "complete");
}

TEST_F(InternetFileTest, FailuresOfACopy) {
  struct Case {
    const char* what;
    std::function<void(FakeInternet&, MemoryDisk&)> arrange;
    bool resume;
    std::string error;
    bool file_opened;
  };
  const Case cases[] = {
      {"address not found", [](FakeInternet& n, MemoryDisk&) { n.url_opens = false; }, false,
       "error Could not find Url", false},
      {"address not found while resuming", [](FakeInternet& n, MemoryDisk&) { n.url_opens = false; }, true,
       "error Could not find Url", false},
      {"position not set", [](FakeInternet& n, MemoryDisk&) { n.move_works = false; }, true,
       "error Error, while setting position", false},
      {"read fails", [](FakeInternet& n, MemoryDisk&) { n.failing_read = 2; }, false, "error Could not read Url",
       true},
      {"local file not opened", [](FakeInternet&, MemoryDisk& d) { d.opens = false; }, false,
       "error Could not open local file", false},
      {"local file not written", [](FakeInternet&, MemoryDisk& d) { d.writes = false; }, false,
       "error Could not write local file", true},
      {"no root handle", [](FakeInternet& n, MemoryDisk&) { n.session_opens = false; }, false,
       "error Could not find Url", false},
  };
  for (const Case& c : cases) {
    FakeInternet n;
    n.body = Pattern(5000);
    MemoryDisk d;
    const std::string local = "C:\\copy\\a.bin";
    d.files[local] = Pattern(100);
    c.arrange(n, d);
    EventLog e;
    InternetFile f(n, d, {});
    f.SetListener(&e);
    f.settings.url = "http://h/a.bin";
    f.settings.local_file = local;
    if (c.resume) {
      f.ResumeDownload();
    } else {
      f.StartDownload();
    }
    ASSERT_FALSE(e.events.empty()) << c.what;
    EXPECT_EQ(e.events.back(), c.error) << c.what;
    EXPECT_EQ(std::count(e.events.begin(), e.events.end(), "complete"), 0) << c.what;
    EXPECT_FALSE(n.HasSession()) << c.what << ": the root handle stays open";
    if (!c.file_opened) {
      EXPECT_EQ(d.files[local], Pattern(100)) << c.what << ": the local file changed";
    } else {
      EXPECT_EQ(d.log.back(), "close file") << c.what;
    }
  }
}

TEST_F(InternetFileTest, NothingStartsWhileACopyRuns) {
  events.on_progress = [this](std::int64_t) {
    file.RequestInformation();
    file.StartDownload();
  };
  file.StartDownload();
  EXPECT_EQ(net.heads, 1);
  EXPECT_EQ(events.events, (Log{"progress 2048", "progress 4096", "progress 5000", "progress 5000", "complete"}));
  EXPECT_FALSE(file.Busy());
}

}  // namespace
}  // namespace movarin::download
