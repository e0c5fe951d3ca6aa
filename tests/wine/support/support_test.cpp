// The test-support library under Wine, run through wine-run.sh --with-server: the environment
// reaches the test, paths map, temp folders clean up, and WinINet talks to the real server.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::test {
namespace {

TEST(TestEnv, RunnerVariablesArriveAsWindowsPaths) {
  const auto source = SourceDir();
  ASSERT_TRUE(source) << "MOVARIN_SOURCE is not set";
  EXPECT_EQ(source->substr(1, 2), ":\\");
  // The mapped source folder is the real checkout: a file of it is readable.
  EXPECT_TRUE(FileExists(*source + "\\tools\\test_server\\server.py"));
  ASSERT_TRUE(BuildDir());
  EXPECT_TRUE(FolderExists(*BuildDir()));
  EXPECT_FALSE(EnvVar("MOVARIN_SURELY_UNSET_VARIABLE"));
}

TEST(TestEnv, UnixPathsMapThroughTheRootDrive) {
  EXPECT_EQ(WindowsPath("C:\\already\\windows"), "C:\\already\\windows");
  EXPECT_EQ(WindowsPath(""), "");
  const std::string mapped = WindowsPath("/tmp/some folder/ü.txt");
  EXPECT_EQ(mapped.substr(1), ":\\tmp\\some folder\\ü.txt");
}

TEST(TempFolder, LivesOnTheCDriveAndIsRemovedWithItsContents) {
  std::string kept;
  {
    TempFolder folder("support");
    ASSERT_FALSE(folder.path().empty());
    kept = folder.path();
    EXPECT_EQ(toupper(static_cast<unsigned char>(kept[0])), 'C');
    ASSERT_TRUE(CreateDirectoryW((std::wstring(kept.begin(), kept.end()) + L"\\sub").c_str(),
                                 nullptr));
    ASSERT_TRUE(WriteWholeFile(folder / "sub\\a.bin", std::string("x\0y", 3)));
    ASSERT_TRUE(WriteWholeFile(folder / "b.txt", "b"));
    SetFileAttributesA((folder / "b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    TempFolder second("support");
    EXPECT_NE(second.path(), folder.path());
  }
  EXPECT_FALSE(FolderExists(kept));
}

TEST(TempFolder, CopyTreeCopiesNestedFoldersAndReplacesFiles) {
  TempFolder from("copy-from");
  TempFolder to("copy-to");
  ASSERT_TRUE(CreateDirectoryA((from / "Adds").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((from / "Adds\\Deeper").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(from / "Movarin.ini", "[Server]\r\n"));
  ASSERT_TRUE(WriteWholeFile(from / "Adds\\Deeper\\x.bin", std::string(5000, '\x7f')));
  ASSERT_TRUE(WriteWholeFile(to / "Movarin.ini", "old and longer"));
  const std::string target = to / "program";
  ASSERT_TRUE(CopyTree(from.path(), to.path()));
  EXPECT_EQ(ReadWholeFile(to / "Movarin.ini"), "[Server]\r\n");
  EXPECT_EQ(ReadWholeFile(to / "Adds\\Deeper\\x.bin"), std::string(5000, '\x7f'));
  ASSERT_TRUE(CopyTree(from.path(), target));  // a new folder is created
  EXPECT_TRUE(FileExists(target + "\\Adds\\Deeper\\x.bin"));
  EXPECT_FALSE(CopyTree(from / "missing", to / "other"));
}

TEST(Files, RoundTripExactBytesAndReportMissingOnes) {
  TempFolder folder;
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>(i * 31));
  const std::string path = folder / "data.bin";
  ASSERT_TRUE(WriteWholeFile(path, bytes));
  EXPECT_EQ(ReadWholeFile(path), bytes);
  EXPECT_EQ(FileSize(path), bytes.size());
  ASSERT_TRUE(WriteWholeFile(path, "short"));  // replaces, never appends
  EXPECT_EQ(ReadWholeFile(path), "short");
  ASSERT_TRUE(WriteWholeFile(path, ""));
  EXPECT_EQ(ReadWholeFile(path), "");
  EXPECT_FALSE(ReadWholeFile(folder / "missing"));
  EXPECT_FALSE(FileSize(folder / "missing"));
  EXPECT_FALSE(FileExists(folder.path()));
  EXPECT_FALSE(WriteWholeFile(folder / "no\\such\\folder\\x", "x"));
}

TEST(UrlEncode, EscapesEverythingButUnreservedBytes) {
  EXPECT_EQ(UrlEncode("404 File Not Found"), "404%20File%20Not%20Found");
  EXPECT_EQ(UrlEncode("/files/a.dll"), "/files/a.dll");
  EXPECT_EQ(UrlEncode("a&b=c?\r\n"), "a%26b%3Dc%3F%0D%0A");
  EXPECT_EQ(UrlEncode("é"), "%C3%A9");
}

class AgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server = TestServerUrl().value_or("");
    ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
    ASSERT_TRUE(ResetServer());
  }
  void TearDown() override { ResetServer(); }
  std::string server;
};

TEST_F(AgainstServer, FetchesAServedFileByteForByte) {
  const auto root = TestServerRoot();
  ASSERT_TRUE(root);
  const auto expected = ReadWholeFile(*root + "\\files\\sample3000.bin");
  ASSERT_TRUE(expected);
  const HttpReply reply = HttpGet(server + "files/sample3000.bin");
  ASSERT_TRUE(reply.ok) << reply.error;
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.status_line, "HTTP/1.1 200 OK");
  EXPECT_EQ(reply.body, *expected);
  EXPECT_NE(reply.headers.find("Content-Length: 3000\r\n"), std::string::npos);
}

TEST_F(AgainstServer, ServesFilesTheTestPutsIntoTheServedFolder) {
  ASSERT_TRUE(WriteWholeFile(*TestServerRoot() + "\\files\\fresh.ocx", "fresh"));
  EXPECT_EQ(HttpGet(server + "files/fresh.ocx").body, "fresh");
}

TEST_F(AgainstServer, BadStatusesArriveWithTheirExactWording) {
  for (const std::string status : {"404 File Not Found", "404 Object Not Found",
                                   "500 Internal Server Error", "401 Unauthorized"}) {
    ASSERT_TRUE(ControlServer("set?path=/files/readme.txt&mode=status&status=" +
                              UrlEncode(status)));
    const HttpReply reply = HttpGet(server + "files/readme.txt");
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.status_line, "HTTP/1.1 " + status);
    EXPECT_EQ(reply.status, std::stoi(status.substr(0, 3)));
  }
  const HttpReply missing = HttpGet(server + "files/none.dll");
  EXPECT_EQ(missing.status, 404);
}

TEST_F(AgainstServer, ControlRequestsAreCheckedAndTheLogRecordsRequests) {
  EXPECT_FALSE(ControlServer("set?path=/x&mode=no-such-mode"));
  ASSERT_TRUE(ResetServer());
  HttpGet(server + "Ads2.htm");
  const std::string log = ServerLog();
  EXPECT_EQ(log.rfind("GET /Ads2.htm HTTP/1.1\r\n", 0), 0u) << log;
}

TEST_F(AgainstServer, AResetMidBodyIsAFailureNotAShortSuccess) {
  ASSERT_TRUE(ControlServer("set?path=/files/sample3000.bin&mode=reset&bytes=100"));
  const HttpReply reply = HttpGet(server + "files/sample3000.bin");
  EXPECT_FALSE(reply.ok && reply.body.size() == 3000);
}

TEST(NoServer, ControlFailsCleanlyWithoutAServerVariable) {
  const auto saved = EnvVar("MOVARIN_TEST_SERVER");
  SetEnvironmentVariableW(L"MOVARIN_TEST_SERVER", nullptr);
  EXPECT_FALSE(ControlServer("reset"));
  EXPECT_EQ(ServerLog(), "");
  if (saved) {
    SetEnvironmentVariableW(L"MOVARIN_TEST_SERVER",
                            std::wstring(saved->begin(), saved->end()).c_str());
  }
}

TEST(HttpGet, AnUnreachableServerIsReportedNotHung) {
  // Port 1 on the loopback is closed: the connection is refused at once.
  const HttpReply reply = HttpGet("http://127.0.0.1:1/x");
  EXPECT_FALSE(reply.ok);
  EXPECT_FALSE(reply.error.empty());
}

}  // namespace
}  // namespace movarin::test
