// Shared by the catalogue tests: the sample Access files, temporary folders, running the
// independent reader (mdbtools), and small edits of Jet files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace movarin::catalogue::test {

// $MOVARIN_SHARED/data/mdb, or nullopt when that folder is absent.
std::optional<std::filesystem::path> SampleDir();

// Skips the calling test when the sample files are not present.
#define MOVARIN_REQUIRE_SAMPLES()                                                   \
  do {                                                                              \
    if (!::movarin::catalogue::test::SampleDir()) {                                 \
      GTEST_SKIP() << "no sample .mdb files: $MOVARIN_SHARED/data/mdb is absent";  \
    }                                                                               \
  } while (0)

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder, removed with everything in it at the end of the scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct CommandResult {
  int status = -1;
  std::string output;  // standard output
};
// Runs a program with arguments (no shell quoting problems) and captures its output.
CommandResult Run(const std::vector<std::string>& argv);

// `mdb-export <file> <table>` and `mdb-tables -1 <file>`.
std::string MdbExport(const std::filesystem::path& file, const std::string& table);
std::vector<std::string> MdbTables(const std::filesystem::path& file);

// Little-endian edits inside a file image.
void PutU8(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint8_t value);
void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
void PutF64(std::vector<std::uint8_t>& bytes, std::size_t at, double value);
std::uint16_t GetU16(const std::vector<std::uint8_t>& bytes, std::size_t at);
std::uint32_t GetU32(const std::vector<std::uint8_t>& bytes, std::size_t at);

inline constexpr std::size_t kPage = 4096;

// Where row `row` of data page `page` starts and ends (file offsets).
struct RowSpan {
  std::size_t begin;
  std::size_t end;
};
RowSpan RowOf(const std::vector<std::uint8_t>& bytes, std::uint32_t page, std::size_t row);

// Appends a data page holding the given rows (packed from the page end, as Jet does),
// with `owner` at offset 4 (or the text "LVAL" for a long-value page). Returns its number.
std::uint32_t AppendDataPage(std::vector<std::uint8_t>& bytes, std::uint32_t owner,
                             const std::vector<std::vector<std::uint8_t>>& rows,
                             bool long_value_page = false);

// Applies an edit to the decoded header block and masks it again.
void EditHeader(std::vector<std::uint8_t>& bytes,
                const std::function<void(std::vector<std::uint8_t>& block)>& edit);

}  // namespace movarin::catalogue::test
