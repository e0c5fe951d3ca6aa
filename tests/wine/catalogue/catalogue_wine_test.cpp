// The catalogue opened by a Windows program: UTF-8 paths through the UTF-16 file API,
// including folder names outside any code page, the provider's messages for missing and
// unreadable files, and the real Access sample files.
#include <gtest/gtest.h>
#include <windows.h>

#include "catalogue/catalogue.h"
#include "tools/catalog/writer/jet_writer.h"
#include "platform/win32/text.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace movarin::catalogue {
namespace {

namespace writer = tools::catalog_writer;

std::string WriteCatalogue(const std::string& path) {
  const std::vector<writer::CatalogueEntry> entries = {
      {"MSCOMCTL.OCX", "6.1.98.34"}, {"O'Brien.ocx", "1.0"}, {"\xC3\x84rger.dll", "2.0"}};
  auto image = writer::BuildCatalogueImage(entries, {});
  if (!image) {
    ADD_FAILURE() << image.error().Message();
    return path;
  }
  const auto& bytes = *image;
  EXPECT_TRUE(test::WriteWholeFile(path, std::string(bytes.begin(), bytes.end()))) << path;
  return path;
}

TEST(CatalogueOnWindows, OpensThroughAPathOutsideAnyCodePage) {
  test::TempFolder temp("movarin-catalogue");
  ASSERT_FALSE(temp.path().empty());
  // Greek, Cyrillic and CJK in one folder name: no ANSI code page holds them all.
  const std::string folder = temp / "\xCE\xB1\xCE\xB2 \xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2 \xE6\x95\xB0\xE6\x8D\xAE";
  ASSERT_TRUE(CreateDirectoryW(win32::Widen(folder).c_str(), nullptr));
  const std::string path = WriteCatalogue(folder + "\\database.mdb");

  auto opened = Connection::Open(path, kCataloguePassword);
  ASSERT_TRUE(opened.ok())
      << opened.error().description;
  const Connection& connection = *opened;
  auto found = connection.Execute(SearchQuery("o'b"));
  ASSERT_TRUE(found.ok());
  ASSERT_EQ(found->RecordCount(), 1u);
  EXPECT_EQ(found->Field(0, 0), "O'Brien.ocx");
  auto all = connection.Execute(kWholeCatalogueQuery);
  ASSERT_TRUE(all.ok());
  EXPECT_EQ(all->Field(0, 0), "\xC3\x84rger.dll");

  auto wrong = Connection::Open(path, "wrong");
  ASSERT_TRUE(!wrong.ok());
  EXPECT_EQ(wrong.error().number, -2147217843);
  EXPECT_EQ(wrong.error().description, "Not a valid password.");
}

TEST(CatalogueOnWindows, MissingAndUnreadableFiles) {
  test::TempFolder temp("movarin-catalogue");
  const std::string missing = temp / "database.mdb";
  auto error = Connection::Open(missing, kCataloguePassword);
  ASSERT_TRUE(!error.ok());
  EXPECT_EQ(error.error().number, -2147467259);
  EXPECT_EQ(error.error().description, "Could not find file '" + missing + "'.");

  // A folder where the file should be.
  auto folder = Connection::Open(temp.path(), kCataloguePassword);
  ASSERT_TRUE(!folder.ok());
  EXPECT_NE(folder.error().description.find(temp.path()), std::string::npos);

  // A file held open by another program without sharing.
  const std::string path = WriteCatalogue(temp / "locked.mdb");
  HANDLE locked = CreateFileW(win32::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  auto refused = Connection::Open(path, kCataloguePassword);
  CloseHandle(locked);
  ASSERT_TRUE(!refused.ok());
  EXPECT_EQ(refused.error().description,
            "The Microsoft Jet database engine cannot open the file '" + path +
                "'. It is already opened exclusively by another user, or you need permission "
                "to view its data.");
  // An open catalogue does not hold its file: it can be replaced while the program runs.
  auto open = Connection::Open(path, kCataloguePassword);
  ASSERT_TRUE(open.ok());
  EXPECT_TRUE(DeleteFileW(win32::Widen(path).c_str()));
  EXPECT_EQ(open->TableNames().size(), 1u);
}

TEST(CatalogueOnWindows, RealAccessFile) {
  auto shared = test::SharedDir();
  if (!shared && test::SourceDir()) shared = *test::SourceDir() + "\\..\\shared";
  const std::string path = shared ? *shared + "\\data\\mdb\\access2000-password.mdb" : "";
  if (!shared || !test::FileExists(path)) GTEST_SKIP() << "no sample .mdb files under MOVARIN_SHARED";
  auto opened = Connection::Open(path, "password");
  ASSERT_TRUE(opened.ok());
  auto csv = opened->ExportCsv("Table1");
  ASSERT_TRUE(csv.ok());
  EXPECT_EQ(*csv, "ID,Data\n1,\"One\"\n2,\"Two\"\n3,\"Three\"\n");
}

}  // namespace
}  // namespace movarin::catalogue
