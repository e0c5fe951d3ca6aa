#include "base/read_only_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/bulk_memory.h"
#include "tests/support/temp_folder.h"

namespace movarin::base {
namespace {
namespace fs = std::filesystem;

using Folder = test::TempFolder;

std::string Bytes(const ReadOnlyFile& file) {
  const auto bytes = file.bytes();
  return std::string(bytes.begin(), bytes.end());
}

TEST(ReadOnlyFile, HoldsExactlyTheFilesBytesAndNamesEachFailure) {
  Folder folder;
  // Small files come from the heap, large ones (a megabyte and more) from bulk memory: the
  // bytes must be the file's in both, with nothing after them.
  std::mt19937 random(7);
  for (const std::size_t size : {std::size_t{5}, std::size_t{3} << 20}) {
    std::string content(size, '\0');
    for (auto& c : content) c = static_cast<char>(random());
    std::ofstream(folder / "a.bin", std::ios::binary) << content;
    auto file = ReadOnlyFile::Open(folder / "a.bin", size);
    ASSERT_TRUE(file) << size;
    EXPECT_EQ(Bytes(*file), content) << size;
    EXPECT_EQ(ReadOnlyFile::Open(folder / "a.bin", size - 1).error(), FileReadError::kTooLarge);
  }
  EXPECT_EQ(ReadOnlyFile::Open(folder / "missing", 10).error(), FileReadError::kNotFound);
  EXPECT_EQ(ReadOnlyFile::Open(folder / "missing/below", 10).error(), FileReadError::kNotFound);
  EXPECT_EQ(ReadOnlyFile::Open(folder.path(), 10).error(), FileReadError::kUnreadable);
  std::ofstream(folder / "empty", std::ios::binary).flush();
  auto empty = ReadOnlyFile::Open(folder / "empty", 0);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->bytes().empty());
}

TEST(ReadOnlyFile, BytesFollowTheObjectWhenMovedAndOutliveTheFile) {
  Folder folder;
  std::ofstream(folder / "a.bin", std::ios::binary) << "first";
  std::ofstream(folder / "b.bin", std::ios::binary) << "second";
  auto a = ReadOnlyFile::Open(folder / "a.bin", 100);
  auto b = ReadOnlyFile::Open(folder / "b.bin", 100);
  ASSERT_TRUE(a && b);
  // The file is not needed once read: removing it changes nothing.
  fs::remove(fs::path(folder / "a.bin"));
  ReadOnlyFile moved = std::move(*a);
  EXPECT_EQ(Bytes(moved), "first");
  EXPECT_TRUE(a->bytes().empty());
  moved = std::move(*b);  // the first block is given back here
  EXPECT_EQ(Bytes(moved), "second");
}

TEST(BulkMemory, LargeAndSmallBlocksHoldWhatIsWritten) {
  // Across the size where blocks come from the system rather than the heap.
  for (const std::size_t count : {std::size_t{10}, std::size_t{1} << 18, (std::size_t{5} << 20) + 3}) {
    BulkVector<std::uint32_t> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(static_cast<std::uint32_t>(i * 2654435761u));
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < count; ++i) wrong += values[i] != static_cast<std::uint32_t>(i * 2654435761u);
    EXPECT_EQ(wrong, 0u) << count;
    PrefetchForRead(values.data() + count / 2);
  }
  BulkAllocator<std::uint64_t> allocator;
  EXPECT_THROW(static_cast<void>(allocator.allocate(SIZE_MAX / 4)), std::bad_alloc);
}

}  // namespace
}  // namespace movarin::base
