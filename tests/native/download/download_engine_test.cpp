// The engine's decisions against a scripted transfer and an in-memory disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "download/download_engine.h"
#include "fake_download_parts.h"

namespace movarin::download {
namespace {

using testing::Bytes;
using testing::FakeFileSystem;
using testing::FakeTransfer;
using testing::RecordingListener;
using Lines = std::vector<std::string>;

const std::string kUrl = "http://127.0.0.1:8080/files/ACTSKIN4.OCX";
const std::string kDest = "C:\\dl\\ACTSKIN4.OCX";
const std::string kStart = "Events: Getting file information";
const std::string kReset = "Errors: The connection with the server was reset.";

std::string Answer(const std::string& status, const std::string& headers = "") {
  return "HTTP/1.1 " + status + "\r\n" + headers + "\r\n";
}
std::string Ok(std::uint64_t length) {
  return Answer("200 OK", "Content-Length: " + std::to_string(length) + "\r\n");
}

class Engine : public ::testing::Test {
 protected:
  Engine() : engine(transfer, fs, [this] { ++pumps; }) {
    engine.SetListener(&listener);
    fs.folders = {"C:\\dl\\", "\\\\server\\share\\"};
    fs.free_bytes["C:\\"] = std::uint64_t{1} << 40;
  }
  void Serve(std::size_t length) {
    transfer.header_block = Ok(length);
    transfer.body = Bytes(length);
  }
  bool Download(const std::string& dest = kDest) { return engine.Download(kUrl, dest); }
  // Nothing but the given files may exist: no temporary file is ever left behind.
  void ExpectOnlyFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> present;
    for (const auto& [path, bytes] : fs.files) present.push_back(path);
    EXPECT_EQ(present, paths);
  }

  FakeTransfer transfer;
  FakeFileSystem fs;
  RecordingListener listener;
  int pumps = 0;
  DownloadEngine engine;
};

TEST_F(Engine, StatusesOtherThan200Or206AreReportedOnce) {
  struct Case {
    std::string header_block;
    std::string error;
  };
  const Case cases[] = {
      {Answer("204 No Content"), "Nothing to download!"},
      {Answer("401 Unauthorized"), "Authorization failed!"},
      {Answer("404 Not Found"), "The file, \"" + kUrl + "\" was not found!"},
      {"HTTP/1.1 \r\n", "Cannot establish connection."},
      {Answer("500 Internal Server Error"),
       "The server returned the following response:\r\rHTTP/1.1 500 Internal Server Error\r"},
      {Answer("302 Found", "Location: http://elsewhere/\r\n"),
       "The server returned the following response:\r\rHTTP/1.1 302 Found\r"},
      {"", "The server returned the following response:\r\r<nothing>"},
      {"not a status line, and no line end", "The server returned the following response:\r\r<nothing>"},
  };
  for (const auto& c : cases) {
    FakeTransfer t;
    FakeFileSystem files;
    files.folders = {"C:\\dl\\"};
    files.files[kDest] = Bytes(10);
    RecordingListener l;
    DownloadEngine e(t, files, [] {});
    e.SetListener(&l);
    t.header_block = c.header_block;
    t.body = Bytes(100);
    EXPECT_FALSE(e.Download(kUrl, kDest));
    EXPECT_EQ(l.lines, (Lines{kStart, "Errors: " + c.error})) << c.header_block;
    EXPECT_EQ(t.reads, 0);
    EXPECT_GE(t.cancels, 1) << "the closing step always cancels the request";
    EXPECT_TRUE(e.Cancelled());
    EXPECT_EQ(files.files.size(), 1u);
    EXPECT_EQ(files.files[kDest], Bytes(10)) << "an older file is never touched by a failure";
  }
}

TEST_F(Engine, ThreeThousandBytesReplaceALongerFile) {
  for (const char* status : {"200 OK", "206 Partial Content"}) {
    SCOPED_TRACE(status);
    FakeTransfer t;
    RecordingListener l;
    DownloadEngine e(t, fs, [] {});
    e.SetListener(&l);
    fs.files[kDest] = Bytes(5000, 9);
    t.header_block = Answer(status, "Content-Length: 3000\r\n");
    t.body = Bytes(3000);
    t.SetCredentials("", "");
    EXPECT_TRUE(e.Download(kUrl, kDest, "user", "secret"));
    EXPECT_EQ(l.lines, (Lines{kStart, "Progress: 34", "Progress: 68", "Progress: 100",
                              "Progress: 100", "Complete"}));
    EXPECT_EQ(t.reads, 4) << "1024, 1024, 952, then the empty read";
    EXPECT_EQ(fs.files[kDest], Bytes(3000));
    ExpectOnlyFiles({kDest});
    EXPECT_EQ(t.verb, "GET");
    EXPECT_EQ(t.request_body, "");
    EXPECT_EQ(t.extra_headers, "Range: bytes=0-\r\n");
    EXPECT_EQ(t.user_name, "user");
    EXPECT_EQ(t.password, "secret");
    EXPECT_EQ(t.address, kUrl);
    EXPECT_FALSE(e.Cancelled());
  }
}

TEST_F(Engine, AOneByteChunkEndsTheLoopWithoutAnotherRead) {
  Serve(1025);
  EXPECT_TRUE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 100", "Progress: 100", "Complete"}));
  EXPECT_EQ(transfer.reads, 2);
  EXPECT_EQ(fs.files[kDest].size(), 1025u);
}

TEST_F(Engine, MessagesArePumpedWhileWaitingAndAfterEveryChunk) {
  Serve(3000);
  transfer.busy_polls = 3;
  EXPECT_TRUE(Download());
  EXPECT_GE(pumps, 3 + transfer.reads);
}

TEST_F(Engine, CancelDuringTheBodyEndsSilentlyAndKeepsTheOldFile) {
  fs.files[kDest] = Bytes(10, 3);
  Serve(3000);
  transfer.before_read[2] = [this] { engine.Cancel(); };
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 34"}));
  EXPECT_EQ(fs.files[kDest], Bytes(10, 3));
  ExpectOnlyFiles({kDest});
  EXPECT_TRUE(engine.Cancelled());
}

TEST_F(Engine, CancelFromTheLastProgressEventStillFailsTheDownload) {
  Serve(3000);
  listener.on_progress = [this](int percent) {
    if (percent == 100) engine.Cancel();
  };
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 34", "Progress: 68", "Progress: 100"}));
  ExpectOnlyFiles({});
}

TEST_F(Engine, CancelWhileTheRequestRunsEndsBeforeTheHeaders) {
  Serve(3000);
  transfer.busy_polls = 100;
  int polls = 0;
  transfer.on_poll = [&] {
    if (++polls == 3) engine.Cancel();
  };
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart}));
  EXPECT_EQ(transfer.reads, 0);
  ExpectOnlyFiles({});
}

TEST_F(Engine, TheCancelFlagLastsUntilTheNextDownload) {
  engine.Cancel();
  EXPECT_TRUE(engine.Cancelled());
  EXPECT_EQ(transfer.cancels, 0) << "no request runs, so nothing to end";
  Serve(10);
  EXPECT_TRUE(Download());
  EXPECT_FALSE(engine.Cancelled());
}

TEST_F(Engine, AShortOrResetBodyIsReportedAndLeavesNothing) {
  fs.files[kDest] = Bytes(10, 3);
  transfer.header_block = Ok(3000);
  transfer.body = Bytes(2048);
  for (ChunkStatus end : {ChunkStatus::kEndOfBody, ChunkStatus::kBroken}) {
    listener.lines.clear();
    transfer.end = end;
    EXPECT_FALSE(Download());
    EXPECT_EQ(listener.lines,
              (Lines{kStart, "Progress: 34", "Progress: 68", "Progress: 68", kReset}));
    EXPECT_EQ(fs.files[kDest], Bytes(10, 3));
    ExpectOnlyFiles({kDest});
  }
}

TEST_F(Engine, ABodyLongerThanAnnouncedIsNotComplete) {
  transfer.header_block = Ok(1000);
  transfer.body = Bytes(50000);
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 102", kReset}));
  EXPECT_EQ(transfer.reads, 1) << "no reading on past the announced length";
  ExpectOnlyFiles({});
}

TEST_F(Engine, WithoutContentLengthTheBodyIsReadToItsEnd) {
  for (const std::string headers : {"", "Content-Length: abc\r\n", "Content-Length: -5\r\n"}) {
    SCOPED_TRACE(headers);
    listener.lines.clear();
    fs.files.clear();
    transfer.header_block = Answer("200 OK", headers);
    transfer.body = Bytes(2500);
    transfer.end = ChunkStatus::kEndOfBody;
    EXPECT_TRUE(Download());
    EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 100", "Complete"}));
    EXPECT_EQ(fs.files[kDest], Bytes(2500));
    ExpectOnlyFiles({kDest});
  }
}

TEST_F(Engine, WithoutContentLengthACutOffBodyFails) {
  fs.files[kDest] = Bytes(10, 3);
  transfer.header_block = Answer("200 OK");
  transfer.body = Bytes(2500);
  transfer.end = ChunkStatus::kBroken;
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, kReset}));
  EXPECT_EQ(fs.files[kDest], Bytes(10, 3));
  ExpectOnlyFiles({kDest});
}

TEST_F(Engine, WithoutContentLengthAPartialAnswerEndsWhereItsRangeSays) {
  transfer.header_block = Answer("206 Partial Content", "Content-Range: bytes 0-2999/3000\r\n");
  transfer.end = ChunkStatus::kEndOfBody;  // a reset that the transfer took for an end
  transfer.body = Bytes(2000);
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, kReset}));
  ExpectOnlyFiles({});

  listener.lines.clear();
  transfer.body = Bytes(3000);
  EXPECT_TRUE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 100", "Complete"}));
  EXPECT_EQ(fs.files[kDest], Bytes(3000));
}

TEST_F(Engine, ZeroContentLengthCompletesWithoutTouchingTheDisk) {
  fs.files[kDest] = Bytes(10, 3);
  transfer.header_block = Ok(0);
  EXPECT_TRUE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Complete"}));
  EXPECT_EQ(transfer.reads, 0);
  EXPECT_EQ(fs.files[kDest], Bytes(10, 3));
  EXPECT_TRUE(fs.temp_paths.empty()) << "no file was started";
  ExpectOnlyFiles({kDest});

  // Nor is a missing one created, or its folder.
  listener.lines.clear();
  EXPECT_TRUE(Download("C:\\dl\\new\\b.ocx"));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Complete"}));
  EXPECT_EQ(fs.folders.count("C:\\dl\\new\\"), 0u);
  ExpectOnlyFiles({kDest});
}

TEST_F(Engine, AnUnrepresentableLengthIsARequestFailure) {
  transfer.header_block = Answer("200 OK", "Content-Length: 99999999999999999999\r\n");
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Errors: Error: Overflow occurred."}));
  ExpectOnlyFiles({});
}

TEST_F(Engine, RequestFailuresQuoteTheDescription) {
  Serve(100);
  transfer.start_failure = Failure{12029, "Cannot connect to the server"};
  EXPECT_FALSE(Download());
  transfer.start_failure.reset();
  transfer.header_failure = Failure{12002, "The operation timed out"};
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Errors: Error: Cannot connect to the server occurred.",
                                   kStart, "Errors: Error: The operation timed out occurred."}));
  ExpectOnlyFiles({});
}

TEST_F(Engine, FreeSpaceIsCheckedOnDriveLetterPathsOnly) {
  Serve(3000);
  fs.free_bytes["C:\\"] = 2999;
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: There is not enough free space on disk for this file."}));
  EXPECT_EQ(fs.free_space_queries, (Lines{"C:\\"}));
  EXPECT_EQ(transfer.reads, 0);

  listener.lines.clear();
  fs.free_bytes["C:\\"] = 3000;
  EXPECT_TRUE(Download());

  // A network path has no drive to ask.
  listener.lines.clear();
  fs.free_space_queries.clear();
  EXPECT_TRUE(Download("\\\\server\\share\\ACTSKIN4.OCX"));
  EXPECT_TRUE(fs.free_space_queries.empty());
  EXPECT_EQ(fs.files["\\\\server\\share\\ACTSKIN4.OCX"], Bytes(3000));

  listener.lines.clear();
  // Free space that cannot be read counts as none.
  fs.free_bytes_failure = Failure{71, "Disk not ready"};
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: There is not enough free space on disk for this file."}));
}

TEST_F(Engine, LengthsBeyondThirtyTwoBitsAreComparedAndCountedWhole) {
  const std::uint64_t five_gib = std::uint64_t{5} << 30;
  transfer.header_block = Ok(five_gib);
  transfer.body = Bytes(2048);
  transfer.end = ChunkStatus::kBroken;
  fs.free_bytes["C:\\"] = std::uint64_t{4} << 30;  // would pass if either side wrapped
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: There is not enough free space on disk for this file."}));

  listener.lines.clear();
  fs.free_bytes["C:\\"] = std::uint64_t{6} << 30;
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 0", "Progress: 0", "Progress: 0", kReset}));
}

TEST_F(Engine, AMissingFolderIsCreatedOneLevelDeep) {
  Serve(100);
  EXPECT_TRUE(Download("C:\\dl\\new\\a.ocx"));
  EXPECT_TRUE(fs.folders.count("C:\\dl\\new\\"));
  EXPECT_EQ(fs.files["C:\\dl\\new\\a.ocx"], Bytes(100));

  listener.lines.clear();
  EXPECT_FALSE(Download("C:\\dl\\x\\y\\a.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: Cannot write file to disk.\r\rError 76: Path not found"}));
  EXPECT_FALSE(fs.folders.count("C:\\dl\\x\\y\\"));
  EXPECT_FALSE(fs.files.count("C:\\dl\\x\\y\\a.ocx"));
}

TEST_F(Engine, DiskFailuresLeaveTheOldFileInPlace) {
  fs.files[kDest] = Bytes(10, 3);
  Serve(3000);
  fs.write_limit = 2000;
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 34",
                                   "Errors: Cannot write file to disk.\r\rError 61: Disk full"}));
  EXPECT_EQ(fs.files[kDest], Bytes(10, 3));
  ExpectOnlyFiles({kDest});

  listener.lines.clear();
  fs.write_limit.reset();
  fs.move_failure = Failure{70, "Permission denied"};
  EXPECT_FALSE(Download());
  EXPECT_EQ(listener.lines.back(), "Errors: Cannot write file to disk.\r\rError 70: Permission denied");
  EXPECT_EQ(std::count(listener.lines.begin(), listener.lines.end(), "Complete"), 0);
  EXPECT_EQ(fs.files[kDest], Bytes(10, 3));
  ExpectOnlyFiles({kDest});
}

TEST_F(Engine, ADestinationThatIsNotAPlainFileNameIsRefused) {
  Serve(100);
  for (const std::string dest : {"C:\\dl\\..", "C:\\dl\\.", "C:\\dl\\a/b.ocx", "C:\\dl\\x:y", "C:\\dl\\"}) {
    listener.lines.clear();
    EXPECT_FALSE(Download(dest)) << dest;
    EXPECT_EQ(listener.lines,
              (Lines{kStart, "Errors: Cannot write file to disk.\r\rError 52: Bad file name or number"}))
        << dest;
  }
  ExpectOnlyFiles({});
}

TEST_F(Engine, ASecondDownloadFromAnEventHandlerIsRefused) {
  Serve(3000);
  int nested_results = 0;
  listener.on_progress = [&](int) {
    if (engine.Download(kUrl, "C:\\dl\\other.ocx")) ++nested_results;
  };
  EXPECT_TRUE(Download());
  EXPECT_EQ(nested_results, 0);
  EXPECT_EQ(transfer.starts, 1);
  ExpectOnlyFiles({kDest});
}

// A body checked against its catalogue digest: hashed as it is written, whatever the
// chunking and with or without a Content-Length; a mismatch keeps nothing of the new
// body and leaves an older file of that name as it was.
TEST_F(Engine, AnExpectedDigestIsMetBeforeTheFileIsPutInPlace) {
  struct Case {
    const char* name;
    bool length_known;
    std::size_t bytes_per_read;
  };
  for (const Case& c : {Case{"with length", true, 1024}, Case{"small reads", true, 100},
                        Case{"without length", false, 777}}) {
    SCOPED_TRACE(c.name);
    for (const bool matching : {true, false}) {
      FakeTransfer t;
      FakeFileSystem files;
      files.folders = {"C:\\dl\\"};
      files.free_bytes["C:\\"] = std::uint64_t{1} << 40;
      files.files[kDest] = Bytes(10, 7);
      RecordingListener l;
      DownloadEngine e(t, files, [] {});
      e.SetListener(&l);
      t.body = Bytes(5000, 3);
      t.bytes_per_read = c.bytes_per_read;
      t.header_block = c.length_known ? Ok(t.body.size()) : Answer("200 OK");
      std::vector<std::uint8_t> vouched = t.body;
      if (!matching) vouched[4321] ^= 1;  // the file changed after the catalogue was built
      const base::Sha256Digest expected = base::Sha256::Of(vouched);
      const bool done = e.Download(kUrl, kDest, ExpectedDigest::Of(expected));
      ASSERT_FALSE(l.lines.empty());
      if (matching) {
        EXPECT_TRUE(done);
        EXPECT_EQ(l.lines.back(), "Complete");
        EXPECT_EQ(files.files[kDest], t.body);
      } else {
        EXPECT_FALSE(done);
        EXPECT_EQ(l.lines.back(),
                  "Errors: The downloaded file does not match the catalogue: SHA-256 expected " +
                      base::Sha256ToHex(expected) + ", received " +
                      base::Sha256ToHex(base::Sha256::Of(t.body)) + ". The file was not kept.");
        EXPECT_EQ(std::count(l.lines.begin(), l.lines.end(), "Complete"), 0);
        EXPECT_EQ(files.files[kDest], Bytes(10, 7)) << "the older file stays";
        EXPECT_EQ(files.files.size(), 1u) << "no temporary file is left";
        EXPECT_TRUE(e.Cancelled());
      }
    }
  }
}

TEST_F(Engine, DigestsOfEmptyAnswersAndUnusableDigests) {
  // An empty answer is the empty message: it meets the empty digest and no other.
  transfer.header_block = Ok(0);
  EXPECT_TRUE(engine.Download(kUrl, kDest, ExpectedDigest::Of(base::Sha256::Of({}))));
  EXPECT_EQ(listener.lines.back(), "Complete");
  listener.lines.clear();
  EXPECT_FALSE(engine.Download(kUrl, kDest, ExpectedDigest::Of(base::Sha256::Of(Bytes(1)))));
  ASSERT_EQ(listener.lines.size(), 2u);
  EXPECT_EQ(listener.lines[1].rfind("Errors: The downloaded file does not match", 0), 0u);
  ExpectOnlyFiles({});

  // A catalogue text that is no digest refuses the download before any request.
  listener.lines.clear();
  Serve(3000);
  const int starts = transfer.starts;
  EXPECT_FALSE(engine.Download(kUrl, kDest, ExpectedDigest::FromCatalogueText("12ab")));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: The catalogue's SHA-256 digest of this file is not valid; the file "
                           "is not downloaded."}));
  EXPECT_EQ(transfer.starts, starts);
  ExpectOnlyFiles({});
}

TEST(ExpectedDigestTest, FromCatalogueText) {
  const std::string hex = base::Sha256ToHex(base::Sha256::Of(testing::Bytes(9)));
  EXPECT_TRUE(ExpectedDigest::FromCatalogueText("").IsNone());
  EXPECT_EQ(ExpectedDigest::FromCatalogueText(hex), ExpectedDigest::Of(base::Sha256::Of(testing::Bytes(9))));
  for (const std::string& bad : std::vector<std::string>{hex + " ", hex.substr(1), " ", "x" + hex.substr(1)}) {
    EXPECT_TRUE(ExpectedDigest::FromCatalogueText(bad).IsUnusable()) << bad;
  }
}

}  // namespace
}  // namespace movarin::download
