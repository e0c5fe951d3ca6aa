// What the catalogue tests share beyond tests/support: the sample Access files, the
// independent reader (mdbtools), and small edits of Jet files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/bytes.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace movarin::catalogue::test {

// The sample Access files' folder ($MOVARIN_SHARED/data/mdb), or nullopt when absent.
inline std::optional<std::filesystem::path> SampleDir() {
  auto dir = movarin::test::SampleMdbDir();
  if (!dir) return std::nullopt;
  return std::filesystem::path(*dir);
}

using movarin::test::GetU16;
using movarin::test::GetU32;
using movarin::test::PutF64;
using movarin::test::PutU16;
using movarin::test::PutU32;
using movarin::test::PutU8;
using movarin::test::ReadBytes;
using movarin::test::TempFolder;
using movarin::test::WriteBytes;

// `mdb-export <file> <table>` and `mdb-tables -1 <file>`.
std::string MdbExport(const std::filesystem::path& file, const std::string& table);
std::vector<std::string> MdbTables(const std::filesystem::path& file);

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

// Moves row `row` of data page `page` to a new slot at the end of the same page, as Jet
// moves a row that outgrew its place: the new slot is flagged 0x8000, and the old one
// keeps a pointer to it (page << 8 | slot) and is flagged 0x4000. `page_size` is 4096
// (Jet 4) or 2048 (Jet 3). False when the page has no room for the copy.
bool MoveRowWithinPage(std::vector<std::uint8_t>& bytes, std::size_t page_size, std::uint32_t page,
                       std::size_t row);

// Applies an edit to the decoded header block and masks it again.
void EditHeader(std::vector<std::uint8_t>& bytes,
                const std::function<void(std::vector<std::uint8_t>& block)>& edit);

}  // namespace movarin::catalogue::test
