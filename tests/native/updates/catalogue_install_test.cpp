// The catalogue update replaces the working catalogue only with a good downloaded copy.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/files.h"
#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet_writer.h"
#include "updates/catalogue_install.h"

namespace movarin::updates {
namespace {

namespace fs = std::filesystem;
using tools::catalog_writer::CatalogueEntry;
using tools::catalog_writer::CatalogueOptions;

std::vector<std::uint8_t> CatalogueBytes(const std::vector<CatalogueEntry>& entries,
                                         const std::string& password = "pelvornastikude") {
  CatalogueOptions options;
  options.password = password;
  options.creation_date = 45000.0;
  auto image = tools::catalog_writer::BuildCatalogueImage(entries, options);
  EXPECT_TRUE(image.ok());
  return image.ok() ? *image : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class CatalogueInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("movarin-install-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    catalogue = (folder / "database.mdb").string();
    staged = StagedCataloguePath(catalogue);
    old_bytes = CatalogueBytes({{"old.dll", "1.0"}});
    Write(catalogue, old_bytes);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
  std::string catalogue, staged;
  std::vector<std::uint8_t> old_bytes;
};

TEST_F(CatalogueInstall, StagedBesideTheCatalogue) {
  EXPECT_EQ(StagedCataloguePath("C:\\Movarin\\database.mdb"), "C:\\Movarin\\database.mdb.download");
}

TEST_F(CatalogueInstall, AGoodCopyTakesTheCataloguesPlace) {
  const auto server_copy = CatalogueBytes({{"a.dll", "1.0"}, {"b.ocx", "2.0"}, {"c.dll", ""}});
  Write(staged, server_copy);
  ASSERT_TRUE(InstallDownloadedCatalogue(staged, catalogue).ok());
  EXPECT_EQ(Read(catalogue), server_copy);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"database.mdb"});
  auto opened = catalogue::Connection::Open(catalogue, catalogue::kCataloguePassword);
  ASSERT_TRUE(opened.ok());
  auto rows = opened->Execute(catalogue::kWholeCatalogueQuery);
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows->RecordCount(), 3u);
}

TEST_F(CatalogueInstall, ABadCopyLeavesTheOldCatalogue) {
  const auto good = CatalogueBytes({{"a.dll", "1.0"}, {"b.ocx", "2.0"}});
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  std::vector<std::uint8_t> damaged = good;
  for (std::size_t i = 4096; i < damaged.size(); i += 7) damaged[i] ^= 0x5A;
  const Case cases[] = {
      {"an HTML error page", std::vector<std::uint8_t>{'<', 'h', 't', 'm', 'l', '>', '4', '0', '4'}},
      {"an empty file", {}},
      {"cut off", cut},
      {"damaged pages", damaged},
      {"another password", CatalogueBytes({{"a.dll", "1.0"}}, "other")},
  };
  for (const Case& c : cases) {
    Write(staged, c.bytes);
    const auto result = InstallDownloadedCatalogue(staged, catalogue);
    ASSERT_FALSE(result.ok()) << c.what;
    EXPECT_EQ(result.error().error, InstallError::kNotACatalogue) << c.what;
    EXPECT_EQ(Read(catalogue), old_bytes) << c.what;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"database.mdb"}) << c.what << ": the copy stays";
  }
}

TEST_F(CatalogueInstall, NoDownloadedCopy) {
  const auto result = InstallDownloadedCatalogue(staged, catalogue);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().error, InstallError::kMissing);
  EXPECT_EQ(Read(catalogue), old_bytes);
}

TEST_F(CatalogueInstall, NoCatalogueYet) {
  fs::remove(catalogue);
  const auto server_copy = CatalogueBytes({{"a.dll", "1.0"}});
  Write(staged, server_copy);
  ASSERT_TRUE(InstallDownloadedCatalogue(staged, catalogue).ok());
  EXPECT_EQ(Read(catalogue), server_copy);
}

TEST_F(CatalogueInstall, ACatalogueThatCannotBeReplacedStays) {
  // A folder in the catalogue's place cannot be renamed over.
  fs::remove(catalogue);
  fs::create_directories(fs::path(catalogue) / "inside");
  Write(staged, CatalogueBytes({{"a.dll", "1.0"}}));
  const auto result = InstallDownloadedCatalogue(staged, catalogue);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().error, InstallError::kCannotReplace);
  EXPECT_TRUE(fs::is_directory(fs::path(catalogue) / "inside"));
  EXPECT_FALSE(fs::exists(staged));
}

}  // namespace
}  // namespace movarin::updates
