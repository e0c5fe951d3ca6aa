#include "tests/native/catalogue/jet_test_files.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <stdexcept>

#include "catalogue/jet/format.h"
#include "catalogue/jet/header.h"
#include "tests/support/run.h"

namespace movarin::catalogue::test {

std::string MdbExport(const std::filesystem::path& file, const std::string& table) {
  const auto result = movarin::test::Run({"mdb-export", file.string(), table});
  if (result.exit_code != 0) throw std::runtime_error("mdb-export failed on " + file.string());
  return result.out;
}

std::vector<std::string> MdbTables(const std::filesystem::path& file) {
  const auto result = movarin::test::Run({"mdb-tables", "-1", file.string()});
  if (result.exit_code != 0) throw std::runtime_error("mdb-tables failed on " + file.string());
  std::vector<std::string> names;
  std::istringstream lines(result.out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

RowSpan RowOf(const std::vector<std::uint8_t>& bytes, std::uint32_t page, std::size_t row) {
  const std::size_t base = std::size_t{page} * kPage;
  const std::size_t begin = GetU16(bytes, base + 14 + 2 * row) & 0x1FFF;
  const std::size_t end = row == 0 ? kPage : (GetU16(bytes, base + 14 + 2 * (row - 1)) & 0x1FFF);
  return {base + begin, base + end};
}

std::uint32_t AppendDataPage(std::vector<std::uint8_t>& bytes, std::uint32_t owner,
                             const std::vector<std::vector<std::uint8_t>>& rows,
                             bool long_value_page) {
  std::vector<std::uint8_t> page(kPage, 0);
  page[0] = 0x01;
  page[1] = 0x01;
  if (long_value_page) {
    std::memcpy(&page[4], "LVAL", 4);
  } else {
    PutU32(page, 4, owner);
  }
  PutU16(page, 12, static_cast<std::uint16_t>(rows.size()));
  std::size_t end = kPage;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t begin = end - rows[i].size();
    std::copy(rows[i].begin(), rows[i].end(), page.begin() + static_cast<std::ptrdiff_t>(begin));
    PutU16(page, 14 + 2 * i, static_cast<std::uint16_t>(begin));
    end = begin;
  }
  PutU16(page, 2, static_cast<std::uint16_t>(end - 14 - 2 * rows.size()));
  const auto number = static_cast<std::uint32_t>(bytes.size() / kPage);
  bytes.insert(bytes.end(), page.begin(), page.end());
  return number;
}

bool MoveRowWithinPage(std::vector<std::uint8_t>& bytes, std::size_t page_size, std::uint32_t page,
                       std::size_t row) {
  const std::size_t base = std::size_t{page} * page_size;
  const std::size_t count_at = base + (page_size == kPage ? 12 : 8);
  const std::size_t count = GetU16(bytes, count_at);
  auto entry_at = [&](std::size_t slot) { return count_at + 2 + 2 * slot; };
  auto start_of = [&](std::size_t slot) { return std::size_t{GetU16(bytes, entry_at(slot))} & 0x1FFF; };
  if (row >= count) return false;
  std::size_t lowest = page_size;
  for (std::size_t slot = 0; slot < count; ++slot) lowest = std::min(lowest, start_of(slot));
  const std::size_t begin = start_of(row);
  const std::size_t end = row == 0 ? page_size : start_of(row - 1);
  const std::size_t length = end - begin;
  if (length < 4 || lowest < length + (entry_at(count + 1) - base)) return false;
  const std::size_t moved = lowest - length;
  std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(base + begin),
            bytes.begin() + static_cast<std::ptrdiff_t>(base + end),
            bytes.begin() + static_cast<std::ptrdiff_t>(base + moved));
  PutU16(bytes, entry_at(count), static_cast<std::uint16_t>(moved | 0x8000));
  PutU16(bytes, count_at, static_cast<std::uint16_t>(count + 1));
  PutU16(bytes, base + 2, static_cast<std::uint16_t>(GetU16(bytes, base + 2) - length - 2));
  PutU16(bytes, entry_at(row), static_cast<std::uint16_t>(begin | 0x4000));
  PutU32(bytes, base + begin, page << 8 | static_cast<std::uint32_t>(count));
  return true;
}

void EditHeader(std::vector<std::uint8_t>& bytes,
                const std::function<void(std::vector<std::uint8_t>& block)>& edit) {
  namespace h = jet::header;
  std::vector<std::uint8_t> block(bytes.begin(), bytes.begin() + kPage);
  jet::ToggleHeaderMask(std::span(block).subspan(h::kMaskedOffset, h::kMaskedLengthJet4));
  edit(block);
  jet::ToggleHeaderMask(std::span(block).subspan(h::kMaskedOffset, h::kMaskedLengthJet4));
  std::copy(block.begin(), block.end(), bytes.begin());
}

}  // namespace movarin::catalogue::test
