#include "base/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace movarin::base {
namespace {
namespace fs = std::filesystem;

// The test-support library's temporary folder, as a std::filesystem path.
class Folder {
 public:
  fs::path path() const { return PathFromUtf8(temp_.path()); }
  fs::path operator/(const std::string& name) const { return path() / name; }
  std::size_t EntryCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(path()), fs::directory_iterator()));
  }

 private:
  test::TempFolder temp_{"movarin-base-test"};
};

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ReadWholeFile, ReadsTheBytesAndNamesEachFailure) {
  Folder folder;
  Write(folder / "a.bin", std::string("ab\0cd", 5));
  auto bytes = ReadWholeFile(PathToUtf8(folder / "a.bin"), 5);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 5u);
  EXPECT_EQ((*bytes)[2], 0);
  EXPECT_EQ(ReadWholeFile(PathToUtf8(folder / "a.bin"), 4).error(), FileReadError::kTooLarge);
  EXPECT_EQ(ReadWholeFile(PathToUtf8(folder / "missing"), 10).error(), FileReadError::kNotFound);
  EXPECT_EQ(ReadWholeFile(PathToUtf8(folder.path()), 10).error(), FileReadError::kUnreadable);
  Write(folder / "empty", "");
  auto empty = ReadWholeFile(PathToUtf8(folder / "empty"), 0);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
  EXPECT_FALSE(FileReadErrorText(FileReadError::kTooLarge).empty());
}

TEST(ReadWholeFile, NonAsciiPathsRoundTrip) {
  Folder folder;
  const std::string name = PathToUtf8(folder.path()) + "/\xC3\xA9t\xC3\xA9 \xE2\x82\xAC.txt";
  Write(PathFromUtf8(name), "x");
  auto bytes = ReadWholeFile(name, 10);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 1u);
}

TEST(ReplacingFile, ReplacesTheDestinationOnlyOnCommit) {
  Folder folder;
  const fs::path target = folder / "catalogue.mdb";
  Write(target, "old");
  {
    ReplacingFile file(target);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write(std::string_view("new content")));
    EXPECT_EQ(Read(target), "old");  // nothing changed before the commit
    EXPECT_EQ(file.temporary_path().parent_path(), folder.path());
    ASSERT_TRUE(file.Commit());
  }
  EXPECT_EQ(Read(target), "new content");
  EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(ReplacingFile, AnAbandonedWriteLeavesTheOldFileAndNoTemporary) {
  Folder folder;
  const fs::path target = folder / "a.ocx";
  Write(target, "old");
  {
    ReplacingFile file(target);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write(std::string_view("partial")));
  }
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(folder.EntryCount(), 1u);
  {
    ReplacingFile file(target);
    ASSERT_TRUE(file.Open());
    file.Discard();
    EXPECT_FALSE(fs::exists(file.temporary_path()));
  }
  EXPECT_EQ(Read(target), "old");
}

TEST(ReplacingFile, AFileThatAlreadyHasTheTemporaryNameIsNeverWrittenTo) {
  Folder folder;
  const fs::path target = folder / "a.ocx";
  ReplacingFile file(target);
  const fs::path taken = file.temporary_path();
  Write(taken, "somebody else's");
  ASSERT_TRUE(file.Open());
  EXPECT_NE(file.temporary_path(), taken) << "another name is tried";
  ASSERT_TRUE(file.Write(std::string_view("new")));
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(Read(taken), "somebody else's");
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST(ReplacingFile, ACommitThatCannotReplaceFailsWithAReasonAndLeavesNothing) {
  Folder folder;
  // A folder of that name stands where the file should go: the rename must fail.
  fs::create_directory(folder / "a.ocx");
  Write(folder / "a.ocx" / "inside", "keep");
  {
    ReplacingFile file(folder / "a.ocx");
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write(std::string_view("new")));
    auto committed = file.Commit();
    ASSERT_FALSE(committed);
    EXPECT_FALSE(committed.error().description.empty());
  }
  EXPECT_EQ(Read(folder / "a.ocx" / "inside"), "keep");
  EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(ReplacingFile, AMissingFolderFailsAndCommitWithoutOpenFails) {
  Folder folder;
  ReplacingFile file(folder / "no" / "such" / "a.ocx");
  EXPECT_FALSE(file.Open());
  EXPECT_FALSE(file.Write(std::string_view("x")));
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(ReplaceFileContents, SavesTheWholeFileInOneCall) {
  Folder folder;
  const std::uint8_t bytes[] = {1, 2, 3};
  ASSERT_TRUE(ReplaceFileContents(folder / "x.bin", bytes));
  EXPECT_EQ(Read(folder / "x.bin"), std::string("\x01\x02\x03"));
}

}  // namespace
}  // namespace movarin::base
