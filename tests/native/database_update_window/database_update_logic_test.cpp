// The catalogue update window's flow, with the real download engine over in-memory
// parts: when it downloads, where the copy goes, what a failure leads to, and that the
// window never leaves the program without a window (or ends it twice). The real server,
// disk and catalogue check are proven end to end.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/sha256.h"
#include "programs/main/database_update_window/database_update_logic.h"
#include "tests/native/download/fake_download_parts.h"

namespace movarin::main_program {
namespace {

using download::DownloadEngine;
using download::RemoteFileInformation;
using download::testing::Bytes;
using download::testing::FakeFileSystem;
using download::testing::FakeTransfer;
using Log = std::vector<std::string>;

constexpr const char* kCatalogue = "C:\\app\\database.mdb";
constexpr const char* kStaged = "C:\\app\\database.mdb.download";
constexpr const char* kAddress = "http://h/database.mdb";

class RecordingWindow : public DatabaseUpdateHost {
 public:
  ServerConnectionFields fields = [] {
    ServerConnectionFields f;
    f.remote_address = kAddress;
    f.remote_port = "80";
    return f;
  }();
  std::int64_t local_size = 1000000;
  RemoteFileInformation server{true, 1000000, "Tue, 02 Jan 2024 10:00:00 GMT"};
  // Runs inside the size request, as a message processed while the server is asked.
  std::function<void()> while_asking;
  std::vector<download::InternetFileSettings> requests;
  updates::CatalogueDigestAnswer digest_answer{updates::CatalogueDigestAnswer::Kind::kNotPublished, ""};
  std::vector<std::string> digest_requests;

  std::string local_field, remote_field, address = kAddress, folder_field, file_field, percent = "0";
  std::vector<std::string> statuses;
  bool check_timer = true, progress_shown = false, downloading = false, cancel_enabled = false;
  bool close_when_done = true, open_folder = false;
  int progress = 0, boxes = 0;
  std::optional<bool> close_timer;
  Log log;

  ServerConnectionFields ConnectionFields() override { return fields; }
  std::int64_t LocalCatalogueSize() override { return local_size; }
  RemoteFileInformation RequestServerInformation(const download::InternetFileSettings& settings) override {
    requests.push_back(settings);
    if (while_asking) {
      auto run = std::move(while_asking);
      run();
    }
    return server;
  }
  updates::CatalogueDigestAnswer FetchCatalogueDigest(const std::string& address) override {
    digest_requests.push_back(address);
    return digest_answer;
  }
  void SetLocalSizeField(const std::string& t) override { local_field = t; }
  void SetRemoteSizeField(const std::string& t) override { remote_field = t; }
  void SetStatus(std::string_view t) override { statuses.emplace_back(t); }
  void StopCheckTimer() override { check_timer = false; }
  void ShowProgressBar() override { progress_shown = true; }
  std::string AddressText() override { return address; }
  void SetAddressText(const std::string& t) override { address = t; }
  void SetDestinationFolderField(const std::string& t) override { folder_field = t; }
  void SetFileNameField(const std::string& t) override { file_field = t; }
  void SetStartTimeToNow() override { log.push_back("start time"); }
  void SetEndTimeToNow() override { log.push_back("end time"); }
  void ShowDownloading(bool d) override { downloading = cancel_enabled = d; }
  void EnableCancel() override { cancel_enabled = true; }
  void SetProgress(int v) override { progress = v; }
  void SetPercentageField(const std::string& t) override { percent = t; }
  void ShowConnectionError() override {
    ++boxes;
    log.push_back("connection error");
  }
  bool CloseWhenDoneChecked() override { return close_when_done; }
  bool OpenFolderWhenDoneChecked() override { return open_folder; }
  void EnableCloseTimer(bool e) override { close_timer = e; }
  void ExploreFolder(const std::string& f) override { log.push_back("explore " + f); }
  void GoOn() override { log.push_back("go on"); }
  void EndProgram() override { log.push_back("end program"); }
};

class DatabaseUpdateLogicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.folders.insert("C:\\app\\");
    files.free_bytes["C:\\"] = 1u << 30;
    files.files[kCatalogue] = Bytes(16, 9);
  }
  void Serve(std::size_t bytes) {
    transfer.header_block = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bytes) + "\r\n\r\n";
    transfer.body = Bytes(bytes);
  }

  FakeTransfer transfer;
  FakeFileSystem files;
  DownloadEngine engine{transfer, files, [] {}};
  RecordingWindow window;
  std::vector<std::pair<std::string, std::string>> installs;
  bool install_succeeds = true;
  DatabaseUpdateLogic logic{window, engine, kCatalogue, [this](const std::string& staged, const std::string& to) {
                              installs.emplace_back(staged, to);
                              return install_succeeds;
                            }};
};

TEST_F(DatabaseUpdateLogicTest, TheSizeRule) {
  struct Case {
    const char* what;
    std::int64_t local;
    RemoteFileInformation server;
    bool downloads;
    std::string remote_field;
  };
  const Case cases[] = {
      {"a larger server copy", 1000000, {true, 1000500, ""}, true, "1000500"},
      {"the same size", 1000000, {true, 1000000, ""}, false, "1000000"},
      {"a smaller server copy", 1000000, {true, 999999, ""}, false, "999999"},
      {"no local file: any server copy", -1, {true, 5000, ""}, true, "5000"},
      {"beyond 32 bits", 3000000000LL, {true, 5000000000LL, ""}, true, "5000000000"},
      {"no size from the server", 1000000, {true, -1, "Not Available"}, false, "Not available"},
      {"no answer at all", 1000000, {false, 0, ""}, false, "Not available"},
      // A 404's length is the error page's, never the catalogue's.
      {"missing on the server, no local file", -1, {false, 20, "Not Available"}, false, "Not available"},
      {"no answer, no local file", -1, {false, 0, ""}, false, "Not available"},
  };
  for (const Case& c : cases) {
    RecordingWindow host;
    host.local_size = c.local;
    host.server = c.server;
    bool installed = false;
    DatabaseUpdateLogic under_test(host, engine, kCatalogue, [&](const std::string&, const std::string&) {
      installed = true;
      return true;
    });
    Serve(64);
    under_test.CheckTick();
    EXPECT_EQ(host.local_field, std::to_string(c.local)) << c.what;
    EXPECT_EQ(host.remote_field, c.remote_field) << c.what;
    EXPECT_FALSE(host.check_timer) << c.what;
    ASSERT_GE(host.statuses.size(), 3u) << c.what;
    EXPECT_EQ(host.statuses[0], "Checking For Database Updates.") << c.what;
    EXPECT_EQ(host.statuses[1], "Checking For Database Updates..") << c.what;
    EXPECT_EQ(host.statuses.back(), c.downloads ? "New Updates Available!" : "No New Updates Are Available")
        << c.what;
    EXPECT_EQ(installed, c.downloads) << c.what;
    EXPECT_EQ(host.progress_shown, c.downloads) << c.what;
    // Without a download the start-up goes on at the first tick.
    const Log expected = c.downloads ? Log{"start time", "end time"} : Log{"go on"};
    EXPECT_EQ(host.log, expected) << c.what;
  }
}

TEST_F(DatabaseUpdateLogicTest, ALargerCopyIsDownloadedBesideTheCatalogueThenInstalled) {
  window.server.size = 1000500;
  Serve(3000);
  std::vector<std::string> percents;
  transfer.before_read[2] = [&] { percents.push_back(window.percent); };
  logic.CheckTick();
  EXPECT_EQ(transfer.address, kAddress);
  // The working catalogue is never written: the copy lands beside it.
  EXPECT_EQ(files.files[kCatalogue], Bytes(16, 9));
  EXPECT_EQ(files.files[kStaged], Bytes(3000));
  EXPECT_EQ(installs, (std::vector<std::pair<std::string, std::string>>{{kStaged, kCatalogue}}));
  EXPECT_EQ(window.folder_field, "C:\\app\\");
  EXPECT_EQ(window.file_field, "database.mdb");
  EXPECT_EQ(percents, std::vector<std::string>{"34 %"});
  EXPECT_EQ(window.address, "") << "emptied while the download runs";
  EXPECT_EQ(window.progress, 0);
  EXPECT_FALSE(window.downloading);
  EXPECT_EQ(window.boxes, 0);
  // The close timer leads on.
  EXPECT_EQ(window.close_timer, true);
  EXPECT_EQ(window.log, (Log{"start time", "end time"}));
  logic.CloseTimerTick();
  EXPECT_EQ(window.close_timer, false);
  EXPECT_EQ(window.log.back(), "go on");
  logic.Closing();  // this window goes after the hand-over
  EXPECT_EQ(window.log.back(), "go on");
}

TEST_F(DatabaseUpdateLogicTest, TheOptionsAfterADownload) {
  window.server.size = 2000000;
  window.close_when_done = false;
  window.open_folder = true;
  Serve(100);
  logic.CheckTick();
  EXPECT_EQ(window.close_timer, false);
  EXPECT_EQ(window.log, (Log{"start time", "end time", "explore C:\\app\\"}));
}

TEST_F(DatabaseUpdateLogicTest, AFailedDownloadKeepsTheCatalogueAndGoesOnAfterTheBox) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    bool installs;
  };
  const Case cases[] = {
      {"404", [&] { transfer.header_block = "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\n"; }, false},
      {"cut off",
       [&] {
         Serve(3000);
         transfer.body.resize(1500);
         transfer.end = download::ChunkStatus::kBroken;
       },
       false},
      {"no connection", [&] { transfer.start_failure = download::Failure{12029, "Cannot connect"}; }, false},
      {"not a catalogue", [&] { Serve(3000); }, true},
  };
  for (const Case& c : cases) {
    transfer = FakeTransfer{};
    installs.clear();
    RecordingWindow host;
    host.server.size = 2000000;
    c.arrange();
    DatabaseUpdateLogic under_test(host, engine, kCatalogue, [&](const std::string& staged, const std::string& to) {
      installs.emplace_back(staged, to);
      return false;
    });
    under_test.CheckTick();
    EXPECT_EQ(host.boxes, 1) << c.what;
    EXPECT_EQ(host.log.back(), "go on") << c.what;
    EXPECT_EQ(host.close_timer, std::nullopt) << c.what;
    EXPECT_FALSE(host.downloading) << c.what;
    EXPECT_EQ(installs.size(), c.installs ? 1u : 0u) << c.what;
    EXPECT_EQ(files.files[kCatalogue], Bytes(16, 9)) << c.what;
    // Going on, the window closes without ending the program.
    under_test.Closing();
    EXPECT_EQ(host.log.back(), "go on") << c.what;
  }
}

TEST_F(DatabaseUpdateLogicTest, TicksWhileTheServerIsAskedAreSkipped) {
  window.while_asking = [&] { logic.CheckTick(); };
  logic.CheckTick();
  EXPECT_EQ(window.requests.size(), 1u);
  EXPECT_EQ(window.log, Log{"go on"});
  logic.CheckTick();  // a tick still queued after the hand-over
  EXPECT_EQ(window.requests.size(), 1u);
}

TEST_F(DatabaseUpdateLogicTest, ClosedWhileTheServerIsAsked) {
  window.server.size = 2000000;
  window.while_asking = [&] { logic.Closing(); };
  Serve(100);
  logic.CheckTick();
  EXPECT_EQ(transfer.starts, 0);
  EXPECT_EQ(window.log, Log{"end program"});
}

TEST_F(DatabaseUpdateLogicTest, ClosedOrCancelledDuringTheDownload) {
  window.server.size = 2000000;
  Serve(5000);
  transfer.bytes_per_read = 1024;
  transfer.before_read[3] = [&] { logic.Closing(); };
  logic.CheckTick();
  EXPECT_TRUE(engine.Cancelled());
  EXPECT_TRUE(installs.empty());
  EXPECT_EQ(window.boxes, 0);
  EXPECT_EQ(window.log, (Log{"start time", "end program"}));
  EXPECT_EQ(files.files.count(kStaged), 0u);

  // "cancel": the download ends silently and the window stays.
  RecordingWindow host;
  host.server.size = 2000000;
  DatabaseUpdateLogic cancelled(host, engine, kCatalogue, [](const std::string&, const std::string&) { return true; });
  transfer.before_read.clear();
  transfer.before_read[transfer.reads + 2] = [&] { cancelled.CancelPressed(); };
  cancelled.CheckTick();
  EXPECT_EQ(host.boxes, 0);
  EXPECT_EQ(host.progress, 0);
  EXPECT_FALSE(host.downloading);
  EXPECT_EQ(host.log, Log{"start time"});
  cancelled.Closing();
  EXPECT_EQ(host.log.back(), "end program");
}

TEST_F(DatabaseUpdateLogicTest, TheRemoteFileControlGetsTheWorkingFields) {
  window.fields.remote_address = "http://a/database.mdb";
  window.fields.remote_port = "8081";
  window.fields.remote_user = "u";
  window.fields.remote_password = "p";
  window.fields.connection_type = 1;
  window.fields.proxy_server = "proxy";
  window.fields.proxy_port = "";
  logic.CheckTick();
  ASSERT_EQ(window.requests.size(), 1u);
  const download::InternetFileSettings& s = window.requests[0];
  EXPECT_EQ(s.url, "http://a/database.mdb");
  EXPECT_EQ(s.port, 8081);
  EXPECT_EQ(s.site_user, "u");
  EXPECT_EQ(s.site_password, "p");
  EXPECT_EQ(s.connect_type, 1);
  EXPECT_EQ(s.proxy_server, "proxy");
  EXPECT_EQ(s.proxy_port, 0) << "an empty proxy port is 0";
  // A text that is no port leaves the control's default.
  ServerConnectionFields unreadable;
  unreadable.remote_port = "eighty";
  unreadable.proxy_port = "99999";
  EXPECT_EQ(RemoteFileSettingsFor(unreadable).port, 80);
  EXPECT_EQ(RemoteFileSettingsFor(unreadable).proxy_port, 8080);
}

// The digest the server publishes beside the catalogue: a copy that meets it is
// installed; one that does not, or a digest file that is no digest, fails the update
// like any failed download and the old catalogue stays. No digest file: as before.
TEST_F(DatabaseUpdateLogicTest, ThePublishedDigestDecidesWhetherTheCopyIsInstalled) {
  using Kind = updates::CatalogueDigestAnswer::Kind;
  Serve(3000);
  const std::string good = base::Sha256ToHex(base::Sha256::Of(transfer.body));
  struct Case {
    const char* what;
    updates::CatalogueDigestAnswer answer;
    bool installs;
  };
  const Case cases[] = {
      {"matching", {Kind::kAnswered, good + "  database.mdb\n"}, true},
      {"not published", {Kind::kNotPublished, ""}, true},
      {"another digest", {Kind::kAnswered, std::string(64, 'a') + "  database.mdb\n"}, false},
      {"no digest in it", {Kind::kAnswered, "<html>Not here</html>"}, false},
      {"no answer", {Kind::kFailed, ""}, false},
  };
  for (const Case& c : cases) {
    installs.clear();
    files.files.erase(kStaged);
    RecordingWindow host;
    host.server.size = 2000000;
    host.digest_answer = c.answer;
    DatabaseUpdateLogic under_test(host, engine, kCatalogue, [&](const std::string& staged, const std::string& to) {
      installs.emplace_back(staged, to);
      return true;
    });
    under_test.CheckTick();
    EXPECT_EQ(host.digest_requests, std::vector<std::string>{"http://h/database.mdb.sha256"}) << c.what;
    EXPECT_EQ(installs.size(), c.installs ? 1u : 0u) << c.what;
    EXPECT_EQ(host.boxes, c.installs ? 0 : 1) << c.what;
    EXPECT_EQ(files.files[kCatalogue], Bytes(16, 9)) << c.what;
    EXPECT_EQ(files.files.count(kStaged), c.installs ? 1u : 0u) << c.what << ": nothing is left beside it";
    if (!c.installs) {
      EXPECT_EQ(host.log.back(), "go on") << c.what;
    }
  }
}

}  // namespace
}  // namespace movarin::main_program
