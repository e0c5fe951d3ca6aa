// Movarin's start-up chain under Wine, against the test HTTP server: the sponsor page,
// the program update check and the catalogue update, worked the way a user works them.
#include "tests/e2e/main/movarin_fixture.h"

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/sha256.h"
#include "programs/main/database_update_window/database_update_window_layout.h"
#include "programs/main/sponsor_window/sponsor_window_layout.h"
#include "programs/main/update_check_window/update_check_window_layout.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::e2e {
namespace {

using base::Sha256;
using base::Sha256ToHex;
using namespace std::chrono_literals;
using std::chrono::seconds;
namespace sw = main_program::sponsor_window;
namespace uc = main_program::update_check_window;
namespace du = main_program::database_update_window;

constexpr const char* kSponsorClass = "MovarinSponsorWindow";
constexpr const char* kUpdateCheckClass = "MovarinUpdateCheckWindow";
constexpr const char* kDatabaseUpdateClass = "MovarinDatabaseUpdateWindow";

// The demo catalogue and 400 rows more: a larger server copy.
std::vector<tools::catalog_writer::CatalogueEntry> LargerCatalogue() {
  auto entries = DemoCatalogue();
  for (int i = 0; i < 400; ++i) entries.push_back({"added" + std::to_string(1000 + i) + ".dll", "1.0.0." + std::to_string(i)});
  return entries;
}

class StartupChainTest : public MovarinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(MovarinTest::SetUp());
    ASSERT_TRUE(test::ResetServer());
    const auto root = test::EnvVar("MOVARIN_TEST_SERVER_ROOT");
    ASSERT_TRUE(root.has_value()) << "run with the test server";
    served_ = test::WindowsPath(*root);
  }
  void TearDown() override {
    MovarinTest::TearDown();
    test::ResetServer();
  }

  HWND WaitForChainWindow(const char* class_name, milliseconds timeout = seconds(30)) const {
    return WaitForWindow({.class_name = class_name, .process_id = app_->id()}, timeout);
  }
  // Waits for the sponsor window and goes past it, as a user does.
  void PassTheSponsorWindow() const {
    HWND sponsor = WaitForChainWindow(kSponsorClass);
    ASSERT_NE(sponsor, nullptr);
    std::string error;
    ASSERT_TRUE(PassSponsorWindow(sponsor, &error)) << error;
  }
  // Writes a larger catalogue into the server's folder, beside what it serves.
  void WriteLargerCatalogue() {
    ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(served_ + "\\database-larger.mdb", LargerCatalogue(),
                                                          tools::catalog_writer::CatalogueOptions{})
                    .ok());
  }
  std::string Catalogue() const { return test::ReadWholeFile(*folder_ / "database.mdb").value_or("<absent>"); }

  std::string served_;
};

TEST_F(StartupChainTest, FromAFreshStartTheChainFetchesALargerCatalogueForTheMainWindow) {
  ASSERT_NO_FATAL_FAILURE(WriteLargerCatalogue());
  ASSERT_TRUE(test::ControlServer("set?path=/database.mdb&file=/database-larger.mdb"));
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_GT(test::FileSize(served_ + "\\database-larger.mdb").value_or(0),
            test::FileSize(*folder_ / "database.mdb").value_or(0));
  HWND sponsor = WaitForChainWindow(kSponsorClass);
  ASSERT_NE(sponsor, nullptr);
  EXPECT_EQ(GetText(sponsor), "Movarin");
  EXPECT_EQ(GetText(GetDlgItem(sponsor, sw::kFreeLabel)), "This software is 100% free");
  EXPECT_EQ(GetText(GetDlgItem(sponsor, sw::kSupportLabel)), "Please support this software by visiting our sponsors");
  EXPECT_EQ(GetText(GetDlgItem(sponsor, sw::kOpensLabel)),
            "This software will open as soon as you click on our sponsors links ");
  EXPECT_EQ(GetText(GetDlgItem(sponsor, sw::kRefreshButton)), "Refresh");
  HWND view = FindPageView(sponsor);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(WaitForPage(view));
  // The page with its text, links and picture (fetched by the view, not a browser).
  EXPECT_EQ(PageViewAddress(view), server_ + "Ads2.htm");
  EXPECT_EQ(PageViewLinkCount(view), 3);
  EXPECT_NE(test::ServerLog().find("GET /sponsor.png "), std::string::npos);
  Screenshot(sponsor, "startup-1-sponsor-page");

  std::string error;
  ASSERT_TRUE(PassSponsorWindow(sponsor, &error)) << error;
  EXPECT_EQ(PageViewAddress(view), server_ + "sponsor.htm");
  EXPECT_TRUE(IsWindow(sponsor)) << "the sponsor window only hides";

  HWND update = WaitForChainWindow(kDatabaseUpdateClass);
  ASSERT_NE(update, nullptr) << "version 2 on the server: the update check goes on";
  EXPECT_TRUE(WaitUntil([&] { return !FindTopWindow({.class_name = kUpdateCheckClass, .process_id = app_->id()}); }))
      << "the update check closed";
  EXPECT_EQ(GetText(GetDlgItem(update, du::kAddressBox)), server_ + "database.mdb");
  ASSERT_TRUE(WaitForWindowGone(update, seconds(30)));

  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(FirstHeader(), "File name: " + std::to_string(LargerCatalogue().size()));
  EXPECT_EQ(Catalogue(), test::ReadWholeFile(served_ + "\\database-larger.mdb"));
  EXPECT_FALSE(test::FileExists(*folder_ / "database.mdb.download"));
  Screenshot(main_, "startup-4-main-window-larger-catalogue");

  // What the server saw, in order: the page and its picture, the version, the size, the copy.
  const std::string log = test::ServerLog();
  const auto at = [&](const std::string& line) { return log.find(line); };
  ASSERT_NE(at("GET /Ads2.htm "), std::string::npos) << log;
  EXPECT_LT(at("GET /Ads2.htm "), at("GET /checkversion.php ")) << log;
  EXPECT_LT(at("GET /checkversion.php "), at("HEAD /database.mdb HTTP/1.0")) << log;
  EXPECT_LT(at("HEAD /database.mdb HTTP/1.0"), at("GET /database.mdb ")) << log;
}

TEST_F(StartupChainTest, ANewerVersionIsOfferedAndUpdateStartsTheUpdaterAndEndsTheProgram) {
  ASSERT_TRUE(test::ControlServer("version?number=3"));
  ASSERT_NO_FATAL_FAILURE(Launch());
  const auto updater = test::ReadWholeFile(BuildPath("app\\tests\\NewVersion.exe"));
  ASSERT_TRUE(updater.has_value());
  ASSERT_TRUE(test::WriteWholeFile(*folder_ / "NewVersion.exe", *updater));
  ASSERT_NO_FATAL_FAILURE(PassTheSponsorWindow());

  HWND window = WaitForChainWindow(kUpdateCheckClass);
  ASSERT_NE(window, nullptr);
  HWND label = GetDlgItem(window, uc::kStatusLabel);
  ASSERT_TRUE(WaitUntil([&] { return GetText(label) == "New Updates Available!"; })) << GetText(label);
  EXPECT_EQ(GetText(GetDlgItem(window, uc::kCheckButton)), "Check");
  EXPECT_EQ(GetText(GetDlgItem(window, uc::kUpdateButton)), "Update");
  Screenshot(window, "startup-2-update-offered");
  // The chain stops here.
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(FindTopWindow({.class_name = kDatabaseUpdateClass, .process_id = app_->id()}), nullptr);

  Click(GetDlgItem(window, uc::kUpdateButton));
  EXPECT_TRUE(app_->WaitForExit().has_value()) << "Update ends the program";
  const std::string started = *folder_ / "NewVersion.started";
  ASSERT_TRUE(WaitUntil([&] { return test::FileExists(started); })) << "NewVersion.exe did not start";
  // Started in "C:\" (its record is UTF-16: the working folder on the first line).
  std::string record;
  ASSERT_TRUE(WaitUntil([&] {
    record = test::ReadWholeFile(started).value_or("");
    return record.find(std::string("\r\0\n\0", 4)) != std::string::npos;
  }));
  EXPECT_EQ(record.substr(0, 8), std::string("C\0:\0\\\0\r\0", 8));
}

TEST_F(StartupChainTest, AReplyWithoutTheMarkerWaitsUntilCheckFindsOne) {
  ASSERT_TRUE(test::ControlServer("set?path=/checkversion.php&body=ccc3ddd"));
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NO_FATAL_FAILURE(PassTheSponsorWindow());
  HWND window = WaitForChainWindow(kUpdateCheckClass);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([] { return test::ServerLog().find("GET /checkversion.php ") != std::string::npos; }));
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(GetText(GetDlgItem(window, uc::kStatusLabel)), "Checking For Updates");
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(FindTopWindow({.class_name = kDatabaseUpdateClass, .process_id = app_->id()}), nullptr);

  ASSERT_TRUE(test::ResetServer());
  Click(GetDlgItem(window, uc::kCheckButton));
  HWND update = WaitForChainWindow(kDatabaseUpdateClass);
  ASSERT_NE(update, nullptr) << "checked again at version 2: on to the catalogue update";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << "the update check closed";
  ASSERT_TRUE(WaitForWindowGone(update, seconds(30)));
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(FirstHeader(), "File name: 7");
}

TEST_F(StartupChainTest, ABrokenCatalogueDownloadKeepsTheOldCatalogueAndTheChainGoesOn) {
  ASSERT_NO_FATAL_FAILURE(WriteLargerCatalogue());
  ASSERT_TRUE(test::WriteWholeFile(served_ + "\\broken.mdb", std::string(300000, 'Z')));
  const char* const controls[] = {
      // The connection breaks off mid-way through a larger catalogue.
      "set?path=/database.mdb&file=/database-larger.mdb&mode=reset&bytes=3000",
      // A larger file that is no catalogue.
      "set?path=/database.mdb&file=/broken.mdb",
  };
  for (const char* control : controls) {
    SCOPED_TRACE(control);
    app_.reset();
    ASSERT_NO_FATAL_FAILURE(Launch());
    const std::string old_catalogue = Catalogue();
    ASSERT_LT(old_catalogue.size(), 300000u);
    ASSERT_TRUE(test::ResetServer());
    ASSERT_TRUE(test::ControlServer(control));
    ASSERT_NO_FATAL_FAILURE(PassTheSponsorWindow());
    HWND update = WaitForChainWindow(kDatabaseUpdateClass);
    ASSERT_NE(update, nullptr);
    auto box = WaitForMessageBox(app_->id(), seconds(90));
    ASSERT_TRUE(box.has_value()) << "no box";
    EXPECT_EQ(box->title, "Not downloaded");
    EXPECT_EQ(box->text, "Connection error");
    EXPECT_EQ(Catalogue(), old_catalogue) << "the working catalogue is untouched while the box shows";
    ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
    ASSERT_TRUE(WaitForWindowGone(update, seconds(30))) << "after the box the chain goes on";
    ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
    EXPECT_EQ(FirstHeader(), "File name: 7");
    EXPECT_EQ(Catalogue(), old_catalogue);
    EXPECT_FALSE(test::FileExists(*folder_ / "database.mdb.download"));
  }
}

// The server publishes the catalogue's digest beside it: a larger catalogue that does not
// match it is refused like a broken download, the old one stays and the chain goes on;
// one that matches takes the old one's place.
TEST_F(StartupChainTest, ThePublishedDigestOfTheCatalogueDecidesWhetherItIsTaken) {
  ASSERT_NO_FATAL_FAILURE(WriteLargerCatalogue());
  const auto larger = test::ReadWholeFile(served_ + "\\database-larger.mdb");
  ASSERT_TRUE(larger.has_value());
  const std::string digest_file = served_ + "\\database.mdb.sha256";
  struct RemoveAtEnd {
    std::string path;
    ~RemoveAtEnd() { DeleteFileA(path.c_str()); }
  } remove_digest{digest_file};
  Sha256 hash;
  hash.Update(*larger);
  const std::string right = Sha256ToHex(hash.Finish());
  std::string wrong = right;
  wrong[10] = wrong[10] == '0' ? '1' : '0';

  for (const bool matches : {false, true}) {
    SCOPED_TRACE(matches ? "matching digest" : "another digest");
    app_.reset();
    ASSERT_TRUE(test::WriteWholeFile(digest_file, (matches ? right : wrong) + "  database.mdb\n"));
    ASSERT_NO_FATAL_FAILURE(Launch());
    const std::string old_catalogue = Catalogue();
    ASSERT_TRUE(test::ResetServer());
    ASSERT_TRUE(test::ControlServer("set?path=/database.mdb&file=/database-larger.mdb"));
    ASSERT_NO_FATAL_FAILURE(PassTheSponsorWindow());
    HWND update = WaitForChainWindow(kDatabaseUpdateClass);
    ASSERT_NE(update, nullptr);
    if (!matches) {
      auto box = WaitForMessageBox(app_->id(), seconds(90));
      ASSERT_TRUE(box.has_value()) << "no box";
      EXPECT_EQ(box->title, "Not downloaded");
      EXPECT_EQ(box->text, "Connection error");
      EXPECT_EQ(Catalogue(), old_catalogue);
      ASSERT_TRUE(PressMessageBoxButton(box->window, "OK"));
    }
    ASSERT_TRUE(WaitForWindowGone(update, seconds(60)));
    ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
    if (matches) {
      EXPECT_EQ(FirstHeader(), "File name: " + std::to_string(LargerCatalogue().size()));
      EXPECT_EQ(Catalogue(), *larger);
    } else {
      EXPECT_EQ(FirstHeader(), "File name: 7");
      EXPECT_EQ(Catalogue(), old_catalogue);
    }
    EXPECT_FALSE(test::FileExists(*folder_ / "database.mdb.download"));
    const std::string log = test::ServerLog();
    EXPECT_LT(log.find("GET /database.mdb.sha256 "), log.find("GET /database.mdb ")) << log;
  }
}

TEST_F(StartupChainTest, WithNoServerAtAllTheChainStillLeadsToTheLocalCatalogue) {
  server_ = "http://127.0.0.1:9/";
  ASSERT_NO_FATAL_FAILURE(Launch());
  HWND sponsor = WaitForChainWindow(kSponsorClass);
  ASSERT_NE(sponsor, nullptr);
  HWND view = FindPageView(sponsor);
  ASSERT_TRUE(WaitForPage(view, seconds(30)));
  EXPECT_EQ(PageViewAddress(view), "about:error") << "the view's own error page";
  EXPECT_EQ(PageViewLinkCount(view), 0);
  Screenshot(sponsor, "startup-no-server-sponsor");
  ASSERT_NO_FATAL_FAILURE(PassStartupChain());
  ASSERT_NO_FATAL_FAILURE(AttachMainWindow());
  EXPECT_EQ(FirstHeader(), "File name: 7");
  EXPECT_EQ(ListedNames().size(), 7u);
}

TEST_F(StartupChainTest, ClosingAWindowOfTheChainWithoutGoingOnEndsTheProgram) {
  // The sponsor window, before a link was followed.
  ASSERT_NO_FATAL_FAILURE(Launch());
  HWND sponsor = WaitForChainWindow(kSponsorClass);
  ASSERT_NE(sponsor, nullptr);
  PostMessageW(sponsor, WM_CLOSE, 0, 0);
  EXPECT_TRUE(app_->WaitForExit().has_value()) << "the sponsor window closed, the program went on running";

  // The update check, waiting after a reply without the marker.
  app_.reset();
  ASSERT_TRUE(test::ControlServer("set?path=/checkversion.php&body=no%20version%20here"));
  ASSERT_NO_FATAL_FAILURE(Launch());
  sponsor = WaitForChainWindow(kSponsorClass);
  ASSERT_NE(sponsor, nullptr);
  std::string error;
  ASSERT_TRUE(PassSponsorWindow(sponsor, &error)) << error;
  HWND window = WaitForChainWindow(kUpdateCheckClass);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(app_->WaitForExit().has_value()) << "the update check closed, the program went on running";
}

}  // namespace
}  // namespace movarin::e2e
