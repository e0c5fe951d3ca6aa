// The download dialog's decisions, with the real engine over in-memory parts.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/sha256.h"
#include "programs/main/download_dialog/download_dialog_logic.h"
#include "programs/main/program_state.h"
#include "tests/native/download/fake_download_parts.h"

namespace movarin::main_program {
namespace {

using download::DownloadEngine;
using download::testing::Bytes;
using download::testing::FakeFileSystem;
using download::testing::FakeTransfer;

class RecordingDialog : public DownloadDialogHost {
 public:
  std::string address = "http://h/files/ACTSKIN4.OCX";
  std::string folder = "C:\\WINDOWS\\system32";
  bool downloading = false, cancel_enabled = false;
  std::string file_label, folder_label, percent = "0";
  int progress = 0, start_times = 0, end_times = 0, connection_errors = 0;
  bool close_when_done = true, open_folder = false, auto_register = true;
  std::optional<bool> close_timer;
  std::vector<std::string> explored;
  std::vector<std::pair<std::string, std::string>> hand_overs;
  // SearchNextFlag as each connection error box showed.
  const ProgramState* state = nullptr;
  std::vector<bool> flag_at_error;

  std::string AddressText() override { return address; }
  void SetAddressText(const std::string& t) override { address = t; }
  std::string DownloadFolder() override { return folder; }
  void ShowDownloading(bool d) override { downloading = cancel_enabled = d; }
  void EnableCancel() override { cancel_enabled = true; }
  void SetFileNameLabel(const std::string& t) override { file_label = t; }
  void SetFolderLabel(const std::string& t) override { folder_label = t; }
  void SetStartTimeToNow() override { ++start_times; }
  void SetEndTimeToNow() override { ++end_times; }
  void SetProgress(int v) override { progress = v; }
  void SetPercentLabel(const std::string& t) override { percent = t; }
  void ShowConnectionError() override {
    ++connection_errors;
    flag_at_error.push_back(state->search_next());
  }
  bool CloseWhenDoneChecked() override { return close_when_done; }
  bool OpenFolderWhenDoneChecked() override { return open_folder; }
  void EnableCloseTimer(bool e) override { close_timer = e; }
  void ExploreFolder(const std::string& f) override { explored.push_back(f); }
  bool AutoRegisterChecked() override { return auto_register; }
  void RegisterDownloadedFile(const std::string& n, const std::string& p) override {
    hand_overs.emplace_back(n, p);
  }
};

class DownloadDialogLogicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.folders.insert("C:\\WINDOWS\\system32\\");
    files.folders.insert("C:\\WINDOWS\\");
    files.free_bytes["C:\\"] = 1u << 30;
    host.state = &state;
    logic.Load();
  }
  void Serve(std::size_t bytes) {
    transfer.header_block = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bytes) + "\r\n\r\n";
    transfer.body = Bytes(bytes);
  }
  void Signal(const std::string& text) {
    std::string field = text;
    logic.StartSignalChanged(field, [&] { field.clear(); });
    EXPECT_EQ(field, "") << "the start signal clears itself";
  }

  FakeTransfer transfer;
  FakeFileSystem files;
  int pumps = 0;
  std::function<void()> on_pump;  // what the message loop does while the engine waits
  DownloadEngine engine{transfer, files, [this] {
                          ++pumps;
                          if (on_pump) on_pump();
                        }};
  RecordingDialog host;
  ProgramState state;
  DownloadDialogLogic logic{host, engine, state};
};

TEST_F(DownloadDialogLogicTest, CompletedDownloadFillsTheLabelsClosesAndHandsOver) {
  Serve(3000);
  state.set_search_next(false);
  Signal("1");
  EXPECT_EQ(files.Text("C:\\WINDOWS\\system32\\ACTSKIN4.OCX").size(), 3000u);
  EXPECT_EQ(host.folder_label, "C:\\WINDOWS\\system32");
  EXPECT_EQ(host.file_label, "ACTSKIN4.OCX");
  EXPECT_EQ(host.start_times, 1);
  EXPECT_EQ(host.end_times, 1);
  EXPECT_EQ(host.percent, "100 %");
  EXPECT_EQ(host.progress, 0) << "the bar goes back to 0, the label keeps the percentage";
  EXPECT_EQ(host.address, "") << "the address box is emptied by the first progress report";
  EXPECT_FALSE(host.downloading);
  EXPECT_EQ(host.close_timer, true);
  EXPECT_TRUE(state.search_next());
  ASSERT_EQ(host.hand_overs.size(), 1u);
  EXPECT_EQ(host.hand_overs[0].first, "ACTSKIN4.OCX");
  EXPECT_EQ(host.hand_overs[0].second, "C:\\WINDOWS\\system32\\ACTSKIN4.OCX");
  EXPECT_TRUE(host.explored.empty());
  EXPECT_EQ(host.connection_errors, 0);
}

TEST_F(DownloadDialogLogicTest, ANewDownloadStopsTheCloseTimerOfTheLastOneBeforeItWaits) {
  Serve(10);
  logic.Download("http://h/files/A.OCX");
  ASSERT_EQ(host.close_timer, true) << "close when done";
  // The next hit arrives before the timer has closed the dialog: had the timer stayed on,
  // its tick in the next wait would cancel the new download.
  std::vector<bool> timer_at_pumps;
  on_pump = [&] { timer_at_pumps.push_back(host.close_timer.value_or(false)); };
  logic.Download("http://h/files/B.OCX");
  ASSERT_FALSE(timer_at_pumps.empty());
  EXPECT_EQ(std::count(timer_at_pumps.begin(), timer_at_pumps.end(), true), 0);
  EXPECT_EQ(files.Text("C:\\WINDOWS\\system32\\B.OCX").size(), 10u);
  EXPECT_EQ(host.close_timer, true) << "the new download closes the dialog when done";
}

TEST_F(DownloadDialogLogicTest, CheckBoxesAndTheRegisterOptionDecideWhatFollows) {
  Serve(10);
  host.close_when_done = false;
  host.open_folder = true;
  host.auto_register = false;
  Signal("1");
  EXPECT_EQ(host.close_timer, false);
  EXPECT_EQ(host.explored, std::vector<std::string>{"C:\\WINDOWS\\system32"});
  EXPECT_TRUE(host.hand_overs.empty());
}

TEST_F(DownloadDialogLogicTest, NotFoundShowsOneConnectionErrorAndReturnsToIdle) {
  transfer.header_block = "HTTP/1.1 404 File Not Found\r\n\r\n";
  state.set_search_next(false);
  Signal("1");
  EXPECT_EQ(host.connection_errors, 1);
  EXPECT_EQ(host.flag_at_error, std::vector<bool>{true});
  EXPECT_FALSE(host.downloading);
  EXPECT_NE(host.close_timer, true) << "a failed download leaves the dialog open";
  EXPECT_TRUE(files.files.empty());
}

TEST_F(DownloadDialogLogicTest, AddressWithoutAPlainFileNameWritesNothing) {
  for (const char* address : {"http://h/files/", "http://h/files/..\\..\\evil.dll",
                              "http://h/files/c:evil.dll", "http://h/files/.."}) {
    Serve(10);
    host.address = address;
    const int errors = host.connection_errors;
    Signal("1");
    EXPECT_EQ(host.connection_errors, errors + 1) << address;
    EXPECT_TRUE(files.files.empty()) << address;
  }
}

TEST_F(DownloadDialogLogicTest, CancelDuringTheBodyGoesIdleSilentlyAndKeepsTheFlag) {
  Serve(3000);
  transfer.bytes_per_read = 1024;
  transfer.before_read[2] = [this] { logic.CancelPressed(); };
  Signal("1");
  EXPECT_EQ(host.connection_errors, 0);
  EXPECT_FALSE(host.downloading);
  EXPECT_EQ(host.progress, 0);
  EXPECT_FALSE(state.search_next());
  EXPECT_TRUE(files.files.empty());
  EXPECT_TRUE(host.hand_overs.empty());
}

TEST_F(DownloadDialogLogicTest, PercentLabelShowsTheBarsValueWithinZeroToHundred) {
  // The server sends far more than it announced: the engine reports 10240 percent.
  transfer.header_block = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
  transfer.body = Bytes(3000);
  Signal("1");
  EXPECT_EQ(host.percent, "100 %");
  EXPECT_EQ(host.connection_errors, 1) << "such a body is never complete";

  logic.OnProgress(-7);
  EXPECT_EQ(host.progress, 0);
  EXPECT_EQ(host.percent, "0 %");
  logic.OnProgress(57);
  EXPECT_EQ(host.percent, "57 %");
}

TEST_F(DownloadDialogLogicTest, SignalDuringADownloadNeverStartsASecondOne) {
  Serve(3000);
  transfer.bytes_per_read = 1024;
  int nested = 0;
  transfer.before_read[2] = [this, &nested] {
    host.address = "http://h/files/other.dll";
    Signal("1");
    ++nested;
  };
  Signal("1");
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(transfer.starts, 1);
  EXPECT_FALSE(files.FileExists("C:\\WINDOWS\\system32\\other.dll"));
  EXPECT_EQ(host.hand_overs.size(), 1u);
}

// What other windows call: the address they give is downloaded, whatever the box held;
// one that arrives during a download changes nothing about the running one.
TEST_F(DownloadDialogLogicTest, DownloadTakesItsAddressAndAnotherOneWaitsForNothing) {
  Serve(3000);
  transfer.bytes_per_read = 1024;
  host.address = "http://h/files/typed-by-the-user.ocx";
  transfer.before_read[2] = [this] { logic.Download("http://h/files/other.dll"); };
  logic.Download("http://h/files/zlib1.dll");
  EXPECT_EQ(transfer.starts, 1);
  EXPECT_EQ(transfer.address, "http://h/files/zlib1.dll");
  EXPECT_EQ(files.Text("C:\\WINDOWS\\system32\\zlib1.dll").size(), 3000u);
  EXPECT_EQ(host.file_label, "zlib1.dll");
  ASSERT_EQ(host.hand_overs.size(), 1u);
  EXPECT_EQ(host.hand_overs[0].first, "zlib1.dll");
  EXPECT_EQ(host.hand_overs[0].second, "C:\\WINDOWS\\system32\\zlib1.dll");
  EXPECT_FALSE(files.FileExists("C:\\WINDOWS\\system32\\other.dll"));
}

TEST_F(DownloadDialogLogicTest, OtherSignalsDoNothingAndAFolderWithABackslashDoublesIt) {
  std::string field = "2";
  logic.StartSignalChanged(field, [&] { field.clear(); });
  EXPECT_EQ(field, "2");
  EXPECT_EQ(transfer.starts, 0);
  EXPECT_EQ(DownloadDialogLogic::Destination("D:\\dl\\", "http://h/files/a.ocx"), "D:\\dl\\\\a.ocx");
}

// A catalogue entry's digest: a file that matches is put in place and registered; one
// that changed on the server shows the usual "Connection error", keeps the older file,
// registers nothing and lets the multiple-file walk go on. The Download button keeps the
// digest of the address handed over with it.
TEST_F(DownloadDialogLogicTest, ACatalogueDigestDecidesWhetherTheFileIsKept) {
  const std::string address = "http://h/files/ACTSKIN4.OCX";
  const std::string path = "C:\\WINDOWS\\system32\\ACTSKIN4.OCX";
  Serve(3000);
  const auto matching = download::ExpectedDigest::Of(base::Sha256::Of(transfer.body));
  logic.Download(address, matching);
  EXPECT_EQ(host.connection_errors, 0);
  EXPECT_EQ(host.hand_overs.size(), 1u);
  EXPECT_EQ(files.files[path], transfer.body);

  FakeTransfer changed_server;
  DownloadEngine changed_engine{changed_server, files, [] {}};
  RecordingDialog changed_host;
  changed_host.state = &state;
  DownloadDialogLogic changed{changed_host, changed_engine, state};
  changed_server.header_block = "HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n";
  changed_server.body = Bytes(3000, 99);
  state.set_search_next(false);
  changed.Download(address, matching);
  EXPECT_EQ(changed_host.connection_errors, 1);
  EXPECT_EQ(changed_host.flag_at_error, std::vector<bool>{true});
  EXPECT_TRUE(changed_host.hand_overs.empty());
  EXPECT_FALSE(changed_host.downloading);
  EXPECT_EQ(files.files[path], transfer.body) << "the older file stays";
  EXPECT_EQ(files.files.size(), 1u);

  // Pressing Download again on the same address checks it again; another address typed
  // by hand downloads as before.
  changed_host.address = address;
  changed.DownloadButtonPressed();
  EXPECT_EQ(changed_host.connection_errors, 2);
  changed_host.address = "http://h/files/other.ocx";
  changed.DownloadButtonPressed();
  EXPECT_EQ(changed_host.connection_errors, 2);
  EXPECT_EQ(changed_host.hand_overs.size(), 1u);
}

}  // namespace
}  // namespace movarin::main_program
