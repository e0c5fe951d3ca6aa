// Movarin with an https ServerBaseUrl, under Wine, against the TLS listeners of the test
// server: the whole start-up chain and a library's download go over TLS to the trusted
// server; a server whose certificate nobody trusts gives the download dialog's usual
// box and leaves no file.
#include "tests/e2e/main/movarin_fixture.h"

#include "settings/win32/registry_settings_store.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"
#include "tools/test_com_dll/test_com_ids.h"

namespace movarin::e2e {
namespace {

using main_program::MenuItem;

const std::string kLibrary = test_com::kFileName;

class HttpsTest : public MovarinTest {
 protected:
  void SetUp() override {
    MovarinTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(PrepareDownloads());
    trusted_ = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS").value_or("");
    untrusted_ = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS_UNTRUSTED").value_or("");
    ASSERT_FALSE(trusted_.empty() || untrusted_.empty()) << "the test server runs without TLS";
    // A real library on the server and in the catalogue.
    library_ = test::ReadWholeFile(BuildPath("testdata\\" + kLibrary)).value_or("");
    ASSERT_FALSE(library_.empty()) << "the test COM library is not built";
    ASSERT_TRUE(test::WriteWholeFile(server_files_ + "\\" + kLibrary, library_));
    catalogue_.push_back({kLibrary, "1.0.0.0"});
  }
  // Starts Movarin on `server` and searches the library's name with registering off, so
  // that the search's one match is downloaded and nothing more.
  void StartAndSearchTheLibrary(const std::string& server) {
    server_ = server;
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
    ClickMenuItem(MenuItem::kAutoRegisterNo);
    SearchFor("movarin_t");
  }
  HWND WaitForDialog() {
    return WaitForWindow({.class_name = "MovarinDownloadDialog", .process_id = app_->id()});
  }

  std::string trusted_, untrusted_, library_;
};

TEST_F(HttpsTest, TheStartupChainAndALibraryDownloadGoOverTls) {
  ASSERT_NO_FATAL_FAILURE(StartAndSearchTheLibrary(trusted_));
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr) << "exactly one match opens the download dialog";
  const std::string saved = downloads_ + "\\" + kLibrary;
  ASSERT_TRUE(WaitUntil([&] { return test::FileSize(saved) == library_.size(); }));
  EXPECT_TRUE(WaitForWindowGone(dialog)) << "the download completed: the dialog closes itself";
  EXPECT_EQ(test::ReadWholeFile(saved), library_);
  EXPECT_FALSE(FindMessageBox(app_->id()).has_value()) << "no error box";
  // Every step asked the server, and the program knew only its https address.
  const std::string log = test::ServerLog();
  std::string library_request = "GET /files/";
  library_request.append(kLibrary).append(" ");
  for (const std::string& request : std::vector<std::string>{"GET /Ads2.htm ", "GET /sponsor.png ", "GET /checkversion.php ",
                                                             "HEAD /database.mdb ", library_request}) {
    EXPECT_NE(log.find(request), std::string::npos) << request << "\n" << log;
  }
}

TEST_F(HttpsTest, TheCatalogueUpdateFetchesALargerCatalogueOverTls) {
  auto larger = catalogue_;
  for (int i = 0; i < 200; ++i) larger.push_back({"tls" + std::to_string(1000 + i) + ".dll", "1.0"});
  const std::string served = test::WindowsPath(*test::EnvVar("MOVARIN_TEST_SERVER_ROOT")) + "\\database-larger.mdb";
  ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(served, larger, tools::catalog_writer::CatalogueOptions{}).ok());
  ASSERT_TRUE(test::ControlServer("set?path=/database.mdb&file=/database-larger.mdb"));
  server_ = trusted_;
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(FirstHeader(), "File name: " + std::to_string(larger.size()));
  EXPECT_EQ(test::ReadWholeFile(*folder_ / "database.mdb"), test::ReadWholeFile(served));
  const std::string log = test::ServerLog();
  EXPECT_LT(log.find("HEAD /database.mdb HTTP/1.0"), log.find("GET /database.mdb ")) << log;
}

TEST_F(HttpsTest, AnUntrustedCertificateGivesTheConnectionErrorBoxAndNoFile) {
  // The chain passes as it does without a server: no page, no reply, no size.
  ASSERT_NO_FATAL_FAILURE(StartAndSearchTheLibrary(untrusted_));
  auto box = WaitForMessageBox(app_->id());
  ASSERT_TRUE(box.has_value()) << "the refused download showed no box";
  EXPECT_EQ(box->title, "Not downloaded");
  EXPECT_EQ(box->text, "Connection error");
  PressMessageBoxButton(box->window, "OK");
  ASSERT_TRUE(WaitForWindowGone(box->window));
  EXPECT_TRUE(test::FolderEntries(downloads_).empty()) << "a file was left behind";
  EXPECT_EQ(test::ServerLog().find("/files/"), std::string::npos) << "no request passed the handshake";
}

}  // namespace
}  // namespace movarin::e2e
