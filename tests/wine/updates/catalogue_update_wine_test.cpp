// The catalogue update's steps on the real parts, without its window: the server size
// through the remote file control, the size decision, the download beside the catalogue
// through the download engine, and the replacement only by a good catalogue.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet_writer.h"
#include "download/win32/inet_download.h"
#include "download/win32/internet_file_control.h"
#include "updates/catalogue_install.h"
#include "updates/catalogue_update.h"
#include "tests/support/files.h"
#include "tests/support/win32/test_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/environment.h"
#include "tests/support/win32/wine_paths.h"

namespace movarin::updates {
namespace {

using tools::catalog_writer::CatalogueEntry;
using movarin::test::ControlServer;
using movarin::test::FileExists;
using movarin::test::FileSize;
using movarin::test::ReadWholeFile;
using movarin::test::ResetServer;

class Errors final : public download::DownloadListener {
 public:
  std::vector<std::string> errors;
  void OnError(const std::string& error) override { errors.push_back(error); }
  void OnStatus(const std::string&) override {}
  void OnComplete() override {}
  void OnProgress(int) override {}
};

std::vector<CatalogueEntry> Entries(int count) {
  std::vector<CatalogueEntry> entries;
  for (int i = 0; i < count; ++i) entries.push_back({"file" + std::to_string(1000 + i) + ".dll", "1.0." + std::to_string(i)});
  return entries;
}

std::size_t Rows(const std::string& path) {
  auto opened = catalogue::Connection::Open(path, catalogue::kCataloguePassword);
  if (!opened) return 0;
  auto rows = opened->Execute(catalogue::kWholeCatalogueQuery);
  if (!rows) return 0;
  return rows->RecordCount();
}

class CatalogueUpdateAgainstServer : public ::testing::Test {
 protected:
  void SetUp() override {
    server = test::TestServerUrl().value_or("");
    ASSERT_FALSE(server.empty()) << "run through wine-run.sh --with-server";
    const auto root = test::TestServerRoot();
    ASSERT_TRUE(root);
    served = *root;
    ASSERT_TRUE(ResetServer());
    ASSERT_FALSE(folder.path().empty());
    local = folder / "database.mdb";
    ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(local, Entries(3), {}).ok());
    // The server's copy holds many more rows, so it is larger.
    ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(served + "\\database.mdb", Entries(400), {}).ok());
    old_bytes = ReadWholeFile(local).value_or("");
    download.engine().SetListener(&errors);
  }

  // One pass of the update: the size check, then the download beside the catalogue and
  // the replacement. Returns what the check decided.
  CatalogueDecision Update() {
    download::win32::InternetFileControl remote;
    remote.file().settings.url = server + std::string(kCatalogueFileName);
    remote.file().RequestInformation();
    const auto size = FileSize(local);
    const std::int64_t local_size = size ? static_cast<std::int64_t>(*size) : -1;
    const CatalogueCheck check = CheckCatalogueSizes(local_size, remote.file().FileSize());
    if (check.decision == CatalogueDecision::kDownload) {
      const std::string staged = StagedCataloguePath(local);
      downloaded = download.engine().Download(server + std::string(kCatalogueFileName), staged);
      installed = InstallDownloadedCatalogue(staged, local).ok();
    }
    return check.decision;
  }

  std::string server, served, local, old_bytes;
  test::TempFolder folder{"movarin-update"};
  download::win32::InetDownload download;
  Errors errors;
  bool downloaded = false;
  bool installed = false;
};

TEST_F(CatalogueUpdateAgainstServer, ALargerServerCopyReplacesTheCatalogue) {
  EXPECT_EQ(Update(), CatalogueDecision::kDownload);
  EXPECT_TRUE(downloaded);
  EXPECT_TRUE(installed);
  EXPECT_EQ(ReadWholeFile(local), ReadWholeFile(served + "\\database.mdb"));
  EXPECT_EQ(Rows(local), 400u);
  EXPECT_FALSE(FileExists(StagedCataloguePath(local)));
  // Now both are of one size: nothing more to fetch.
  EXPECT_EQ(Update(), CatalogueDecision::kNoUpdate);
}

TEST_F(CatalogueUpdateAgainstServer, NoLocalCatalogueTakesAnyServerCopy) {
  ASSERT_TRUE(DeleteFileW(std::wstring(local.begin(), local.end()).c_str()));
  EXPECT_EQ(Update(), CatalogueDecision::kDownload);
  EXPECT_TRUE(installed);
  EXPECT_EQ(Rows(local), 400u);
}

TEST_F(CatalogueUpdateAgainstServer, ASmallerOrUnreachableServerChangesNothing) {
  ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(served + "\\database.mdb", Entries(1), {}).ok());
  ASSERT_LE(FileSize(served + "\\database.mdb"), FileSize(local));
  EXPECT_EQ(Update(), CatalogueDecision::kNoUpdate);
  server = "http://127.0.0.1:9/";
  EXPECT_EQ(Update(), CatalogueDecision::kNoUpdate);
  EXPECT_EQ(ReadWholeFile(local), old_bytes);
}

TEST_F(CatalogueUpdateAgainstServer, ABadDownloadKeepsTheOldCatalogue) {
  // A larger file that is no catalogue; a copy cut off; a connection reset midway.
  ASSERT_TRUE(test::WriteWholeFile(served + "\\broken.mdb", std::string(200000, 'Z')));
  struct Case {
    std::string control;
    bool downloads;
  };
  const Case cases[] = {
      {"set?path=/database.mdb&file=/broken.mdb", true},
      {"set?path=/database.mdb&mode=long-length&length=9999999", false},
      {"set?path=/database.mdb&mode=reset&bytes=4096", false},
  };
  for (const Case& c : cases) {
    const std::string& control = c.control;
    ASSERT_TRUE(ResetServer());
    ASSERT_TRUE(ControlServer(control)) << control;
    errors.errors.clear();
    downloaded = installed = false;
    Update();
    EXPECT_EQ(downloaded, c.downloads) << control;
    EXPECT_FALSE(installed) << control;
    EXPECT_EQ(ReadWholeFile(local), old_bytes) << control;
    EXPECT_EQ(Rows(local), 3u) << control;
    EXPECT_FALSE(FileExists(StagedCataloguePath(local))) << control;
  }
}

}  // namespace
}  // namespace movarin::updates
