// The remote file control over WinINet against the test server: HEAD answers, the
// copy with its events, resume and cancel, and the three connection types (type 1
// through the server acting as a real proxy).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "download/win32/internet_file_control.h"
#include "platform/win32/text.h"
#include "platform/win32/window.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::download {
namespace {

using movarin::test::ControlServer;
using movarin::test::HttpGet;
using movarin::test::ReadWholeFile;
using movarin::test::ResetServer;
using movarin::test::ServerLog;
using movarin::test::TempFolder;
using movarin::test::UrlEncode;
using movarin::test::WriteWholeFile;
using Events = std::vector<std::string>;

std::string Pattern(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed * 2654435761u + 7;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<char>(x >> 16);
  }
  return bytes;
}

class EventLog final : public InternetFileListener {
 public:
  Events events;
  std::function<void(std::int64_t)> on_progress;
  void DownloadComplete() override { events.push_back("complete"); }
  void ReadProgress(std::int64_t bytes) override {
    events.push_back("progress " + std::to_string(bytes));
    if (on_progress) on_progress(bytes);
  }
  void DownloadError(const std::string& text) override { events.push_back("error " + text); }
  void DownloadCancelled(std::int64_t position) override { events.push_back("cancelled " + std::to_string(position)); }
};

// A window whose message cancels the copy: a cancel button's click, arriving through the
// messages the control processes between its steps.
class CancelWindow final : public movarin::win32::Window {
 public:
  static constexpr UINT kCancel = WM_APP + 1;
  InternetFile* file = nullptr;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kCancel && file) {
      file->CancelDownload();
      return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
  }
};

// The request lines of the server's log, in order.
std::vector<std::string> RequestLines() {
  std::vector<std::string> lines;
  const std::string log = ServerLog();
  std::size_t at = 0;
  while (at < log.size()) {
    const std::size_t end = log.find("\r\n\r\n", at);
    const std::string request = log.substr(at, end == std::string::npos ? std::string::npos : end - at);
    lines.push_back(request.substr(0, request.find("\r\n")));
    if (end == std::string::npos) break;
    at = end + 4;
  }
  return lines;
}

class RemoteFileAgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server = test::TestServerUrl().value_or("");
    ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
    const auto served_root = test::TestServerRoot();
    ASSERT_TRUE(served_root);
    root = *served_root;
    ASSERT_TRUE(ResetServer());
    ASSERT_FALSE(folder.path().empty());
    body = Pattern(5000, 3);
    ASSERT_TRUE(WriteWholeFile(root + "\\database.mdb", body));
    remote.file().SetListener(&log);
    remote.file().settings.url = server + "database.mdb";
    remote.file().settings.local_file = folder / "database.mdb";
  }

  // The server's own Last-Modified for database.mdb.
  std::string ServedDate() {
    const auto reply = HttpGet(server + "database.mdb");
    const std::size_t at = reply.headers.find("Last-Modified: ");
    if (at == std::string::npos) return {};
    const std::size_t start = at + 15;
    return reply.headers.substr(start, reply.headers.find("\r\n", start) - start);
  }

  std::string ProxyLog() { return HttpGet(server + "__control/proxy-log").body; }
  std::string Port() const {
    const std::size_t colon = server.rfind(':');
    return server.substr(colon + 1, server.size() - colon - 2);
  }

  std::string server, root;
  std::string body;
  TempFolder folder{"movarin-remote"};
  download::win32::InternetFileControl remote;
  InternetFile& file() { return remote.file(); }
  EventLog log;
};

TEST_F(RemoteFileAgainstServer, HeadGivesSizeDateAndExistence) {
  EXPECT_FALSE(file().FileExists());
  EXPECT_EQ(file().FileSize(), 0);
  EXPECT_EQ(file().LastModified(), "");

  file().RequestInformation();
  EXPECT_TRUE(file().FileExists());
  EXPECT_EQ(file().FileSize(), 5000);
  const std::string date = ServedDate();
  ASSERT_FALSE(date.empty());
  EXPECT_EQ(file().LastModified(), date);
  // One HEAD request, in HTTP/1.0, to the path of the address.
  EXPECT_EQ(RequestLines().front(), "HEAD /database.mdb HTTP/1.0");
  EXPECT_NE(ServerLog().find("User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows NT; DigExt)"), std::string::npos);

  struct Case {
    std::string control;
    bool exists;
    std::int64_t size;
    std::string last_modified;
  };
  const std::string path = "set?path=/database.mdb&";
  const Case cases[] = {
      {path + "omit=Last-Modified", true, 5000, "Not Available"},
      {path + "omit=Content-Length", true, -1, date},
      {path + "omit=Content-Length,Last-Modified", true, -1, "Not Available"},
      {path + "mode=status&status=" + UrlEncode("404 File Not Found"), false, 44, "Not Available"},
      {path + "mode=status&status=" + UrlEncode("404 Not Found"), false, 39, "Not Available"},
      {path + "mode=status&status=" + UrlEncode("404 Object Not Found"), false, 46, "Not Available"},
      {path + "mode=status&status=" + UrlEncode("500 Internal Server Error"), true, 51, "Not Available"},
      {path + "header=" + UrlEncode("Content-Length-Note: 7"), true, 5000, date},
      // Headers too long for the 1024-character buffer: judged by the status code alone.
      {path + "header=" + UrlEncode("X-Padding: " + std::string(1100, 'p')), true, -1, "Not Available"},
      {path + "mode=status&status=" + UrlEncode("404 Not Found") + "&header=" +
           UrlEncode("X-Padding: " + std::string(1100, 'p')),
       false, -1, "Not Available"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(ResetServer());
    ASSERT_TRUE(ControlServer(c.control)) << c.control;
    file().RequestInformation();
    EXPECT_EQ(file().FileExists(), c.exists) << c.control;
    EXPECT_EQ(file().FileSize(), c.size) << c.control;
    EXPECT_EQ(file().LastModified(), c.last_modified) << c.control;
    EXPECT_EQ(RequestLines().size(), 1u) << c.control << ": each request asks the server again";
  }
}

TEST_F(RemoteFileAgainstServer, SiteCredentialsOnlyWithAUserName) {
  file().settings.site_password = "secret";
  file().RequestInformation();
  EXPECT_EQ(ServerLog().find("Authorization"), std::string::npos);

  // With a user name, a server that asks for credentials gets them.
  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ControlServer("set?path=/database.mdb&mode=status&status=" + UrlEncode("401 Unauthorized") +
                            "&times=1"));
  file().settings.site_user = "ann";
  file().RequestInformation();
  EXPECT_NE(ServerLog().find("Authorization: Basic YW5uOnNlY3JldA=="), std::string::npos) << ServerLog();
  EXPECT_TRUE(file().FileExists());
  EXPECT_EQ(file().FileSize(), 5000);
}

TEST_F(RemoteFileAgainstServer, ConnectionTypes) {
  file().settings.proxy_server = "127.0.0.1";
  file().settings.proxy_port = static_cast<std::uint16_t>(std::stoi(Port()));
  // 0 and 2 reach the server directly (the proxy settings are not used).
  for (const int type : {0, 2}) {
    ASSERT_TRUE(ResetServer());
    download::win32::InternetFileControl control;
    control.file().settings = file().settings;
    control.file().settings.connect_type = type;
    control.file().RequestInformation();
    EXPECT_EQ(control.file().FileSize(), 5000) << type;
    EXPECT_EQ(RequestLines(), std::vector<std::string>{"HEAD /database.mdb HTTP/1.0"}) << type;
    EXPECT_EQ(ProxyLog(), "") << type;
  }
  // 1 goes through the proxy, which reaches even a host name that does not resolve.
  for (const std::string& url : {server + "database.mdb", std::string("http://origin.movarin.invalid/database.mdb")}) {
    ASSERT_TRUE(ResetServer());
    download::win32::InternetFileControl control;
    control.file().settings = file().settings;
    control.file().settings.connect_type = 1;
    control.file().settings.url = url;
    control.file().RequestInformation();
    EXPECT_TRUE(control.file().FileExists()) << url;
    EXPECT_EQ(control.file().FileSize(), 5000) << url;
    // The request line names the whole address; Wine writes the default port into it.
    std::string with_port = url;
    with_port.insert(url.find('/', 7), ":80");
    const std::string proxied = ProxyLog();
    EXPECT_TRUE(proxied == "HEAD " + url + " HTTP/1.0\r\n" ||
                (url.find(":", 7) == std::string::npos && proxied == "HEAD " + with_port + " HTTP/1.0\r\n"))
        << proxied;
  }
  // Direct, that host name leads nowhere: no answer at all.
  ASSERT_TRUE(ResetServer());
  download::win32::InternetFileControl direct;
  direct.file().settings.connect_type = 2;
  direct.file().settings.url = "http://origin.movarin.invalid/database.mdb";
  direct.file().RequestInformation();
  EXPECT_FALSE(direct.file().FileExists());
  EXPECT_EQ(direct.file().FileSize(), -1);
  EXPECT_EQ(direct.file().LastModified(), "Not Available");
  EXPECT_TRUE(RequestLines().empty());

  // Any other type opens nothing: no request, results unchanged.
  download::win32::InternetFileControl none;
  none.file().settings = file().settings;
  none.file().settings.connect_type = 3;
  none.file().RequestInformation();
  EXPECT_FALSE(none.file().FileExists());
  EXPECT_EQ(none.file().FileSize(), 0);
  EXPECT_EQ(none.file().LastModified(), "");
}

TEST_F(RemoteFileAgainstServer, CopyOfFiveThousandBytes) {
  // A longer file of that name is replaced, not overwritten in part.
  ASSERT_TRUE(WriteWholeFile(file().settings.local_file, Pattern(9000, 1)));
  file().StartDownload();
  EXPECT_EQ(log.events, (Events{"progress 2048", "progress 4096", "progress 5000", "progress 5000", "complete"}));
  EXPECT_EQ(ReadWholeFile(file().settings.local_file), body);
  // The copy asked for the information once, first.
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{"HEAD /database.mdb HTTP/1.0", "GET /database.mdb HTTP/1.1"}));
  EXPECT_EQ(file().FileSize(), 5000);

  // A second copy does not ask again.
  ASSERT_TRUE(ResetServer());
  log.events.clear();
  file().StartDownload();
  EXPECT_EQ(log.events.back(), "complete");
  EXPECT_EQ(RequestLines(), std::vector<std::string>{"GET /database.mdb HTTP/1.1"});
}

TEST_F(RemoteFileAgainstServer, ResumeContinuesTheLocalFile) {
  ASSERT_TRUE(WriteWholeFile(file().settings.local_file, body.substr(0, 1000)));
  file().ResumeDownload();
  EXPECT_EQ(log.events, (Events{"progress 3048", "progress 5000", "progress 5000", "complete"}));
  EXPECT_EQ(ReadWholeFile(file().settings.local_file), body);

  // Nothing to continue: the copy starts from the first byte.
  log.events.clear();
  ASSERT_TRUE(DeleteFileW(movarin::win32::Widen(file().settings.local_file).c_str()));
  file().ResumeDownload();
  EXPECT_EQ(log.events, (Events{"progress 2048", "progress 4096", "progress 5000", "progress 5000", "complete"}));
  EXPECT_EQ(ReadWholeFile(file().settings.local_file), body);
}

TEST_F(RemoteFileAgainstServer, CancelStopsAfterTheBlockJustRead) {
  log.on_progress = [this](std::int64_t bytes) {
    if (bytes == 2048) file().CancelDownload();
  };
  file().StartDownload();
  EXPECT_EQ(log.events, (Events{"progress 2048", "cancelled 2048"}));
  EXPECT_EQ(ReadWholeFile(file().settings.local_file).value_or("").size(), 2048u);

  // A cancel button's message, processed by the control between its steps.
  CancelWindow window;
  movarin::win32::WindowArgs args;
  args.class_name = L"MovarinRemoteFileCancel";
  args.style = WS_POPUP;
  ASSERT_TRUE(window.Create(args));
  window.file = &file();
  log.events.clear();
  log.on_progress = [&window](std::int64_t bytes) {
    if (bytes == 4096) PostMessageW(window.hwnd(), CancelWindow::kCancel, 0, 0);
  };
  file().StartDownload();
  EXPECT_EQ(log.events, (Events{"progress 2048", "progress 4096", "cancelled 4096"}));

  // The next copy runs to its end.
  log.events.clear();
  log.on_progress = nullptr;
  file().StartDownload();
  EXPECT_EQ(log.events.back(), "complete");
}

TEST_F(RemoteFileAgainstServer, FailedCopiesSayWhy) {
  const std::string local = file().settings.local_file;
  ASSERT_TRUE(WriteWholeFile(local, "keep me"));
  file().RequestInformation();

  // A missing file is not copied: the server's error page is no copy of it.
  file().settings.url = server + "missing.mdb";
  file().StartDownload();
  EXPECT_EQ(log.events, Events{"error Could not find Url"});
  EXPECT_EQ(ReadWholeFile(local), "keep me");

  // A body that ends before its announced length.
  log.events.clear();
  file().settings.url = server + "database.mdb";
  ASSERT_TRUE(ControlServer("set?path=/database.mdb&mode=long-length"));
  file().StartDownload();
  EXPECT_EQ(log.events, (Events{"progress 2048", "progress 4096", "progress 5000", "error Could not read Url"}));
  // A connection reset in the middle of the body (the reset may overtake the head).
  log.events.clear();
  ASSERT_TRUE(ControlServer("set?path=/database.mdb&mode=reset&bytes=3000"));
  file().StartDownload();
  ASSERT_FALSE(log.events.empty());
  EXPECT_TRUE(log.events.back() == "error Could not read Url" || log.events.back() == "error Could not find Url")
      << log.events.back();
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "complete"), 0);

  // No server at all.
  log.events.clear();
  file().settings.url = "http://127.0.0.1:9/database.mdb";
  file().StartDownload();
  EXPECT_EQ(log.events, Events{"error Could not find Url"});
}

}  // namespace
}  // namespace movarin::download
