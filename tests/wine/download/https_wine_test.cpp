// https server addresses through WinINet, against the TLS listeners of the test server:
// the download engine, the remote file control's HEAD and copy, and the small fetch of
// the update check and the page view. The test CA is trusted in the test prefix only
// (scripts/test-certificates.sh); the other two listeners show a certificate for another
// host name and one from a CA nobody trusts.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <string>
#include <vector>

#include "download/win32/http_fetch.h"
#include "download/win32/inet_download.h"
#include "download/win32/internet_file_control.h"
#include "tests/native/download/fake_download_parts.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/test_server.h"
#include "updates/update_reply.h"

namespace movarin::download {
namespace {

using movarin::test::ControlServer;
using movarin::test::FolderEntries;
using movarin::test::ReadWholeFile;
using movarin::test::ResetServer;
using movarin::test::ServerLog;
using movarin::test::TempFolder;
using movarin::test::UrlEncode;
using movarin::test::WriteWholeFile;
using testing::RecordingListener;
using Lines = std::vector<std::string>;

const std::string kStart = "Events: Getting file information";

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 167 + i / 509) & 0xFF);
  return bytes;
}

class HttpsAgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    plain = test::TestServerUrl().value_or("");
    trusted = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS").value_or("");
    wrong_host = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS_WRONG_HOST").value_or("");
    untrusted = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS_UNTRUSTED").value_or("");
    ASSERT_FALSE(plain.empty()) << "run through wine-run.sh --with-server";
    ASSERT_FALSE(trusted.empty() || wrong_host.empty() || untrusted.empty())
        << "the test server runs without TLS: openssl missing?";
    ASSERT_TRUE(ResetServer());
    const auto root = test::TestServerRoot();
    ASSERT_TRUE(root);
    served = *root + "\\files\\";
    download.engine().SetListener(&listener);
  }
  void TearDown() override { ResetServer(); }

  bool Get(const std::string& base, const std::string& name, const std::string& dest) {
    listener.lines.clear();
    return download.engine().Download(base + "files/" + name, dest);
  }

  std::string plain, trusted, wrong_host, untrusted, served;
  TempFolder folder{"movarin-https"};
  RecordingListener listener;
  win32::InetDownload download;
};

// The test CA sits in the local machine's Root store of this prefix: what the trust set-up
// writes, and what crypt32 builds chains from.
TEST(TestCertificateAuthority, IsInThePrefixRootStore) {
  HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                  CERT_SYSTEM_STORE_LOCAL_MACHINE | CERT_STORE_READONLY_FLAG, L"Root");
  ASSERT_NE(root, nullptr);
  const CERT_CONTEXT* found = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_W,
                                                         L"Movarin Test CA", nullptr);
  EXPECT_NE(found, nullptr) << "scripts/test-certificates.sh trust_test_ca has not run in this prefix";
  const CERT_CONTEXT* other = CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_SUBJECT_STR_W,
                                                         L"Movarin Untrusted Test CA", nullptr);
  EXPECT_EQ(other, nullptr);
  if (found) CertFreeCertificateContext(found);
  if (other) CertFreeCertificateContext(other);
  CertCloseStore(root, 0);
}

TEST_F(HttpsAgainstServer, EngineDownloadsOverTlsFromTheTrustedServer) {
  const std::string body = Pattern(3000);
  ASSERT_TRUE(WriteWholeFile(served + "ACTSKIN4.OCX", body));
  const std::string dest = folder / "ACTSKIN4.OCX";
  ASSERT_TRUE(Get(trusted, "ACTSKIN4.OCX", dest));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Progress: 34", "Progress: 68", "Progress: 100", "Progress: 100",
                                   "Complete"}));
  EXPECT_TRUE(ReadWholeFile(dest) == body);
  EXPECT_NE(ServerLog().find("GET /files/ACTSKIN4.OCX HTTP/1.1\r\n"), std::string::npos);

  // The server's answers keep their messages over TLS.
  ASSERT_TRUE(ControlServer("set?path=/files/ACTSKIN4.OCX&mode=status&status=" + UrlEncode("404 File Not Found")));
  EXPECT_FALSE(Get(trusted, "ACTSKIN4.OCX", dest));
  EXPECT_EQ(listener.lines, (Lines{kStart, "Errors: The file, \"" + trusted + "files/ACTSKIN4.OCX\" was not found!"}));
  EXPECT_TRUE(ReadWholeFile(dest) == body) << "a failed download keeps the older file";
}

TEST_F(HttpsAgainstServer, EngineRefusesABadCertificateAndLeavesNothing) {
  ASSERT_TRUE(WriteWholeFile(served + "a.ocx", Pattern(2000)));
  struct Case {
    const std::string& base;
    std::vector<std::string> errors;  // the texts WinINet may give for the case
  };
  // Wine reports a certificate from an unknown CA as one whose revocation cannot be
  // checked (the chain ends in no trusted root); Windows as an untrusted authority.
  const Case cases[] = {
      {wrong_host, {"Errors: Error: The server's certificate name is invalid occurred."}},
      {untrusted,
       {"Errors: Error: The server's certificate authority is not trusted occurred.",
        "Errors: Error: The server's certificate could not be checked for revocation occurred."}},
  };
  for (const Case& c : cases) {
    const std::string dest = folder / "a.ocx";
    EXPECT_FALSE(Get(c.base, "a.ocx", dest)) << c.base;
    ASSERT_EQ(listener.lines.size(), 2u) << c.base;
    EXPECT_EQ(listener.lines[0], kStart);
    EXPECT_NE(std::find(c.errors.begin(), c.errors.end(), listener.lines[1]), c.errors.end()) << listener.lines[1];
    EXPECT_TRUE(FolderEntries(folder.path()).empty()) << c.base << ": no file is left behind";

    // An older file of the name stays as it was.
    ASSERT_TRUE(WriteWholeFile(dest, "older"));
    EXPECT_FALSE(Get(c.base, "a.ocx", dest));
    EXPECT_TRUE(ReadWholeFile(dest) == std::string("older"));
    ASSERT_TRUE(DeleteFileA(dest.c_str()));
  }
  // No request reached the server through a refused connection.
  EXPECT_EQ(ServerLog().find("/files/a.ocx"), std::string::npos) << ServerLog();
}

TEST_F(HttpsAgainstServer, EngineFollowsRedirectsWithinTlsButNotToPlainHttp) {
  const std::string body = Pattern(1500);
  ASSERT_TRUE(WriteWholeFile(served + "b.ocx", body));
  ASSERT_TRUE(ControlServer("set?path=/files/a.ocx&mode=redirect&to=" + UrlEncode(trusted + "files/b.ocx")));
  const std::string dest = folder / "a.ocx";
  EXPECT_TRUE(Get(trusted, "a.ocx", dest));
  EXPECT_TRUE(ReadWholeFile(dest) == body);

  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ControlServer("set?path=/files/a.ocx&mode=redirect&to=" + UrlEncode(plain + "files/b.ocx")));
  EXPECT_FALSE(Get(trusted, "a.ocx", folder / "c.ocx"));
  EXPECT_EQ(listener.lines,
            (Lines{kStart, "Errors: The server returned the following response:\r\rHTTP/1.1 302 Found\r"}));
  EXPECT_EQ(ServerLog().find("GET /files/b.ocx"), std::string::npos) << "the plain address was not asked";
}

TEST_F(HttpsAgainstServer, RemoteFileHeadOverTls) {
  ASSERT_TRUE(WriteWholeFile(*test::TestServerRoot() + "\\database.mdb", Pattern(5000)));
  win32::InternetFileControl remote([] {});
  InternetFile& file = remote.file();
  file.settings.url = trusted + "database.mdb";
  file.RequestInformation();
  EXPECT_TRUE(file.FileExists());
  EXPECT_EQ(file.FileSize(), 5000);
  EXPECT_NE(file.LastModified(), "Not Available");
  EXPECT_NE(ServerLog().find("HEAD /database.mdb HTTP/1.0\r\n"), std::string::npos);

  // A redirect within TLS is followed; one to plain http is not: the redirect's own
  // answer stands and the plain address is never asked.
  ASSERT_TRUE(ControlServer("set?path=/old.mdb&mode=redirect&to=" + UrlEncode(trusted + "database.mdb")));
  file.settings.url = trusted + "old.mdb";
  file.RequestInformation();
  EXPECT_EQ(file.FileSize(), 5000);
  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ControlServer("set?path=/old.mdb&mode=redirect&omit=Content-Length&to=" +
                            UrlEncode(plain + "database.mdb")));
  file.RequestInformation();
  EXPECT_EQ(file.FileSize(), -1);
  EXPECT_EQ(ServerLog().find("HEAD /database.mdb"), std::string::npos) << ServerLog();

  // A bad certificate gives no answer: no size, so the catalogue update sees none.
  for (const std::string& base : {wrong_host, untrusted}) {
    win32::InternetFileControl other([] {});
    other.file().settings.url = base + "database.mdb";
    other.file().RequestInformation();
    EXPECT_FALSE(other.file().FileExists()) << base;
    EXPECT_EQ(other.file().FileSize(), -1) << base;
  }
}

TEST_F(HttpsAgainstServer, RemoteFileCopyOverTlsAndRefusedOnABadCertificate) {
  const std::string body = Pattern(5000);
  ASSERT_TRUE(WriteWholeFile(served + "c.mdb", body));
  win32::InternetFileControl remote([] {});
  InternetFile& file = remote.file();
  file.settings.url = trusted + "files/c.mdb";
  file.settings.local_file = folder / "c.mdb";
  file.StartDownload();
  EXPECT_TRUE(ReadWholeFile(folder / "c.mdb") == body);

  win32::InternetFileControl bad([] {});
  bad.file().settings.url = untrusted + "files/c.mdb";
  bad.file().settings.local_file = folder / "bad.mdb";
  bad.file().StartDownload();
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"c.mdb"}));

  // The copy follows a redirect within TLS, and not one to plain http.
  ASSERT_TRUE(ControlServer("set?path=/files/moved.mdb&mode=redirect&to=" + UrlEncode(trusted + "files/c.mdb")));
  win32::InternetFileControl moved([] {});
  moved.file().settings.url = trusted + "files/moved.mdb";
  moved.file().settings.local_file = folder / "moved.mdb";
  moved.file().StartDownload();
  EXPECT_TRUE(ReadWholeFile(folder / "moved.mdb") == body);

  ASSERT_TRUE(ResetServer());
  ASSERT_TRUE(ControlServer("set?path=/files/moved.mdb&mode=redirect&to=" + UrlEncode(plain + "files/c.mdb")));
  win32::InternetFileControl downgraded([] {});
  downgraded.file().settings.url = trusted + "files/moved.mdb";
  downgraded.file().settings.local_file = folder / "plain.mdb";
  downgraded.file().StartDownload();
  EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"c.mdb", "moved.mdb"}));
  EXPECT_EQ(ServerLog().find("GET /files/c.mdb"), std::string::npos) << "the plain address was not asked";
}

TEST_F(HttpsAgainstServer, FetchOfTheUpdateCheckAndThePageView) {
  win32::HttpFetch fetch;
  auto page = fetch.Get(trusted + "Ads2.htm", 1 << 20);
  ASSERT_TRUE(page.ok()) << page.error().description;
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("<img src=\"sponsor.png\""), std::string::npos);

  ASSERT_TRUE(ControlServer("version?number=3"));
  auto reply = fetch.Get(trusted + "checkversion.php", 64 * 1024);
  ASSERT_TRUE(reply.ok()) << reply.error().description;
  EXPECT_EQ(updates::DecideUpdateCheck(reply->body, 2).outcome, updates::UpdateCheckOutcome::kOfferUpdate);

  // A bad certificate is no answer at all: the update check goes on as without a server.
  for (const std::string& base : {wrong_host, untrusted}) {
    auto refused = fetch.Get(base + "checkversion.php", 64 * 1024);
    ASSERT_FALSE(refused.ok()) << base;
    EXPECT_NE(refused.error().description.find("certificate"), std::string::npos) << refused.error().description;
  }
}

}  // namespace
}  // namespace movarin::download
